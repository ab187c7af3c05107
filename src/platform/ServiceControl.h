#pragma once
// Starts the product's Windows service through the Service Control Manager of the local machine and waits
// while the service is in a pending state. Every step goes to the debugger trace, never to a log file.
// One object serves one request and is not shared between threads.

#include "platform/ServiceWait.h"
#include "platform/UniqueResource.h"

#include <functional>
#include <string>

namespace Corvani::Nuv::Platform {

inline constexpr wchar_t kHXServiceName[] = L"Halvex";

// Receives every trace line; the default sends it to the debugger trace.
using ServiceTraceSink = std::function<void(const std::wstring&)>;

struct ServiceControlOptions {
    ServiceTraceSink trace; // empty: the debugger trace
    ServiceWaitBounds bounds;
};

class ServiceControl {
public:
    // Opens the Service Control Manager with all access; on failure the object stays not valid.
    ServiceControl();
    explicit ServiceControl(ServiceControlOptions options);

    ServiceControl(const ServiceControl&) = delete;
    ServiceControl& operator=(const ServiceControl&) = delete;

    // 1 when "Halvex" runs at the end, 0 otherwise.
    int StartHXService();

    // 0 when the service was running or has been started and reached the running state, 1 otherwise.
    int StartSvc(const std::wstring& serviceName);

    // True when the service runs, or was start-pending and left that state within the bounds.
    bool IsServiceStarted(const std::wstring& serviceName);

    // True when the service is stopped, or was stop-pending and the wait for it ended, however it ended.
    bool IsServiceStopped(const std::wstring& serviceName);

    // True when the service is or becomes finalState; false when it is neither finalState nor
    // pendingState, the first status query fails, it leaves pendingState for another state, or a bound
    // ends the wait.
    bool WaitForServiceState(SC_HANDLE service, DWORD finalState, DWORD pendingState);

    bool IsValid() const noexcept { return _valid; }

private:
    struct StateCheck;

    bool CheckState(const std::wstring& serviceName, const StateCheck& check);
    int StartAndWait(const std::wstring& serviceName);
    ServiceWaitOutcome Wait(SC_HANDLE service, DWORD finalState, DWORD pendingState);
    UniqueServiceHandle OpenNamedService(const std::wstring& serviceName, DWORD access) const;
    void Trace(const std::wstring& line) const;

    ServiceControlOptions _options;
    UniqueServiceHandle _scManager;
    bool _valid = false;
};

} // namespace Corvani::Nuv::Platform
