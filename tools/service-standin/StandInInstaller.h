#pragma once
// Installs, reconfigures, stops and removes the stand-in service through the Service Control Manager.
// Used by the service-control tool and by the tests. Results are Win32 error codes (0 for success).

#include <windows.h>
#include <string>

namespace HxStandIn {

inline constexpr wchar_t kStandInExecutable[] = L"hxservice.exe";

// The stand-in executable in the directory of the calling executable.
std::wstring StandInPathBesideCaller();

// Creates the service as a demand-start service running the stand-in with the given arguments, or,
// when it exists already, points it at the stand-in with these arguments.
DWORD InstallStandIn(const std::wstring& serviceName, const std::wstring& arguments);

// Starts the service and returns once the Service Control Manager has accepted the start (the service
// may still be start-pending).
DWORD StartWithoutWaiting(const std::wstring& serviceName);

// Sends a stop request and returns at once (the service may still be stop-pending).
DWORD RequestStop(const std::wstring& serviceName);

// Sends a stop request when the service is not stopped, and waits up to timeoutMs for it to be stopped.
DWORD StopAndWait(const std::wstring& serviceName, DWORD timeoutMs);

// Waits up to timeoutMs for the service to reach the state.
DWORD WaitForState(const std::wstring& serviceName, DWORD state, DWORD timeoutMs);

// The current state of the service, 0 when it cannot be queried.
DWORD CurrentState(const std::wstring& serviceName);

// Stops the service and marks it for deletion.
DWORD RemoveStandIn(const std::wstring& serviceName);

} // namespace HxStandIn
