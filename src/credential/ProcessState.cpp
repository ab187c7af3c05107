#include "credential/ProcessState.h"

namespace Corvani::Nuv::CredentialProvider {

std::atomic<HWND> g_parentWindow{nullptr};
std::atomic<bool> IsHXCPSelected{false};

Platform::CriticalSection g_supervisionLock;
Platform::UniqueHandle g_launchAndShowUIThread;
bool g_supervisionRunning = false;
NuvCredential* g_supervisedCredential = nullptr;

Platform::Guarded<std::wstring> g_uiExecutablePath;
std::atomic<DWORD> g_splashSetting{0};
std::atomic<bool> IsNuvLastLoggedOn{false};
std::atomic<DWORD> g_baselineInputTime{0};
std::atomic<LANGID> g_uiLanguage{0};

Platform::CriticalSection g_uiProcessLock;
Platform::UniqueHandle _hNuvUI;
unsigned long g_uiTeardowns = 0;
unsigned long g_teardownsAtLaunch = 0;
std::atomic<bool> g_executeUIThreadRunning{false};
std::atomic<bool> g_startUIHidden{false};

std::atomic<bool> g_launchServiceThreadRunning{false};
std::atomic<bool> g_waitingForLockScreenDismissal{false};

SplashScreen g_splashScreen;
DWORD g_splashThreadId = 0;
SplashKeepAlivePace g_splashKeepAlivePace;

} // namespace Corvani::Nuv::CredentialProvider
