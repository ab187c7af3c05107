#include "platform/ServiceControl.h"

#include "logging/TraceLog.h"

#include <utility>

namespace Corvani::Nuv::Platform {

namespace {

constexpr DWORD kStartAccess = SERVICE_QUERY_STATUS | SERVICE_ENUMERATE_DEPENDENTS | SERVICE_START;
constexpr DWORD kQueryAccess = SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS;

std::wstring Number(DWORD value) {
    return std::to_wstring(value);
}

// The wait's view of one open service: status queries, sleeping and the tick count of this machine.
class ScmWaitEnvironment : public ServiceWaitEnvironment {
public:
    ScmWaitEnvironment(SC_HANDLE service, const ServiceTraceSink& trace) : _service(service), _trace(trace) {}

    ServiceStatusReading QueryStatus() override {
        SERVICE_STATUS_PROCESS status = {};
        DWORD needed = 0;
        ServiceStatusReading reading;
        reading.ok = QueryServiceStatusEx(_service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                          sizeof(status), &needed) != FALSE;
        reading.error = reading.ok ? ERROR_SUCCESS : GetLastError();
        reading.state = status.dwCurrentState;
        reading.waitHintMs = status.dwWaitHint;
        return reading;
    }
    void Sleep(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }
    std::uint32_t TickCount() override { return GetTickCount(); }
    void Trace(const std::wstring& line) override { _trace(line); }

private:
    SC_HANDLE _service;
    const ServiceTraceSink& _trace;
};

} // namespace

// How IsServiceStarted and IsServiceStopped differ: the states they look for and their error lines.
struct ServiceControl::StateCheck {
    DWORD finalState;
    DWORD pendingState;
    const wchar_t* openFailed;
    const wchar_t* queryFailed;
    bool settledWhenAbandoned; // whether a wait ended by a bound still counts as settled
};

ServiceControl::ServiceControl() : ServiceControl(ServiceControlOptions()) {}

ServiceControl::ServiceControl(ServiceControlOptions options) : _options(std::move(options)) {
    if (!_options.trace)
        _options.trace = Logging::DroHelperTrace;
    _scManager.reset(OpenSCManagerW(nullptr, SERVICES_ACTIVE_DATABASEW, SC_MANAGER_ALL_ACCESS));
    if (!_scManager) {
        Trace(L"StartServices - OpenSCManager ERROR:" + Number(GetLastError()));
        return;
    }
    _valid = true;
}

int ServiceControl::StartHXService() {
    Trace(L"StartHXService called");
    if (_valid && StartSvc(kHXServiceName) == 0) {
        Trace(L"HX Service was succesfully started");
        return 1;
    }
    Trace(L"There was a problem starting HX Service");
    return 0;
}

int ServiceControl::StartSvc(const std::wstring& serviceName) {
    Trace(L"StartSvc:" + serviceName);
    if (IsServiceStarted(serviceName))
        return 0;
    Trace(L"Service is not started, so start it...");
    IsServiceStopped(serviceName); // only its traces and its wait for a stop-pending service matter
    return StartAndWait(serviceName);
}

int ServiceControl::StartAndWait(const std::wstring& serviceName) {
    UniqueServiceHandle service = OpenNamedService(serviceName, kStartAccess);
    if (!service) {
        Trace(L"OpenService failed:" + Number(GetLastError()));
        return 1;
    }
    int result = 1;
    if (!StartServiceW(service.get(), 0, nullptr)) {
        Trace(L"StartService either failed or already running. Check GetLastError return code : " +
              Number(GetLastError()));
    } else {
        Trace(L"starting service ....");
        if (WaitForServiceState(service.get(), SERVICE_RUNNING, SERVICE_START_PENDING)) {
            Trace(L"Service started successfully");
            result = 0;
        } else {
            Trace(L"Service started FAILED - Timeout while waiting for the service to Start - " +
                  serviceName);
        }
    }
    Trace(L"closing schService");
    return result;
}

bool ServiceControl::IsServiceStarted(const std::wstring& serviceName) {
    if (!_valid)
        return false;
    static const StateCheck check = {SERVICE_RUNNING, SERVICE_START_PENDING,
                                     L"IsServiceStarted - OpenService failed - Code ",
                                     L"IsServiceStarted - Error Querying status - Code ", false};
    return CheckState(serviceName, check);
}

bool ServiceControl::IsServiceStopped(const std::wstring& serviceName) {
    if (!_valid)
        return false;
    Trace(L"IsServiceStopped: " + serviceName);
    static const StateCheck check = {SERVICE_STOPPED, SERVICE_STOP_PENDING,
                                     L"IsServiceStopped - OpenService failed - Code ",
                                     L"IsServiceStopped - Error Querying status - Code ", true};
    return CheckState(serviceName, check);
}

// A pending service counts as settled once the wait ends, whatever state it ended in. A start wait ended by
// a bound while still pending counts as not started; a stop wait counts as settled all the same.
bool ServiceControl::CheckState(const std::wstring& serviceName, const StateCheck& check) {
    UniqueServiceHandle service = OpenNamedService(serviceName, kQueryAccess);
    if (!service) {
        Trace(check.openFailed + Number(GetLastError()));
        return false;
    }
    SERVICE_STATUS status = {};
    if (!QueryServiceStatus(service.get(), &status)) {
        Trace(check.queryFailed + Number(GetLastError()));
        return false;
    }
    if (status.dwCurrentState == check.pendingState)
        return Wait(service.get(), check.finalState, check.pendingState) != ServiceWaitOutcome::Abandoned ||
               check.settledWhenAbandoned;
    return status.dwCurrentState == check.finalState;
}

bool ServiceControl::WaitForServiceState(SC_HANDLE service, DWORD finalState, DWORD pendingState) {
    return Wait(service, finalState, pendingState) == ServiceWaitOutcome::Reached;
}

ServiceWaitOutcome ServiceControl::Wait(SC_HANDLE service, DWORD finalState, DWORD pendingState) {
    ScmWaitEnvironment environment(service, _options.trace);
    return WaitForServiceTransition(environment, finalState, pendingState, _options.bounds);
}

UniqueServiceHandle ServiceControl::OpenNamedService(const std::wstring& serviceName, DWORD access) const {
    return UniqueServiceHandle(OpenServiceW(_scManager.get(), serviceName.c_str(), access));
}

void ServiceControl::Trace(const std::wstring& line) const {
    _options.trace(line);
}

} // namespace Corvani::Nuv::Platform
