// hx_pipe_peer squat RECORD NAME...   creates each pipe name first (one instance each), writes "READY" (or
//                                     "TAKEN NAME") to RECORD, then "RECV NAME BYTES" for every message
//                                     that reaches it; runs until it is ended.
// hx_pipe_peer send NAME TEXT         sends TEXT and its NUL as one UTF-16 message and reads one reply.
//                                     Exit code 0 replied, 1 not opened, 2 not written, 3 no reply.

#include <windows.h>

#include <string>
#include <vector>

namespace {

CRITICAL_SECTION g_recordLock;
std::wstring g_record;

void Record(const std::wstring& line) {
    EnterCriticalSection(&g_recordLock);
    HANDLE file = CreateFileW(g_record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        const std::string narrow(line.begin(), line.end());
        const std::string text = narrow + "\r\n";
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
    }
    LeaveCriticalSection(&g_recordLock);
}

struct Squatted {
    std::wstring name;
    HANDLE pipe;
};

DWORD WINAPI Serve(LPVOID parameter) {
    const auto* squatted = static_cast<const Squatted*>(parameter);
    for (;;) {
        if (!ConnectNamedPipe(squatted->pipe, nullptr) && GetLastError() != ERROR_PIPE_CONNECTED)
            continue;
        char buffer[4096];
        DWORD read = 0;
        if (ReadFile(squatted->pipe, buffer, sizeof(buffer), &read, nullptr) && read > 0)
            Record(L"RECV " + squatted->name + L" " + std::to_wstring(read));
        const wchar_t reply[] = L"{}";
        DWORD written = 0;
        WriteFile(squatted->pipe, reply, sizeof(reply), &written, nullptr);
        FlushFileBuffers(squatted->pipe);
        DisconnectNamedPipe(squatted->pipe);
    }
}

int Squat(int count, wchar_t** names) {
    std::vector<Squatted> squatted;
    for (int index = 0; index < count; ++index) {
        HANDLE pipe = CreateNamedPipeW(names[index], PIPE_ACCESS_DUPLEX | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                       PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, 2048, 2048, 0,
                                       nullptr);
        if (pipe == INVALID_HANDLE_VALUE) {
            Record(std::wstring(L"TAKEN ") + names[index]);
            return 1;
        }
        squatted.push_back({names[index], pipe});
    }
    for (Squatted& entry : squatted)
        CloseHandle(CreateThread(nullptr, 0, Serve, &entry, 0, nullptr));
    Record(L"READY");
    Sleep(INFINITE);
    return 0;
}

int Send(const wchar_t* name, const std::wstring& text) {
    HANDLE pipe = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE)
        return 1;
    DWORD mode = PIPE_READMODE_MESSAGE;
    SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr);
    DWORD transferred = 0;
    int result = 0;
    char reply[4096];
    if (!WriteFile(pipe, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)), &transferred,
                   nullptr))
        result = 2;
    else if (!ReadFile(pipe, reply, sizeof(reply), &transferred, nullptr))
        result = 3;
    CloseHandle(pipe);
    return result;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    InitializeCriticalSection(&g_recordLock);
    if (argc >= 4 && std::wstring(argv[1]) == L"squat") {
        g_record = argv[2];
        return Squat(argc - 3, argv + 3);
    }
    if (argc == 4 && std::wstring(argv[1]) == L"send")
        return Send(argv[2], argv[3]);
    return 64;
}
