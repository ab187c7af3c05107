#include "StandInService.h"

#include "StandInBehaviour.h"
#include "platform/UniqueResource.h"

#include <algorithm>
#include <shellapi.h>
#include <string>
#include <vector>

namespace HxStandIn {

namespace {

using Corvani::Nuv::Platform::UniqueHandle;
using Corvani::Nuv::Platform::UniqueLocalMemory;

constexpr DWORD kCheckPointStepMs = 500;
constexpr DWORD kFailedStartCode = 1;

// The one service of this process; the control handler and the service routine share it.
struct ServiceState {
    SERVICE_STATUS_HANDLE statusHandle = nullptr;
    UniqueHandle stopRequested;
    DWORD checkPoint = 0;
    DWORD stopPendingMs = 0;
    DWORD stopHintMs = 0;
};
ServiceState g_service;

void Report(DWORD state, DWORD waitHint, DWORD specificExitCode = 0) {
    SERVICE_STATUS status = {};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
    status.dwWin32ExitCode = specificExitCode ? ERROR_SERVICE_SPECIFIC_ERROR : NO_ERROR;
    status.dwServiceSpecificExitCode = specificExitCode;
    const bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING;
    status.dwCheckPoint = pending ? ++g_service.checkPoint : 0;
    status.dwWaitHint = waitHint;
    SetServiceStatus(g_service.statusHandle, &status);
}

// Stays in a pending state for the given time, advancing the check point as a live service does.
void StayPending(DWORD state, DWORD durationMs, DWORD waitHint) {
    Report(state, waitHint);
    for (DWORD waited = 0; waited < durationMs;) {
        const DWORD step = std::min(kCheckPointStepMs, durationMs - waited);
        Sleep(step);
        waited += step;
        Report(state, waitHint);
    }
}

DWORD WINAPI ControlHandler(DWORD control, DWORD, void*, void*) {
    switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
        // Stop-pending is reported before the handler returns, so that whoever asked sees it at once.
        if (g_service.stopPendingMs > 0)
            Report(SERVICE_STOP_PENDING, g_service.stopHintMs);
        SetEvent(g_service.stopRequested.get());
        return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

std::vector<std::wstring> CommandLineArguments() {
    int count = 0;
    wchar_t** list = CommandLineToArgvW(GetCommandLineW(), &count);
    UniqueLocalMemory owner(list);
    std::vector<std::wstring> arguments;
    for (int i = 1; list && i < count; ++i)
        arguments.emplace_back(list[i]);
    return arguments;
}

// Start arguments win; without them, the arguments of the registered command line count.
std::vector<std::wstring> BehaviourArguments(DWORD argc, LPWSTR* argv) {
    if (argc > 1)
        return std::vector<std::wstring>(argv + 1, argv + argc);
    return CommandLineArguments();
}

} // namespace

void WINAPI StandInServiceMain(DWORD argc, LPWSTR* argv) {
    g_service.statusHandle = RegisterServiceCtrlHandlerExW(argv[0], ControlHandler, nullptr);
    if (!g_service.statusHandle)
        return;
    g_service.stopRequested.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    Behaviour behaviour;
    if (!ParseBehaviour(BehaviourArguments(argc, argv), behaviour)) {
        Report(SERVICE_STOPPED, 0, ERROR_INVALID_PARAMETER);
        return;
    }
    g_service.stopPendingMs = behaviour.stopPendingMs;
    g_service.stopHintMs = behaviour.stopHintMs;
    StayPending(SERVICE_START_PENDING, behaviour.startPendingMs, behaviour.startHintMs);
    if (behaviour.failStart) {
        Report(SERVICE_STOPPED, 0, kFailedStartCode);
        return;
    }
    Report(SERVICE_RUNNING, 0);
    WaitForSingleObject(g_service.stopRequested.get(), INFINITE);
    StayPending(SERVICE_STOP_PENDING, behaviour.stopPendingMs, behaviour.stopHintMs);
    Report(SERVICE_STOPPED, 0);
}

} // namespace HxStandIn
