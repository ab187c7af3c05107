// Supervision of the UI application while the tile is selected: the service started, the application
// launched (hidden when the lock screen is up), the splash put up at the right moment, and SHOW and HIDE
// sent as the lock screen goes and comes back.

#include "credential/NuvCredential.h"
#include "credential/SplashScreen.h"
#include "logging/TraceLog.h"
#include "platform/ComApartment.h"
#include "platform/WorkerThread.h"

namespace Corvani::Nuv::CredentialProvider {

namespace {

constexpr DWORD kLockScreenAppearPollMilliseconds = 200;
constexpr int kLockScreenAppearAttempts = 5;
constexpr LONG kNoInputThresholdMilliseconds = 1000;
constexpr DWORD kLaunchWaitPollMilliseconds = 200;
constexpr int kShowAttemptsAfterLaunch = 4;
constexpr DWORD kShownPollMilliseconds = 1000;
constexpr DWORD kHiddenPollMilliseconds = 100;
constexpr DWORD kDismissalPollMilliseconds = 200;
// A UI application that keeps dying at its start is not started for ever.
constexpr int kRelaunchesPerSelection = 3;

DWORD LastInputTick() {
    LASTINPUTINFO info = {sizeof(info), 0};
    return GetLastInputInfo(&info) ? info.dwTime : 0;
}

// Nobody has touched the machine since the provider came up: it may just have been locked or woken, and
// the lock screen may be about to appear.
bool NoInputSinceBaseline() {
    return static_cast<LONG>(LastInputTick() - g_baselineInputTime) < kNoInputThresholdMilliseconds;
}

// UI Automation and the shell are COM: the thread enters the multithreaded apartment itself rather than
// rely on another thread of LogonUI having done so.
void EnterApartmentOrSayWhy(NuvCredential& credential, const Platform::ScopedMultithreadedApartment& apartment,
                            const char* routine) {
    if (FAILED(apartment.Result()))
        credential.Log(std::string(routine) + " | CoInitializeEx failed, the thread goes on without COM: " +
                       std::to_string(static_cast<unsigned long>(apartment.Result())));
}

class Supervision {
public:
    explicit Supervision(NuvCredential& credential) : _credential(credential) {}

    void Run() {
        Log("NuvCredential::LaunchAndShowUI | 1");
        g_waitingForLockScreenDismissal = false;
        g_splashScreen.Allow();
        _credential.LaunchService();
        Log("NuvCredential::LaunchAndShowUI | 2 after LaunchService");
        DecideHowToStart();
        _credential.LaunchUI(0);
        Log("NuvCredential::LaunchAndShowUI | 4 after LaunchUI");
        WaitForLaunch();
        Log("NuvCredential::LaunchAndShowUI | 5 after wait for the lock screen to be dismissed and the UI and IPC "
            "objects to be created");
        if (Selected() && FirstShow())
            Supervise();
        Log("NuvCredential::LaunchAndShowUI | THREAD EXIT");
    }

private:
    void Log(const char* text) { _credential.Log(text); }

    // This credential's tile is selected: the selection has not moved to another provider's tile, and the
    // provider has not been released.
    bool Selected() const {
        if (!IsHXCPSelected || !_credential.HasProvider())
            return false;
        Platform::CriticalSectionLock lock(g_supervisionLock);
        return g_supervisedCredential == &_credential;
    }

    void WaitForLaunch() const {
        while (Selected() && (g_executeUIThreadRunning || g_waitingForLockScreenDismissal))
            Sleep(kLaunchWaitPollMilliseconds);
    }

    void StartHiddenWithSplashAfterDismissal() {
        g_startUIHidden = true;
        _credential.LaunchSplashScreenAsync();
        Log("NuvCredential::LaunchAndShowUI | 3 after LaunchSplashScreenAsync");
    }

    void DecideHowToStart() {
        if (!Selected()) {
            Log("NuvCredential::LaunchAndShowUI | Aour CP is not selected (IsHXCPSelected false)");
            return;
        }
        Log("NuvCredential::LaunchAndShowUI | CP is selected");
        if (_credential.IsLockScreenVisible()) {
            StartHiddenWithSplashAfterDismissal();
            return;
        }
        g_startUIHidden = false;
        Log("NuvCredential::LaunchAndShowUI | LockScreen is not Present");
        const bool splashNow = !LockScreenAboutToAppear();
        if (g_splashSetting != 0 && splashNow) {
            _credential.ShowSplashScreen();
            Log("NuvCredential::LaunchAndShowUI | IsAbleToShowSplash - ShowSplashScreen");
        }
    }

    // True when the lock screen came up while waiting for it; the start is then hidden.
    bool LockScreenAboutToAppear() {
        if (!IsNuvLastLoggedOn)
            return false;
        Log("NuvCredential::LaunchAndShowUI | IsNuvLastLoggedOn");
        if (!NoInputSinceBaseline())
            return false;
        Log("NuvCredential::LaunchAndShowUI | Not input detected in a second. Wait for LockScreen");
        if (!_credential.IsLockScreenVisible()) {
            for (int attempt = 1; attempt <= kLockScreenAppearAttempts; ++attempt) {
                Sleep(kLockScreenAppearPollMilliseconds);
                _credential.Log("NuvCredential::LaunchAndShowUI | Wait for LockScreen. Attempt " +
                                std::to_string(attempt));
                if (_credential.IsLockScreenVisible())
                    break;
            }
        }
        if (!_credential.IsLockScreenVisible())
            return false;
        StartHiddenWithSplashAfterDismissal();
        return true;
    }

    // False when the tile was deselected during the attempts.
    bool FirstShow() {
        for (int attempt = 0; attempt < kShowAttemptsAfterLaunch; ++attempt) {
            Log("NuvCredential::LaunchAndShowUI | SendShow loop");
            if (_credential.SendShowMessage()) {
                Log("NuvCredential::LaunchAndShowUI | 3 SendShowMessage OK");
                _shown = true;
                if (g_splashSetting != 0)
                    Log("NuvCredential::LaunchAndShowUI |  Splash is enabled, send Hide");
                g_splashScreen.Suppress();
                return true;
            }
            if (!Selected())
                return false;
        }
        return true;
    }

    void Supervise() {
        while (Selected()) {
            Sleep(_shown ? kShownPollMilliseconds : kHiddenPollMilliseconds);
            if (!Selected())
                return;
            if (RelaunchWhenEnded())
                continue;
            if (_shown)
                HideWhenLockScreenIsBack();
            else
                ShowWhenLockScreenIsGone();
        }
    }

    // A UI application that ended by itself (it crashed: nobody asked it to close) is started again while
    // the tile is selected, hidden when the lock screen is up, and shown at once otherwise.
    bool RelaunchWhenEnded() {
        if (_relaunches >= kRelaunchesPerSelection || !UIProcessEndedByItself())
            return false;
        ++_relaunches;
        Log("NuvCredential::LaunchAndShowUI | the UI application has ended by itself, it is started again");
        _shown = false;
        g_startUIHidden = _credential.IsLockScreenVisible();
        _credential.LaunchUI(0);
        WaitForLaunch();
        if (Selected() && !g_startUIHidden)
            FirstShow();
        return true;
    }

    void HideWhenLockScreenIsBack() {
        if (!_credential.IsLockScreenVisible())
            return;
        Log("NuvCredential::LaunchAndShowUI | UI shown and lock screen is visible (30s of inactivity), send HIDE to UI");
        if (_credential.SendHideMessage()) {
            Log("NuvCredential::LaunchAndShowUI | SendHideMessage OK");
            _shown = false;
        } else {
            Log("NuvCredential::LaunchAndShowUI | SendHideMessage ERROR");
        }
    }

    void ShowWhenLockScreenIsGone() {
        if (_credential.IsLockScreenVisible())
            return;
        Log("NuvCredential::LaunchAndShowUI | UI hidden and lock screen was removded, send SHOW to UI");
        if (_credential.SendShowMessage()) {
            Log("NuvCredential::LaunchAndShowUI | SendShowMessage OK");
            _shown = true;
        } else {
            Log("NuvCredential::LaunchAndShowUI | SendShowMessage ERROR");
        }
    }

    NuvCredential& _credential;
    bool _shown = false;
    int _relaunches = 0;
};

// Under g_supervisionLock: a selection that came back while the last run was ending, of this tile or of
// another provider's, is served by this same thread; otherwise the thread ends and the next selection
// starts a new one.
bool SupervisionMayEnd(NuvCredential*& next) {
    Platform::CriticalSectionLock lock(g_supervisionLock);
    if (IsHXCPSelected && g_supervisedCredential && g_supervisedCredential->HasProvider()) {
        next = g_supervisedCredential;
        return false;
    }
    g_supervisionRunning = false;
    return true;
}

// A thread started without SetSelected (a test's) supervises the credential it was given.
void AdoptWhenStartedDirectly(NuvCredential& credential) {
    Platform::CriticalSectionLock lock(g_supervisionLock);
    if (!g_supervisionRunning)
        g_supervisedCredential = &credential;
}

} // namespace

DWORD WINAPI LaunchAndShowUI(LPVOID parameter) {
    auto* credential = static_cast<NuvCredential*>(parameter);
    bool ended = false;
    Platform::ThreadBoundary(nullptr, [&] {
        const Platform::ScopedMultithreadedApartment apartment;
        EnterApartmentOrSayWhy(*credential, apartment, "NuvCredential::LaunchAndShowUI");
        AdoptWhenStartedDirectly(*credential);
        do
            Supervision(*credential).Run();
        while (!(ended = SupervisionMayEnd(credential)));
    });
    if (!ended) {
        // Something escaped a run: the UI application, if started, is closed by UnAdvise.
        Platform::CriticalSectionLock lock(g_supervisionLock);
        g_supervisionRunning = false;
    }
    return 0;
}

bool NuvCredential::SendShowMessage() {
    Log("NuvCredential::SendShowMessage |");
    DWORD error = ERROR_SUCCESS;
    IPC::NuvPipeClient client = PipeClient();
    const bool sent = _logonFailed.load() ? client.ChangePassword(error) : client.Show(error);
    if (!sent) {
        Log("NuvCredential::SendShowMessage | unable to send SHOW");
        return false;
    }
    Log("NuvCredential::SendShowMessage | SHOW sent successfully");
    _logonFailed = false;
    SendAnyKeyToRemoveScreensaver();
    SetForeground();
    return true;
}

bool NuvCredential::SendHideMessage() {
    Log("NuvCredential::SendHideMessage | ");
    DWORD error = ERROR_SUCCESS;
    const bool sent = PipeClient().Hide(error);
    Log(sent ? "NuvCredential::SendHideMessage | HIDE sent successfully"
             : "NuvCredential::SendHideMessage | unable to send HIDE");
    return sent;
}

void NuvCredential::LaunchSplashScreenAsync() {
    Log("NuvCredential::LaunchSplashScreenAsync | ASYNC mode");
    // Set before the thread exists, so that the supervision thread's wait cannot miss it.
    Platform::StartWorker(ShowFlashScreenOnLockScreenDismissed, this, &g_waitingForLockScreenDismissal);
    Log("NuvCredential::LaunchSplashScreenAsync | ASYNC mode after thread");
}

DWORD WINAPI ShowFlashScreenOnLockScreenDismissed(LPVOID parameter) {
    auto& credential = *static_cast<NuvCredential*>(parameter);
    Platform::ThreadBoundary(&g_waitingForLockScreenDismissal, [&] {
        const Platform::ScopedMultithreadedApartment apartment;
        credential.LogWithTime(
            "NuvCredential::ShowFlashScreenOnLockScreenDismissed | ++++++++++++++++++++++++++++++++++++++++++++++++++++ ");
        EnterApartmentOrSayWhy(credential, apartment, "NuvCredential::ShowFlashScreenOnLockScreenDismissed");
        g_waitingForLockScreenDismissal = true;
        while (IsHXCPSelected && credential.IsLockScreenVisible())
            Sleep(kDismissalPollMilliseconds);
        g_waitingForLockScreenDismissal = false;
        credential.Log("NuvCredential::ShowFlashScreenOnLockScreenDismissed | 4 after wait for the lock screen to be "
                       "dismissed and the UI and IPC objects to be created");
        // A deselected tile shows no splash: it would cover the logon screen until its keep-alive ends.
        if (IsHXCPSelected)
            credential.ShowSplashScreen();
        credential.LogWithTime(
            "NuvCredential::ShowFlashScreenOnLockScreenDismissed | ++ finished +++++++++++++++++++++++++++++++++++++++++++ ");
    });
    return 1;
}

} // namespace Corvani::Nuv::CredentialProvider
