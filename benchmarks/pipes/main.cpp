// Pipe benchmark (run by hand under Wine, not a test):
//   1. one NuvPipeClient::SendCommand (SHOW) against the UI application stand-in, open to close;
//   2. from the moment a client writes LOGON to the provider's NuvPipeServer until the observer's
//      processEvent runs;
//   3. the floor: a bare message write and one reply on a pipe that is already connected.
//
//   hx_pipe_bench.exe [exchanges, default 1000]

#include "common/ProgramDirectory.h"
#include "Timing.h"
#include "ipc/CommandTexts.h"
#include "ipc/CPEvent.h"
#include "ipc/IObserver.h"
#include "ipc/NuvPipeClient.h"
#include "ipc/NuvPipeServer.h"
#include "ipc/PipeNames.h"
#include "platform/UniqueResource.h"

#include <atomic>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

using namespace HxPipeBench;
using Corvani::Nuv::IPC::NuvPipeClient;
using Corvani::Nuv::IPC::NuvPipeServer;
using Corvani::Nuv::Platform::UniqueFileHandle;
using Corvani::Nuv::Platform::UniqueHandle;

constexpr int kWarmUp = 20;

std::vector<char> Utf16(const wchar_t* text) {
    const char* begin = reinterpret_cast<const char*>(text);
    return std::vector<char>(begin, begin + (std::wcslen(text) + 1) * sizeof(wchar_t));
}

// 1. SendCommand against the stand-in, which answers every command and keeps running.
Summary MeasureSendCommand(int exchanges, std::size_t& failures) {
    std::wstring commandLine = L"\"" + HxTools::ProgramDirectory() + L"Corvani.Halvex.UI.exe\" --stay-on-close";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process)) {
        std::printf("cannot start the stand-in: %lu\n", GetLastError());
        return {};
    }
    UniqueHandle standIn(process.hProcess), standInThread(process.hThread);
    NuvPipeClient client(process.dwProcessId);
    const std::wstring command = Corvani::Nuv::IPC::kShowCommandText;
    const std::wstring pipeName = Corvani::Nuv::IPC::UIPipeName(process.dwProcessId);
    DWORD error = 0;
    for (int i = 0; i < 200 && !client.SendCommand(command, pipeName, error); ++i)
        Sleep(10); // until the stand-in serves its pipe
    std::vector<double> samples;
    for (int i = 0; i < kWarmUp + exchanges; ++i) {
        const double start = NowMicroseconds();
        const bool sent = client.SendCommand(command, pipeName, error);
        const double elapsed = NowMicroseconds() - start;
        if (!sent)
            ++failures;
        else if (i >= kWarmUp)
            samples.push_back(elapsed);
    }
    TerminateProcess(standIn.get(), 0);
    return Summarize(samples);
}

class TimingObserver : public IObserver {
public:
    void processEvent(CPEvent*) override { arrived.store(NowMicroseconds()); }
    std::atomic<double> arrived{0};
};

UniqueFileHandle OpenWhenAvailable(const std::wstring& pipeName) {
    for (;;) {
        UniqueFileHandle pipe(CreateFileW(pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
        if (pipe || (GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_PIPE_BUSY))
            return pipe;
        Sleep(0);
    }
}

// 2. LOGON written by a client until processEvent runs on the server thread.
Summary MeasureLogonToEvent(int exchanges, std::size_t& failures) {
    const DWORD fakePid = 3999000000u + GetCurrentProcessId() % 1000;
    TimingObserver observer;
    NuvPipeServer server(fakePid);
    server.attach(&observer);
    UniqueHandle thread(CreateThread(nullptr, 0, NuvPipeServer::ThreadEntry, &server, 0, nullptr));
    const std::wstring pipeName = Corvani::Nuv::IPC::ProviderPipeName(fakePid);
    const std::vector<char> logon = Utf16(L"{\"Command\": \"LOGON\",\"Payload\": []}");
    std::vector<double> samples;
    for (int i = 0; i < kWarmUp + exchanges; ++i) {
        UniqueFileHandle pipe = OpenWhenAvailable(pipeName);
        DWORD mode = PIPE_READMODE_MESSAGE, transferred = 0;
        SetNamedPipeHandleState(pipe.get(), &mode, nullptr, nullptr);
        observer.arrived.store(0);
        const double start = NowMicroseconds();
        char reply[256];
        const bool ok =
            WriteFile(pipe.get(), logon.data(), static_cast<DWORD>(logon.size()), &transferred, nullptr) &&
            ReadFile(pipe.get(), reply, sizeof(reply), &transferred, nullptr);
        const double arrived = observer.arrived.load();
        if (!ok || arrived == 0)
            ++failures;
        else if (i >= kWarmUp)
            samples.push_back(arrived - start);
    }
    UniqueFileHandle pipe = OpenWhenAvailable(pipeName);
    const std::vector<char> selfClose = Utf16(Corvani::Nuv::IPC::kSelfCloseCommandText);
    DWORD written = 0;
    WriteFile(pipe.get(), selfClose.data(), static_cast<DWORD>(selfClose.size()), &written, nullptr);
    pipe.reset();
    WaitForSingleObject(thread.get(), 5000);
    return Summarize(samples);
}

struct FloorPeer {
    HANDLE instance;
    int messages;
};

DWORD WINAPI AnswerEachMessage(LPVOID parameter) {
    const auto* peer = static_cast<const FloorPeer*>(parameter);
    ConnectNamedPipe(peer->instance, nullptr);
    const std::vector<char> reply = Utf16(Corvani::Nuv::IPC::kServerResponseText);
    char buffer[2048];
    DWORD transferred = 0;
    for (int i = 0; i < peer->messages; ++i) {
        if (!ReadFile(peer->instance, buffer, sizeof(buffer), &transferred, nullptr))
            break;
        WriteFile(peer->instance, reply.data(), static_cast<DWORD>(reply.size()), &transferred, nullptr);
    }
    return 0;
}

// 3. The floor: one write and one reply on a connected pipe, nothing opened or closed.
Summary MeasureFloor(int exchanges, std::size_t& failures) {
    const std::wstring pipeName = L"\\\\.\\pipe\\HxPipeBenchFloor" + std::to_wstring(GetCurrentProcessId());
    UniqueFileHandle instance(CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_DUPLEX,
                                               PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, 2048,
                                               2048, 0, nullptr));
    FloorPeer peer{instance.get(), kWarmUp + exchanges};
    UniqueHandle thread(CreateThread(nullptr, 0, AnswerEachMessage, &peer, 0, nullptr));
    UniqueFileHandle pipe = OpenWhenAvailable(pipeName);
    DWORD mode = PIPE_READMODE_MESSAGE;
    SetNamedPipeHandleState(pipe.get(), &mode, nullptr, nullptr);
    const std::vector<char> command = Utf16(Corvani::Nuv::IPC::kShowCommandText);
    std::vector<double> samples;
    for (int i = 0; i < kWarmUp + exchanges; ++i) {
        DWORD transferred = 0;
        char reply[256];
        const double start = NowMicroseconds();
        const bool ok = WriteFile(pipe.get(), command.data(), static_cast<DWORD>(command.size()),
                                  &transferred, nullptr) &&
                        ReadFile(pipe.get(), reply, sizeof(reply), &transferred, nullptr);
        const double elapsed = NowMicroseconds() - start;
        if (!ok)
            ++failures;
        else if (i >= kWarmUp)
            samples.push_back(elapsed);
    }
    WaitForSingleObject(thread.get(), 5000);
    return Summarize(samples);
}

void PrintRatio(const char* name, const Summary& measured, const Summary& floor) {
    if (floor.p50 > 0 && floor.p99 > 0)
        std::printf("%-44s p50 x%.1f   p99 x%.1f\n", name, measured.p50 / floor.p50,
                    measured.p99 / floor.p99);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int exchanges = argc > 1 ? std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10))) : 1000;
    std::printf("pipe benchmark: %d exchanges each (after %d warm-up)\n", exchanges, kWarmUp);
    std::size_t floorFailures = 0, sendFailures = 0, logonFailures = 0;
    const Summary floor = MeasureFloor(exchanges, floorFailures);
    const Summary send = MeasureSendCommand(exchanges, sendFailures);
    const Summary logon = MeasureLogonToEvent(exchanges, logonFailures);
    PrintSummary("floor: write + reply on a connected pipe", floor, floorFailures);
    PrintSummary("SendCommand (SHOW) against the stand-in", send, sendFailures);
    PrintSummary("LOGON write to processEvent", logon, logonFailures);
    PrintRatio("SendCommand / floor", send, floor);
    PrintRatio("LOGON to processEvent / floor", logon, floor);
    return 0;
}
