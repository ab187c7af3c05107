// hx_pipe_peer squat RECORD NAME...   creates each pipe name first (one instance each), writes "READY" (or
//                                     "TAKEN NAME") to RECORD, then "RECV NAME BYTES" for every message
//                                     that reaches it; runs until it is ended.
// hx_pipe_peer send NAME TEXT         sends TEXT and its NUL as one UTF-16 message and reads one reply.
//                                     Exit code 0 replied, 1 not opened, 2 not written, 3 no reply.

#include "platform/CriticalSection.h"
#include "platform/UniqueResource.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Corvani::Nuv::Platform::UniqueFileHandle;
using Corvani::Nuv::Platform::UniqueHandle;

Corvani::Nuv::Platform::CriticalSection g_recordLock;
std::wstring g_record;

void Record(const std::wstring& line) {
    Corvani::Nuv::Platform::CriticalSectionLock lock(g_recordLock);
    const UniqueFileHandle file(CreateFileW(g_record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    const std::string text = std::string(line.begin(), line.end()) + "\r\n";
    DWORD written = 0;
    WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

struct Squatted {
    std::wstring name;
    UniqueFileHandle pipe;
};

DWORD WINAPI Serve(LPVOID parameter) {
    const auto* squatted = static_cast<const Squatted*>(parameter);
    const HANDLE pipe = squatted->pipe.get();
    for (;;) {
        if (!ConnectNamedPipe(pipe, nullptr) && GetLastError() != ERROR_PIPE_CONNECTED)
            continue;
        char buffer[4096];
        DWORD read = 0;
        if (ReadFile(pipe, buffer, sizeof(buffer), &read, nullptr) && read > 0)
            Record(L"RECV " + squatted->name + L" " + std::to_wstring(read));
        const wchar_t reply[] = L"{}";
        DWORD written = 0;
        WriteFile(pipe, reply, sizeof(reply), &written, nullptr);
        FlushFileBuffers(pipe);
        DisconnectNamedPipe(pipe);
    }
}

int Squat(int count, wchar_t** names) {
    std::vector<std::unique_ptr<Squatted>> squatted;
    for (int index = 0; index < count; ++index) {
        UniqueFileHandle pipe(CreateNamedPipeW(names[index], PIPE_ACCESS_DUPLEX | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                               PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, 2048, 2048,
                                               0, nullptr));
        if (!pipe) {
            Record(std::wstring(L"TAKEN ") + names[index]);
            return 1;
        }
        squatted.push_back(std::make_unique<Squatted>(Squatted{names[index], std::move(pipe)}));
    }
    for (const std::unique_ptr<Squatted>& entry : squatted)
        const UniqueHandle thread(CreateThread(nullptr, 0, Serve, entry.get(), 0, nullptr));
    Record(L"READY");
    Sleep(INFINITE); // the test ends the process
    return 0;
}

int Send(const wchar_t* name, const std::wstring& text) {
    const UniqueFileHandle pipe(CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!pipe)
        return 1;
    DWORD mode = PIPE_READMODE_MESSAGE;
    SetNamedPipeHandleState(pipe.get(), &mode, nullptr, nullptr);
    DWORD transferred = 0;
    char reply[4096];
    if (!WriteFile(pipe.get(), text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)), &transferred,
                   nullptr))
        return 2;
    return ReadFile(pipe.get(), reply, sizeof(reply), &transferred, nullptr) ? 0 : 3;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 4 && std::wstring(argv[1]) == L"squat") {
        g_record = argv[2];
        return Squat(argc - 3, argv + 3);
    }
    if (argc == 4 && std::wstring(argv[1]) == L"send")
        return Send(argv[2], argv[3]);
    return 64;
}
