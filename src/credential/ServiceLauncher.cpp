// Starting the product service on a thread of its own, so that the logon screen never waits for the
// service control manager, with the LogonUI process and that thread at the highest priorities.

#include "credential/NuvCredential.h"
#include "logging/TraceLog.h"
#include "platform/OutsideEffects.h"
#include "platform/ServiceControl.h"
#include "platform/WorkerThread.h"

namespace Corvani::Nuv::CredentialProvider {

void NuvCredential::LaunchService() {
    Log("NuvCredential::LaunchService | 1"); // the asynchronous mode, the only one
    if (!_isResolutionSupported) {
        Log("NuvCredential::LaunchService | Aborting due to unsupported resolution");
        return;
    }
    Platform::CriticalSectionLock lock(_launchServiceLock);
    if (g_launchServiceThreadRunning) {
        Log("NuvCredential::LaunchService | HXService is already started or _launchServiceThread already running");
        return;
    }
    Log("NuvCredential::LaunchService | ASYNC mode");
    const Platform::UniqueHandle thread = Platform::StartWorker(ExecuteHXService, this, &g_launchServiceThreadRunning);
    Log("NuvCredential::LaunchService | ASYNC mode after thread");
    const BOOL classSet =
        Platform::PriorityControl::Get().SetProcessPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
    Log("NuvCredential::LaunchService | SetPriorityClass ret: " + std::to_string(classSet));
    const BOOL threadSet = thread ? SetThreadPriority(thread.get(), THREAD_PRIORITY_TIME_CRITICAL) : FALSE;
    Log("NuvCredential::LaunchService | SetThreadPriority ret: " + std::to_string(threadSet));
}

DWORD WINAPI ExecuteHXService(LPVOID parameter) {
    auto& credential = *static_cast<NuvCredential*>(parameter);
    int result = 0;
    Platform::ThreadBoundary(&g_launchServiceThreadRunning, [&] {
        credential.LogWithTime("NuvCredential::ExecuteHXService | ++++++++++++++++++++++++++++++++++++++++++++++++++++ ");
        Platform::ServiceControl service;
        result = service.StartHXService();
        credential.Log("NuvCredential::ExecuteHXService | ++ after StartHXService retValue: " + std::to_string(result));
        g_launchServiceThreadRunning = false;
        credential.LogWithTime("NuvCredential::ExecuteHXService | ++ finished +++++++++++++++++++++++++++++++++++++++++++ ");
    });
    return static_cast<DWORD>(result);
}

} // namespace Corvani::Nuv::CredentialProvider
