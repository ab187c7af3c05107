#include "StandInInstaller.h"

#include "platform/UniqueResource.h"

namespace HxStandIn {

namespace {

using Corvani::Nuv::Platform::UniqueServiceHandle;

constexpr DWORD kPollStepMs = 100;
constexpr DWORD kRemoveStopTimeoutMs = 30000;

UniqueServiceHandle OpenManager() {
    return UniqueServiceHandle(OpenSCManagerW(nullptr, SERVICES_ACTIVE_DATABASEW, SC_MANAGER_ALL_ACCESS));
}

UniqueServiceHandle OpenExisting(SC_HANDLE manager, const std::wstring& serviceName) {
    return UniqueServiceHandle(OpenServiceW(manager, serviceName.c_str(), SERVICE_ALL_ACCESS));
}

// A service handle with the manager handle it was opened through (closed after it).
struct ManagedService {
    UniqueServiceHandle manager;
    UniqueServiceHandle service;
};

ManagedService OpenManaged(const std::wstring& serviceName) {
    ManagedService managed;
    managed.manager = OpenManager();
    if (managed.manager)
        managed.service = OpenExisting(managed.manager.get(), serviceName);
    return managed;
}

std::wstring CommandLine(const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + StandInPathBesideCaller() + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    return commandLine;
}

DWORD Reconfigure(SC_HANDLE service, const std::wstring& commandLine) {
    const BOOL changed =
        ChangeServiceConfigW(service, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                             commandLine.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    return changed ? ERROR_SUCCESS : GetLastError();
}

DWORD QueryState(SC_HANDLE service, DWORD& state) {
    SERVICE_STATUS status = {};
    if (!QueryServiceStatus(service, &status))
        return GetLastError();
    state = status.dwCurrentState;
    return ERROR_SUCCESS;
}

// Polls the state until done(state) holds; the last state read is left in state.
template <typename Done> DWORD PollUntil(SC_HANDLE service, DWORD timeoutMs, DWORD& state, Done done) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (const DWORD error = QueryState(service, state))
            return error;
        if (done(state))
            return ERROR_SUCCESS;
        if (GetTickCount() - start > timeoutMs)
            return ERROR_TIMEOUT;
        Sleep(kPollStepMs);
    }
}

DWORD WaitOnHandle(SC_HANDLE service, DWORD wanted, DWORD timeoutMs) {
    DWORD state = 0;
    return PollUntil(service, timeoutMs, state, [wanted](DWORD current) { return current == wanted; });
}

} // namespace

std::wstring StandInPathBesideCaller() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    std::wstring directory(path, length);
    directory.resize(directory.find_last_of(L'\\') + 1);
    return directory + kStandInExecutable;
}

DWORD InstallStandIn(const std::wstring& serviceName, const std::wstring& arguments) {
    UniqueServiceHandle manager = OpenManager();
    if (!manager)
        return GetLastError();
    const std::wstring commandLine = CommandLine(arguments);
    if (UniqueServiceHandle existing = OpenExisting(manager.get(), serviceName))
        return Reconfigure(existing.get(), commandLine);
    UniqueServiceHandle created(
        CreateServiceW(manager.get(), serviceName.c_str(), serviceName.c_str(), SERVICE_ALL_ACCESS,
                       SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                       commandLine.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    return created ? ERROR_SUCCESS : GetLastError();
}

DWORD StartWithoutWaiting(const std::wstring& serviceName) {
    const ManagedService managed = OpenManaged(serviceName);
    SC_HANDLE service = managed.service.get();
    if (!service)
        return GetLastError();
    return StartServiceW(service, 0, nullptr) ? ERROR_SUCCESS : GetLastError();
}

DWORD RequestStop(const std::wstring& serviceName) {
    const ManagedService managed = OpenManaged(serviceName);
    SC_HANDLE service = managed.service.get();
    if (!service)
        return GetLastError();
    SERVICE_STATUS status = {};
    return ControlService(service, SERVICE_CONTROL_STOP, &status) ? ERROR_SUCCESS : GetLastError();
}

DWORD StopAndWait(const std::wstring& serviceName, DWORD timeoutMs) {
    const ManagedService managed = OpenManaged(serviceName);
    SC_HANDLE service = managed.service.get();
    if (!service)
        return GetLastError();
    // A pending start or stop takes no stop request: let it settle first.
    DWORD state = 0;
    if (const DWORD error = PollUntil(service, timeoutMs, state, [](DWORD current) {
            return current != SERVICE_START_PENDING && current != SERVICE_STOP_PENDING;
        }))
        return error;
    if (state == SERVICE_STOPPED)
        return ERROR_SUCCESS;
    SERVICE_STATUS status = {};
    ControlService(service, SERVICE_CONTROL_STOP, &status);
    return WaitOnHandle(service, SERVICE_STOPPED, timeoutMs);
}

DWORD WaitForState(const std::wstring& serviceName, DWORD state, DWORD timeoutMs) {
    const ManagedService managed = OpenManaged(serviceName);
    SC_HANDLE service = managed.service.get();
    if (!service)
        return GetLastError();
    return WaitOnHandle(service, state, timeoutMs);
}

DWORD CurrentState(const std::wstring& serviceName) {
    const ManagedService managed = OpenManaged(serviceName);
    DWORD state = 0;
    if (managed.service)
        QueryState(managed.service.get(), state);
    return state;
}

DWORD RemoveStandIn(const std::wstring& serviceName) {
    StopAndWait(serviceName, kRemoveStopTimeoutMs);
    const ManagedService managed = OpenManaged(serviceName);
    SC_HANDLE service = managed.service.get();
    if (!service)
        return GetLastError();
    return DeleteService(service) ? ERROR_SUCCESS : GetLastError();
}

} // namespace HxStandIn
