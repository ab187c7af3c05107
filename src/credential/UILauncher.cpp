// Launching, closing and killing the UI application, and the pair of pipe objects that connect it to
// the tile: the provider pipe served on a thread of its own, the UI pipe reached through the client.

#include "credential/NuvCredential.h"
#include "logging/AnsiText.h"
#include "logging/TraceLog.h"
#include "platform/ComApartment.h"
#include "platform/OutsideEffects.h"
#include "platform/TrustCheck.h"
#include "platform/WorkerThread.h"

#include <shellapi.h>

namespace Corvani::Nuv::CredentialProvider {

namespace {

constexpr DWORD kServerStopMilliseconds = 5000;
constexpr UINT kKilledByCredentialExitCode = 0;
constexpr UINT kKilledByProviderExitCode = 9;

std::wstring LanguageOptions() {
    std::wstring options = L" -l " + std::to_wstring(g_uiLanguage.load());
    if (g_startUIHidden)
        options += L" -h ";
    return options;
}

bool HasExited(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }

// The thread routine owns its reference to the server: a server replaced while its loop still runs lives
// on until the loop ends.
DWORD WINAPI RunPipeServer(LPVOID parameter) {
    const std::unique_ptr<std::shared_ptr<IPC::NuvPipeServer>> server(
        static_cast<std::shared_ptr<IPC::NuvPipeServer>*>(parameter));
    return IPC::NuvPipeServer::ThreadEntry(server ? server->get() : nullptr);
}

Platform::UniqueHandle StartServerThread(const std::shared_ptr<IPC::NuvPipeServer>& server) {
    auto reference = std::make_unique<std::shared_ptr<IPC::NuvPipeServer>>(server);
    Platform::UniqueHandle thread = Platform::StartWorker(RunPipeServer, reference.get());
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
    if (!ClaimLaunch()) {
        Log("NuvCredential::LaunchUI | _NuvUI is already created or executeUIThread already running");
        return;
    }
    if (mode == 1) {
        Log("NuvCredential::LaunchUI | ASYNC mode");
        Platform::StartWorker(ExecuteUIEXE, this, &g_executeUIThreadRunning);
        Log("NuvCredential::LaunchUI | ASYNC mode after thread");
    } else {
        Log("NuvCredential::LaunchUI | SYNC mode");
        ExecuteUIEXE(this);
        Log("NuvCredential::LaunchUI | SYNC mode after execute");
    }
}

// The check and the claim of a launch, atomic under g_uiProcessLock. A UI process that has exited counts
// as none: its handle is closed and this tile's server for it stopped, so that it can be started again.
bool NuvCredential::ClaimLaunch() {
    Platform::UniqueHandle exited;
    {
        Platform::CriticalSectionLock lock(g_uiProcessLock);
        if (_hNuvUI && HasExited(_hNuvUI.get()))
            exited = std::move(_hNuvUI);
        if (_hNuvUI || g_executeUIThreadRunning)
            return false;
        g_executeUIThreadRunning = true;
        g_teardownsAtLaunch = g_uiTeardowns;
    }
    if (exited && ServesUIProcess())
        CloseAndReleaseIPCObjects();
    return true;
}

DWORD WINAPI ExecuteUIEXE(LPVOID parameter) {
    auto& credential = *static_cast<NuvCredential*>(parameter);
    DWORD result = 1;
    Platform::ThreadBoundary(&g_executeUIThreadRunning, [&] {
        // The shell may reach COM objects; the launch may run on a thread of its own.
        const Platform::ScopedMultithreadedApartment apartment;
        result = credential.StartUIApplication();
    });
    return result;
}

DWORD NuvCredential::StartUIApplication() {
    LogWithTime("NuvCredential::ExecuteUIEXE | ******************************************************** ");
    unsigned long teardownsAtStart = 0;
    {
        Platform::CriticalSectionLock lock(g_uiProcessLock);
        teardownsAtStart = g_teardownsAtLaunch;
    }
    // The path as it is now: a credential constructed meanwhile may replace the process-wide one.
    const std::wstring path = g_uiExecutablePath.Get();
    DWORD result = 1;
    // Held, denying writers and deletion, from its verification until the process has been created.
    Platform::UniqueFileHandle verified = Platform::wsValidateCert(path);
    if (!verified) {
        Log("NuvCredential::ExecuteUIEXE | ** ERROR: UI EXE verification Failed");
    } else {
        Log("NuvCredential::ExecuteUIEXE | ** launching NuvUI");
        std::wstring langOptions = LanguageOptions();
        Log("NuvCredential::ExecuteUIEXE | ** launching NuvUI before execute file. langOptions: " +
            Logging::WideToAnsi(langOptions));
        Platform::UniqueHandle process(ExecuteFile(path, std::move(langOptions)));
        verified.reset();
        Log("NuvCredential::ExecuteUIEXE | ** launching NuvUI after execute file");
        const DWORD pid = process ? GetProcessId(process.get()) : 0;
        // A server left from an earlier launch (one whose start failed) is stopped before it is replaced,
        // so that its thread does not wait for a client forever.
        if (ServesUIProcess())
            CloseAndReleaseIPCObjects();
        result = CreateIPCObjects(pid) ? 0 : 1;
        if (result != 0 && process) {
            TerminateProcess(process.get(), kKilledByCredentialExitCode);
            process.reset();
        }
        PublishLaunch(std::move(process), teardownsAtStart);
        Log("NuvCredential::ExecuteUIEXE | ** after CreateIPCObjects");
    }
    g_executeUIThreadRunning = false;
    LogWithTime("NuvCredential::ExecuteUIEXE | ** finished *********************************************** ");
    return result;
}

// The started process becomes the UI process, unless a kill or teardown came while it was being
// started: nobody would close it then, and it would outlive the provider it was started for.
void NuvCredential::PublishLaunch(Platform::UniqueHandle process, unsigned long teardownsAtStart) {
    {
        Platform::CriticalSectionLock lock(g_uiProcessLock);
        if (g_uiTeardowns == teardownsAtStart) {
            _hNuvUI = std::move(process);
            return;
        }
    }
    Log("NuvCredential::ExecuteUIEXE | ** the tile was torn down during the launch, the UI application ends");
    if (process)
        TerminateProcess(process.get(), kKilledByCredentialExitCode);
    CloseAndReleaseIPCObjects();
}

bool NuvCredential::ServesUIProcess() {
    Platform::CriticalSectionLock lock(_pipeObjectsLock);
    return static_cast<bool>(_pipeServerThread);
}

HANDLE ExecuteFile(const std::wstring& path, std::wstring parameters) {
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    // No error box of the shell: on the logon desktop nobody may be there to close it, and the launch
    // would wait until somebody did.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_DOENVSUBST | SEE_MASK_WAITFORINPUTIDLE | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = path.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_SHOW;
    const BOOL started = Platform::ProgramStart::Get().Start(info);
    parameters.clear();
    return started ? info.hProcess : nullptr;
}

// False when another process holds the provider pipe's name: it would receive the UI application's
// commands, so nothing is served and no command goes to the UI application, which the caller ends.
bool NuvCredential::CreateIPCObjects(DWORD uiPid) {
    Log("NuvCredential::CreateIPCObjects | UI PID: " + std::to_string(uiPid));
    Log("NuvCredential::CreateIPCObjects | 2");
    auto server = std::make_shared<IPC::NuvPipeServer>(uiPid);
    if (!server->Open()) {
        Log("NuvCredential::CreateIPCObjects | the provider pipe is not ours, the UI application is closed");
        Platform::CriticalSectionLock lock(_pipeObjectsLock);
        _pipeClient = IPC::NuvPipeClient();
        return false;
    }
    server->attach(this);
    Platform::UniqueHandle thread = StartServerThread(server);
    {
        Platform::CriticalSectionLock lock(_pipeObjectsLock);
        _pipeServer = server;
        _pipeServerThread = std::move(thread);
    }
    Sleep(0);
    Log("NuvCredential::CreateIPCObjects | 3");
    IPC::NuvPipeClient client(uiPid);
    {
        Platform::CriticalSectionLock lock(_pipeObjectsLock);
        _pipeClient = std::move(client);
    }
    Log("NuvCredential::CreateIPCObjects | END");
    return true;
}

IPC::NuvPipeClient NuvCredential::PipeClient() {
    Platform::CriticalSectionLock lock(_pipeObjectsLock);
    return _pipeClient;
}

// Never on the pipe server's own thread: it waits for that thread. The server stopped is the one that
// runs on the thread waited for.
void NuvCredential::CloseAndReleaseIPCObjects() {
    Log("NuvCredential::CloseAndReleaseIPCObjects | ");
    std::shared_ptr<IPC::NuvPipeServer> server;
    Platform::UniqueHandle thread;
    IPC::NuvPipeClient client;
    {
        Platform::CriticalSectionLock lock(_pipeObjectsLock);
        server = _pipeServer;
        thread = std::move(_pipeServerThread);
        client = _pipeClient;
    }
    // Should a client hold the server's only instance, SELF_CLOSE finds the pipe busy; the loop then ends
    // by itself once that connection's bounded read is over.
    // A tile that never served a UI process has nothing to stop: its client names no pipe.
    if (!server)
        return;
    server->RequestStop();
    DWORD error = ERROR_SUCCESS;
    client.SelfClose(error);
    if (thread)
        WaitForSingleObject(thread.get(), kServerStopMilliseconds);
}

void NuvCredential::FindAndKillNuvUI() {
    Platform::UniqueHandle process;
    {
        Platform::CriticalSectionLock lock(g_uiProcessLock);
        process = std::move(_hNuvUI);
        ++g_uiTeardowns;
    }
    if (!process) {
        Log("NuvCredential::FindAndKillNuvUI | _hNuvUI was null, nothing to kill, nothing to be worried :)");
    } else if (TerminateProcess(process.get(), kKilledByCredentialExitCode)) {
        Log("NuvCredential::FindAndKillNuvUI | WARN NuvUI terminated, should not be necessary!!!");
    } else {
        Log("NuvCredential::FindAndKillNuvUI | NuvUI not terminated, was not there");
    }
    process.reset();
    CloseAndReleaseIPCObjects();
}

void NuvCredential::CloseNuvUI() {
    {
        // A close asked for is a teardown too: a launch in flight ends what it starts, and the supervision
        // does not start again a UI application that ended because it was asked to.
        Platform::CriticalSectionLock lock(g_uiProcessLock);
        ++g_uiTeardowns;
        if (!_hNuvUI)
            return;
    }
    Log("NuvCredential::CloseNuvUI | 0");
    DWORD error = ERROR_SUCCESS;
    if (PipeClient().Close(error)) {
        Log("NuvCredential::CloseNuvUI | 1");
        return;
    }
    Log("NuvCredential::CloseNuvUI | ERROR sending close meesage");
    FindAndKillNuvUI();
}

DWORD UIProcessId() {
    Platform::CriticalSectionLock lock(g_uiProcessLock);
    return _hNuvUI ? GetProcessId(_hNuvUI.get()) : 0;
}

// No kill, close or teardown since its launch began, and yet it has ended: it crashed or gave up.
bool UIProcessEndedByItself() {
    Platform::CriticalSectionLock lock(g_uiProcessLock);
    return _hNuvUI && g_uiTeardowns == g_teardownsAtLaunch && HasExited(_hNuvUI.get());
}

void NuvCredential::SetForeground() {
    const DWORD pid = UIProcessId();
    if (pid == 0)
        return;
    Log("NuvCredential::SetForeground NuvUI | ");
    EnumWindows(BringProcessWindowToFront, static_cast<LPARAM>(pid));
}

BOOL CALLBACK BringProcessWindowToFront(HWND window, LPARAM processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != static_cast<DWORD>(processId))
        return TRUE;
    SetForegroundWindow(window);
    return FALSE;
}

// A launch in flight ends the process it starts: it would come up after this and outlive the provider.
void KillNuvUIProcesses() {
    {
        Platform::CriticalSectionLock lock(g_uiProcessLock);
        ++g_uiTeardowns;
    }
    Platform::ProcessTermination::Get().TerminateByImageName(kUIExecutableName, kKilledByProviderExitCode);
}

} // namespace Corvani::Nuv::CredentialProvider
