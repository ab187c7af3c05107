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

std::wstring CommandLine(const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + StandInPathBesideCaller() + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    return commandLine;
}

DWORD Reconfigure(SC_HANDLE service, const std::wstring& commandLine) {
    const BOOL changed = ChangeServiceConfigW(service, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                              SERVICE_ERROR_NORMAL, commandLine.c_str(), nullptr, nullptr,
                                              nullptr, nullptr, nullptr, nullptr);
    return changed ? ERROR_SUCCESS : GetLastError();
}

DWORD QueryState(SC_HANDLE service, DWORD& state) {
    SERVICE_STATUS status = {};
    if (!QueryServiceStatus(service, &status))
        return GetLastError();
    state = status.dwCurrentState;
    return ERROR_SUCCESS;
}

DWORD WaitOnHandle(SC_HANDLE service, DWORD wanted, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD state = 0;
        if (const DWORD error = QueryState(service, state))
            return error;
        if (state == wanted)
            return ERROR_SUCCESS;
        if (GetTickCount() - start > timeoutMs)
            return ERROR_TIMEOUT;
        Sleep(kPollStepMs);
    }
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
    UniqueServiceHandle created(CreateServiceW(manager.get(), serviceName.c_str(), serviceName.c_str(),
                                               SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                               SERVICE_ERROR_NORMAL, commandLine.c_str(), nullptr, nullptr,
                                               nullptr, nullptr, nullptr));
    return created ? ERROR_SUCCESS : GetLastError();
}

DWORD StopAndWait(const std::wstring& serviceName, DWORD timeoutMs) {
    UniqueServiceHandle manager = OpenManager();
    UniqueServiceHandle service = manager ? OpenExisting(manager.get(), serviceName) : UniqueServiceHandle();
    if (!service)
        return GetLastError();
    DWORD state = 0;
    if (const DWORD error = QueryState(service.get(), state))
        return error;
    if (state == SERVICE_STOPPED)
        return ERROR_SUCCESS;
    if (state == SERVICE_START_PENDING)
        WaitOnHandle(service.get(), SERVICE_RUNNING, timeoutMs);  // a pending start takes no stop request
    SERVICE_STATUS status = {};
    ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
    return WaitOnHandle(service.get(), SERVICE_STOPPED, timeoutMs);
}

DWORD WaitForState(const std::wstring& serviceName, DWORD state, DWORD timeoutMs) {
    UniqueServiceHandle manager = OpenManager();
    UniqueServiceHandle service = manager ? OpenExisting(manager.get(), serviceName) : UniqueServiceHandle();
    if (!service)
        return GetLastError();
    return WaitOnHandle(service.get(), state, timeoutMs);
}

DWORD CurrentState(const std::wstring& serviceName) {
    UniqueServiceHandle manager = OpenManager();
    UniqueServiceHandle service = manager ? OpenExisting(manager.get(), serviceName) : UniqueServiceHandle();
    DWORD state = 0;
    if (service)
        QueryState(service.get(), state);
    return state;
}

DWORD RemoveStandIn(const std::wstring& serviceName) {
    StopAndWait(serviceName, kRemoveStopTimeoutMs);
    UniqueServiceHandle manager = OpenManager();
    UniqueServiceHandle service = manager ? OpenExisting(manager.get(), serviceName) : UniqueServiceHandle();
    if (!service)
        return GetLastError();
    return DeleteService(service.get()) ? ERROR_SUCCESS : GetLastError();
}

} // namespace HxStandIn
