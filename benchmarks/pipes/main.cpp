// Pipe benchmark (run by hand under Wine, not a test):
//   1. one NuvPipeClient::SendCommand (SHOW) against the UI application stand-in, open to close;
//   2. from the moment a client writes LOGON to the provider's NuvPipeServer until the observer's
//      processEvent runs;
//   3. the floor: a bare message write and one reply on a pipe that is already connected;
//   4. the floor of one command as the protocol has it: a bare client that opens the pipe, switches it to
//      message mode, writes, reads the reply and closes, against a bare server;
//   5. SendCommand against that same bare server, so that its ratio to 4 is the client's own cost.
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

#include <algorithm>
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

// A bare server for one connection after another; the next instance is created as soon as a client has
// connected, so that a client never finds the pipe missing.
struct ConnectionPeer {
    std::wstring pipeName;
    std::atomic<bool> stop{false};
};

UniqueFileHandle CreateBareInstance(const std::wstring& pipeName) {
    return UniqueFileHandle(CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_DUPLEX,
                                             PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                                             PIPE_UNLIMITED_INSTANCES, 2048, 2048, 0, nullptr));
}

DWORD WINAPI AnswerEachConnection(LPVOID parameter) {
    auto* peer = static_cast<ConnectionPeer*>(parameter);
    const std::vector<char> reply = Utf16(Corvani::Nuv::IPC::kServerResponseText);
    UniqueFileHandle next = CreateBareInstance(peer->pipeName);
    while (!peer->stop.load()) {
        UniqueFileHandle instance = std::move(next);
        if (!instance)
            return 1;
        if (!ConnectNamedPipe(instance.get(), nullptr) && GetLastError() != ERROR_PIPE_CONNECTED)
            continue;
        next = CreateBareInstance(peer->pipeName);
        char buffer[2048];
        DWORD transferred = 0;
        if (ReadFile(instance.get(), buffer, sizeof(buffer), &transferred, nullptr)) {
            WriteFile(instance.get(), reply.data(), static_cast<DWORD>(reply.size()), &transferred, nullptr);
            FlushFileBuffers(instance.get());
        }
        DisconnectNamedPipe(instance.get());
    }
    return 0;
}

class BareServer {
public:
    BareServer() {
        _peer.pipeName = L"\\\\.\\pipe\\HxPipeBenchConnection" + std::to_wstring(GetCurrentProcessId());
        _thread.reset(CreateThread(nullptr, 0, AnswerEachConnection, &_peer, 0, nullptr));
    }
    ~BareServer() {
        _peer.stop.store(true);
        UniqueFileHandle last = OpenWhenAvailable(_peer.pipeName); // wakes the loop for its last pass
        last.reset();
        WaitForSingleObject(_thread.get(), 5000);
    }
    const std::wstring& PipeName() const { return _peer.pipeName; }

private:
    ConnectionPeer _peer;
    UniqueHandle _thread;
};

// 4. One command on a connection of its own, done by a bare client.
Summary MeasureConnectionFloor(const BareServer& server, int exchanges, std::size_t& failures) {
    const std::vector<char> command = Utf16(Corvani::Nuv::IPC::kShowCommandText);
    std::vector<double> samples;
    for (int i = 0; i < kWarmUp + exchanges; ++i) {
        const double start = NowMicroseconds();
        UniqueFileHandle pipe = OpenWhenAvailable(server.PipeName());
        DWORD mode = PIPE_READMODE_MESSAGE, transferred = 0;
        char reply[4096];
        const bool ok = pipe && SetNamedPipeHandleState(pipe.get(), &mode, nullptr, nullptr) &&
                        WriteFile(pipe.get(), command.data(), static_cast<DWORD>(command.size()), &transferred,
                                  nullptr) &&
                        ReadFile(pipe.get(), reply, sizeof(reply), &transferred, nullptr);
        pipe.reset();
        const double elapsed = NowMicroseconds() - start;
        if (!ok)
            ++failures;
        else if (i >= kWarmUp)
            samples.push_back(elapsed);
    }
    return Summarize(samples);
}

// 5. SendCommand against the bare server.
Summary MeasureSendCommandBare(const BareServer& server, int exchanges, std::size_t& failures) {
    NuvPipeClient client(GetCurrentProcessId());
    const std::wstring command = Corvani::Nuv::IPC::kShowCommandText;
    std::vector<double> samples;
    for (int i = 0; i < kWarmUp + exchanges; ++i) {
        DWORD error = 0;
        const double start = NowMicroseconds();
        const bool sent = client.SendCommand(command, server.PipeName(), error);
        const double elapsed = NowMicroseconds() - start;
        if (!sent)
            ++failures;
        else if (i >= kWarmUp)
            samples.push_back(elapsed);
    }
    return Summarize(samples);
}

// The round with the median p50.
Summary Median(std::vector<Summary> rounds) {
    std::sort(rounds.begin(), rounds.end(), [](const Summary& a, const Summary& b) { return a.p50 < b.p50; });
    return rounds[rounds.size() / 2];
}

void PrintRatio(const char* name, const Summary& measured, const Summary& floor) {
    if (floor.p50 > 0 && floor.p99 > 0)
        std::printf("%-48s p50 x%.1f   p99 x%.1f\n", name, measured.p50 / floor.p50,
                    measured.p99 / floor.p99);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int exchanges = argc > 1 ? std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10))) : 1000;
    std::printf("pipe benchmark: %d exchanges each (after %d warm-up)\n", exchanges, kWarmUp);
    std::size_t floorFailures = 0, sendFailures = 0, logonFailures = 0, connectionFailures = 0,
                bareSendFailures = 0;
    const Summary floor = MeasureFloor(exchanges, floorFailures);
    Summary connection, bareSend;
    {
        BareServer server;
        // Alternating rounds, so that both see the same machine.
        std::vector<Summary> connections, bareSends;
        for (int round = 0; round < 4; ++round) {
            connections.push_back(MeasureConnectionFloor(server, exchanges / 4 + 1, connectionFailures));
            bareSends.push_back(MeasureSendCommandBare(server, exchanges / 4 + 1, bareSendFailures));
        }
        connection = Median(connections);
        bareSend = Median(bareSends);
    }
    const Summary send = MeasureSendCommand(exchanges, sendFailures);
    const Summary logon = MeasureLogonToEvent(exchanges, logonFailures);
    PrintSummary("floor: write + reply on a connected pipe", floor, floorFailures);
    PrintSummary("floor: one connection (open ... close), bare", connection, connectionFailures);
    PrintSummary("SendCommand (SHOW) against the bare server", bareSend, bareSendFailures);
    PrintSummary("SendCommand (SHOW) against the stand-in", send, sendFailures);
    PrintSummary("LOGON write to processEvent", logon, logonFailures);
    PrintRatio("SendCommand (bare server) / connection floor", bareSend, connection);
    PrintRatio("SendCommand (stand-in) / connection floor", send, connection);
    PrintRatio("SendCommand (stand-in) / connected floor", send, floor);
    PrintRatio("LOGON to processEvent / connected floor", logon, floor);
    return 0;
}
