// Pipe demo: starts the UI application stand-in (Corvani.Halvex.UI.exe beside this program) with a script
// of LOGON, DESELECT and UIINPUT, serves the provider pipe for the stand-in's process id with a printing
// observer, then sends SHOW, HIDE and CLOSE to the stand-in and stops the server with SELF_CLOSE.
//
//   hx_pipe_demo.exe [--pid <id of a running stand-in>] [--events <count>]

#include "common/ProgramDirectory.h"
#include "DemoObserver.h"
#include "ipc/NuvPipeClient.h"
#include "ipc/NuvPipeServer.h"
#include "platform/UniqueResource.h"

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

using Corvani::Nuv::IPC::NuvPipeClient;
using Corvani::Nuv::IPC::NuvPipeServer;
using Corvani::Nuv::Platform::UniqueHandle;

// Starts the stand-in with its action script; its output shares this console.
bool StartStandIn(PROCESS_INFORMATION& process) {
    std::wstring commandLine = L"\"" + HxTools::ProgramDirectory() + L"Corvani.Halvex.UI.exe\" -l 1033 --send " +
                               L"wait:300,LOGON,DESELECT,UIINPUT";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process) != FALSE;
}

void Report(const char* what, bool result, DWORD error) {
    std::printf("demo: %s -> %s (error %lu)\n", what, result ? "true" : "false", error);
    std::fflush(stdout);
}

int RunDemo(DWORD pid, long expectedEvents) {
    std::printf("demo: serving \\\\.\\pipe\\CPPipeServer%lu\n", pid);
    DemoObserver observer;
    NuvPipeServer server(pid);
    server.attach(&observer);
    UniqueHandle serverThread(CreateThread(nullptr, 0, NuvPipeServer::ThreadEntry, &server, 0, nullptr));

    const bool allEvents = observer.WaitForEvents(expectedEvents, 15000);
    std::printf("demo: %s\n", allEvents ? "all events arrived" : "timed out waiting for the events");

    NuvPipeClient client(pid);
    DWORD error = 0;
    bool result = client.Show(error);
    Report("Show", result, error);
    result = client.Hide(error);
    Report("Hide", result, error);
    result = client.Close(error);
    Report("Close", result, error);
    result = client.SelfClose(error);
    Report("SelfClose", result, error);
    const bool ended = WaitForSingleObject(serverThread.get(), 5000) == WAIT_OBJECT_0;
    std::printf("demo: server thread %s\n", ended ? "ended" : "still running");
    return allEvents && ended ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    DWORD pid = 0;
    long expectedEvents = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::wcscmp(argv[i], L"--pid") == 0)
            pid = std::wcstoul(argv[i + 1], nullptr, 10);
        else if (std::wcscmp(argv[i], L"--events") == 0)
            expectedEvents = std::wcstol(argv[i + 1], nullptr, 10);
    }
    PROCESS_INFORMATION process = {};
    if (pid == 0) {
        if (!StartStandIn(process)) {
            std::printf("demo: cannot start Corvani.Halvex.UI.exe, error %lu\n", GetLastError());
            return 1;
        }
        pid = process.dwProcessId;
    }
    UniqueHandle standIn(process.hProcess);
    UniqueHandle standInThread(process.hThread);
    const int exitCode = RunDemo(pid, expectedEvents);
    if (standIn && WaitForSingleObject(standIn.get(), 5000) != WAIT_OBJECT_0)
        TerminateProcess(standIn.get(), 1);
    return exitCode;
}
