// Launching, closing and killing the UI application, and the pair of pipe objects that connect it to
// the tile: the provider pipe served on a thread of its own, the UI pipe reached through the client.

#include "credential/NuvCredential.h"
#include "logging/AnsiText.h"
#include "logging/TraceLog.h"
#include "platform/OutsideEffects.h"
#include "platform/TrustCheck.h"

#include <exception>
#include <shellapi.h>

namespace Corvani::Nuv::CredentialProvider {

Platform::UniqueHandle _hNuvUI;
std::atomic<bool> g_executeUIThreadRunning{false};
std::atomic<bool> g_startUIHidden{false};
Platform::UniqueHandle g_pipeServerThread;

namespace {

constexpr DWORD kServerStopMilliseconds = 5000;
constexpr UINT kKilledByCredentialExitCode = 0;
constexpr UINT kKilledByProviderExitCode = 9;

std::wstring LanguageOptions() {
    std::wstring options = L" -l " + std::to_wstring(g_uiLanguage);
    if (g_startUIHidden)
        options += L" -h ";
    return options;
}

// The thread routine owns its reference to the server: a server replaced while its loop still runs lives
// on until the loop ends.
DWORD WINAPI RunPipeServer(LPVOID parameter) {
    const std::unique_ptr<std::shared_ptr<IPC::NuvPipeServer>> server(
        static_cast<std::shared_ptr<IPC::NuvPipeServer>*>(parameter));
    return IPC::NuvPipeServer::ThreadEntry(server ? server->get() : nullptr);
}

Platform::UniqueHandle StartServerThread(const std::shared_ptr<IPC::NuvPipeServer>& server) {
    auto reference = std::make_unique<std::shared_ptr<IPC::NuvPipeServer>>(server);
    Platform::UniqueHandle thread(CreateThread(nullptr, 0, RunPipeServer, reference.get(), 0, nullptr));
    if (thread)
        std::ignore = reference.release(); // the thread routine took it over
    return thread;
}

} // namespace

void NuvCredential::LaunchUI(DWORD mode) {
    Log("NuvCredential::LaunchUI | " + std::to_string(mode));
    if (!_isResolutionSupported) {
        Log("NuvCredential::LaunchUI | Aborting due to unsupported resolution");
        return;
    }
    Platform::CriticalSectionLock lock(_launchUILock);
    if (_hNuvUI || g_executeUIThreadRunning) {
        Log("NuvCredential::LaunchUI | _NuvUI is already created or executeUIThread already running");
        return;
    }
    g_executeUIThreadRunning = true;
    if (mode == 1) {
        Log("NuvCredential::LaunchUI | ASYNC mode");
        Platform::UniqueHandle thread(CreateThread(nullptr, 0, ExecuteUIEXE, this, 0, nullptr));
        if (!thread)
            g_executeUIThreadRunning = false; // nothing will run to clear it
        Log("NuvCredential::LaunchUI | ASYNC mode after thread");
    } else {
        Log("NuvCredential::LaunchUI | SYNC mode");
        ExecuteUIEXE(this);
        Log("NuvCredential::LaunchUI | SYNC mode after execute");
    }
}

DWORD WINAPI ExecuteUIEXE(LPVOID parameter) {
    auto& credential = *static_cast<NuvCredential*>(parameter);
    DWORD result = 1;
    try {
        credential.Log("NuvCredential::ExecuteUIEXE | ******************************************************** " +
                       Logging::CurrentTimeString());
        if (!Platform::wsValidateCert()) {
            credential.Log("NuvCredential::ExecuteUIEXE | ** ERROR: UI EXE verification Failed");
        } else {
            credential.Log("NuvCredential::ExecuteUIEXE | ** launching NuvUI");
            std::wstring langOptions = LanguageOptions();
            credential.Log("NuvCredential::ExecuteUIEXE | ** launching NuvUI before execute file. langOptions: " +
                           Logging::WideToAnsi(langOptions));
            _hNuvUI.reset(ExecuteFile(g_uiExecutablePath, std::move(langOptions)));
            credential.Log("NuvCredential::ExecuteUIEXE | ** launching NuvUI after execute file");
            const DWORD pid = _hNuvUI ? GetProcessId(_hNuvUI.get()) : 0;
            // A server left from an earlier launch (one whose start failed) is stopped before it is
            // replaced, so that its thread does not wait for a client forever.
            if (g_pipeServerThread)
                credential.CloseAndReleaseIPCObjects();
            g_pipeServerThread = credential.CreateIPCObjects(pid);
            credential.Log("NuvCredential::ExecuteUIEXE | ** after CreateIPCObjects");
            result = 0;
        }
    } catch (const std::exception&) {
        // Out of memory composing a line: the launch counts as failed, the flag is still cleared.
    }
    g_executeUIThreadRunning = false;
    credential.Log("NuvCredential::ExecuteUIEXE | ** finished *********************************************** " +
                   Logging::CurrentTimeString());
    return result;
}

HANDLE ExecuteFile(const std::wstring& path, std::wstring parameters) {
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    // No error box of the shell: on the logon desktop nobody may be there to close it, and the launch lock
    // would be held until somebody did.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_DOENVSUBST | SEE_MASK_WAITFORINPUTIDLE | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = path.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_SHOW;
    const BOOL started = ShellExecuteExW(&info);
    parameters.clear();
    return started ? info.hProcess : nullptr;
}

Platform::UniqueHandle NuvCredential::CreateIPCObjects(DWORD uiPid) {
    Log("NuvCredential::CreateIPCObjects | UI PID: " + std::to_string(uiPid));
    Log("NuvCredential::CreateIPCObjects | 2");
    auto server = std::make_shared<IPC::NuvPipeServer>(uiPid);
    server->attach(this);
    {
        Platform::CriticalSectionLock lock(_pipeObjectsLock);
        _pipeServer = server;
    }
    Platform::UniqueHandle thread = StartServerThread(server);
    Sleep(0);
    Log("NuvCredential::CreateIPCObjects | 3");
    {
        Platform::CriticalSectionLock lock(_pipeObjectsLock);
        _pipeClient = IPC::NuvPipeClient(uiPid);
    }
    Log("NuvCredential::CreateIPCObjects | END");
    return thread;
}

IPC::NuvPipeClient NuvCredential::PipeClient() {
    Platform::CriticalSectionLock lock(_pipeObjectsLock);
    return _pipeClient;
}

// Never on the pipe server's own thread: it waits for that thread.
void NuvCredential::CloseAndReleaseIPCObjects() {
    Log("NuvCredential::CloseAndReleaseIPCObjects | ");
    // Should a client hold the server's only instance, SELF_CLOSE finds the pipe busy; the loop then ends
    // by itself once that connection's bounded read is over.
    {
        Platform::CriticalSectionLock lock(_pipeObjectsLock);
        if (_pipeServer)
            _pipeServer->RequestStop();
    }
    DWORD error = ERROR_SUCCESS;
    PipeClient().SelfClose(error);
    if (g_pipeServerThread)
        WaitForSingleObject(g_pipeServerThread.get(), kServerStopMilliseconds);
    g_pipeServerThread.reset();
}

void NuvCredential::FindAndKillNuvUI() {
    Platform::CriticalSectionLock lock(_launchUILock);
    if (!_hNuvUI) {
        Log("NuvCredential::FindAndKillNuvUI | _hNuvUI was null, nothing to kill, nothing to be worried :)");
    } else {
        try {
            if (TerminateProcess(_hNuvUI.get(), kKilledByCredentialExitCode))
                Log("NuvCredential::FindAndKillNuvUI | WARN NuvUI terminated, should not be necessary!!!");
            else
                Log("NuvCredential::FindAndKillNuvUI | NuvUI not terminated, was not there");
            _hNuvUI.reset();
        } catch (const std::exception& error) {
            Log(std::string("NuvCredential::FindAndKillNuvUI | ERROR terminating NuvUI, exception: ") + error.what());
        }
    }
    CloseAndReleaseIPCObjects();
}

void NuvCredential::CloseNuvUI() {
    if (!_hNuvUI)
        return;
    Log("NuvCredential::CloseNuvUI | 0");
    DWORD error = ERROR_SUCCESS;
    if (PipeClient().Close(error)) {
        Log("NuvCredential::CloseNuvUI | 1");
        return;
    }
    Log("NuvCredential::CloseNuvUI | ERROR sending close meesage");
    FindAndKillNuvUI();
}

void NuvCredential::SetForeground() {
    const HANDLE process = _hNuvUI.get();
    if (!process)
        return;
    Log("NuvCredential::SetForeground NuvUI | ");
    EnumWindows(BringProcessWindowToFront, static_cast<LPARAM>(GetProcessId(process)));
}

BOOL CALLBACK BringProcessWindowToFront(HWND window, LPARAM processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != static_cast<DWORD>(processId))
        return TRUE;
    SetForegroundWindow(window);
    return FALSE;
}

void KillNuvUIProcesses() {
    Platform::ProcessTermination::Get().TerminateByImageName(kUIExecutableName, kKilledByProviderExitCode);
}

} // namespace Corvani::Nuv::CredentialProvider
