// Supervision of the UI application while the tile is selected: the service started, the application
// launched (hidden when the lock screen is up), the splash put up at the right moment, and SHOW and HIDE
// sent as the lock screen goes and comes back.

#include "credential/NuvCredential.h"
#include "credential/SplashScreen.h"
#include "logging/TraceLog.h"

#include <exception>

namespace Corvani::Nuv::CredentialProvider {

std::atomic<bool> g_waitingForLockScreenDismissal{false};

namespace {

constexpr DWORD kLockScreenAppearPollMilliseconds = 200;
constexpr int kLockScreenAppearAttempts = 5;
constexpr LONG kNoInputThresholdMilliseconds = 1000;
constexpr DWORD kLaunchWaitPollMilliseconds = 200;
constexpr int kShowAttemptsAfterLaunch = 4;
constexpr DWORD kShownPollMilliseconds = 1000;
constexpr DWORD kHiddenPollMilliseconds = 100;
constexpr DWORD kDismissalPollMilliseconds = 200;

DWORD LastInputTick() {
    LASTINPUTINFO info = {sizeof(info), 0};
    return GetLastInputInfo(&info) ? info.dwTime : 0;
}

// Nobody has touched the machine since the provider came up: it may just have been locked or woken, and
// the lock screen may be about to appear.
bool NoInputSinceBaseline() {
    return static_cast<LONG>(LastInputTick() - g_baselineInputTime) < kNoInputThresholdMilliseconds;
}

void HideSplash() { ShowWindow(g_splashScreen.window, SW_HIDE); }

class Supervision {
public:
    explicit Supervision(NuvCredential& credential) : _credential(credential) {}

    void Run() {
        Log("NuvCredential::LaunchAndShowUI | 1");
        g_waitingForLockScreenDismissal = false;
        _credential.LaunchService();
        Log("NuvCredential::LaunchAndShowUI | 2 after LaunchService");
        DecideHowToStart();
        _credential.LaunchUI(0);
        Log("NuvCredential::LaunchAndShowUI | 4 after LaunchUI");
        while (IsHXCPSelected && (g_executeUIThreadRunning || g_waitingForLockScreenDismissal))
            Sleep(kLaunchWaitPollMilliseconds);
        Log("NuvCredential::LaunchAndShowUI | 5 after wait for the lock screen to be dismissed and the UI and IPC "
            "objects to be created");
        if (IsHXCPSelected && FirstShow())
            Supervise();
        Log("NuvCredential::LaunchAndShowUI | THREAD EXIT");
    }

private:
    void Log(const char* text) { _credential.Log(text); }

    void StartHiddenWithSplashAfterDismissal() {
        g_startUIHidden = true;
        _credential.LaunchSplashScreenAsync();
        Log("NuvCredential::LaunchAndShowUI | 3 after LaunchSplashScreenAsync");
    }

    void DecideHowToStart() {
        if (!IsHXCPSelected) {
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
                if (g_splashSetting != 0) {
                    Log("NuvCredential::LaunchAndShowUI |  Splash is enabled, send Hide");
                    HideSplash();
                }
                return true;
            }
            if (!IsHXCPSelected)
                return false;
        }
        return true;
    }

    void Supervise() {
        while (IsHXCPSelected) {
            Sleep(_shown ? kShownPollMilliseconds : kHiddenPollMilliseconds);
            if (!IsHXCPSelected)
                return;
            if (_shown)
                HideWhenLockScreenIsBack();
            else
                ShowWhenLockScreenIsGone();
        }
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
};

} // namespace

DWORD WINAPI LaunchAndShowUI(LPVOID parameter) {
    try {
        Supervision(*static_cast<NuvCredential*>(parameter)).Run();
    } catch (const std::exception&) {
        // Nothing may leave a thread routine; the UI application, if started, is closed by UnAdvise.
    }
    return 0;
}

bool NuvCredential::SendShowMessage() {
    Log("NuvCredential::SendShowMessage |");
    DWORD error = ERROR_SUCCESS;
    IPC::NuvPipeClient client = PipeClient();
    const bool sent = _logonFailed ? client.ChangePassword(error) : client.Show(error);
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
    g_waitingForLockScreenDismissal = true;
    Platform::UniqueHandle thread(CreateThread(nullptr, 0, ShowFlashScreenOnLockScreenDismissed, this, 0, nullptr));
    if (!thread)
        g_waitingForLockScreenDismissal = false; // nothing will run to clear it
    Log("NuvCredential::LaunchSplashScreenAsync | ASYNC mode after thread");
}

DWORD WINAPI ShowFlashScreenOnLockScreenDismissed(LPVOID parameter) {
    auto& credential = *static_cast<NuvCredential*>(parameter);
    try {
        credential.Log(
            "NuvCredential::ShowFlashScreenOnLockScreenDismissed | ++++++++++++++++++++++++++++++++++++++++++++++++++++ " +
            Logging::CurrentTimeString());
        g_waitingForLockScreenDismissal = true;
        while (IsHXCPSelected && credential.IsLockScreenVisible())
            Sleep(kDismissalPollMilliseconds);
        g_waitingForLockScreenDismissal = false;
        credential.Log("NuvCredential::ShowFlashScreenOnLockScreenDismissed | 4 after wait for the lock screen to be "
                       "dismissed and the UI and IPC objects to be created");
        credential.ShowSplashScreen();
        credential.Log(
            "NuvCredential::ShowFlashScreenOnLockScreenDismissed | ++ finished +++++++++++++++++++++++++++++++++++++++++++ " +
            Logging::CurrentTimeString());
    } catch (const std::exception&) {
        g_waitingForLockScreenDismissal = false;
    }
    return 1;
}

} // namespace Corvani::Nuv::CredentialProvider
