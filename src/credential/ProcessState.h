#pragma once
// Process-wide state of the tile and its worker threads: one instance per LogonUI process, shared by
// every credential, zero at load. Each variable says which threads touch it and what guards it. No
// lock here is held while its holder waits for another thread, and no two are held together.

#include "credential/SplashScreen.h"
#include "platform/CriticalSection.h"
#include "platform/Guarded.h"
#include "platform/UniqueResource.h"

#include <atomic>
#include <string>
#include <windows.h>

namespace Corvani::Nuv::CredentialProvider {

class NuvCredential;

// LogonUI's window, asked for in the first credential Advise (LogonUI's thread); read by every key
// press on any thread. Atomic.
extern std::atomic<HWND> g_parentWindow;
// The tile is selected: written by SetSelected and SetDeselected (LogonUI's thread), polled by the
// supervision and dismissal-wait threads. Atomic.
extern std::atomic<bool> IsHXCPSelected;

// The supervision thread. Started by SetSelected (LogonUI's thread); its handle, whether one runs and
// the credential it supervises (the one selected last) change only under g_supervisionLock, which the
// thread takes at each poll and at its end. Credentials live for the process, so the pointer stays valid.
extern Platform::CriticalSection g_supervisionLock;
extern Platform::UniqueHandle g_launchAndShowUIThread;
extern bool g_supervisionRunning;
extern NuvCredential* g_supervisedCredential;

// Written by every credential construction (LogonUI's thread), read by the launch and supervision
// threads: the UI executable's path (each launch works on a copy), "SPLASHSCREEN_ENABLE", whether this
// provider was the last one used, the input time the provider came up with and the UI language.
extern Platform::Guarded<std::wstring> g_uiExecutablePath;
extern std::atomic<DWORD> g_splashSetting;
extern std::atomic<bool> IsNuvLastLoggedOn;
extern std::atomic<DWORD> g_baselineInputTime;
extern std::atomic<LANGID> g_uiLanguage;

// The one UI process of LogonUI. Read and replaced by LogonUI's thread (kill, close), the launch
// thread (which publishes what it started), the supervision thread (which notices an exit) and the pipe
// threads (which bring its window to the front); every access holds g_uiProcessLock. The launch itself
// (trust check, shell start) runs outside the lock, so the kill never waits for it: each kill counts
// in g_uiTeardowns, and a launch that a kill overtook ends the process it started.
extern Platform::CriticalSection g_uiProcessLock;
extern Platform::UniqueHandle _hNuvUI;
extern unsigned long g_uiTeardowns;
// g_uiTeardowns when the launch in flight was claimed (one launch at a time), under g_uiProcessLock.
extern unsigned long g_teardownsAtLaunch;
// A launch is in flight: set with the check of _hNuvUI under g_uiProcessLock, cleared by the launch
// when it is done, polled by the supervision thread. Atomic.
extern std::atomic<bool> g_executeUIThreadRunning;
// Start the UI hidden: written by the supervision thread before it launches, read by the launch. Atomic.
extern std::atomic<bool> g_startUIHidden;

// A service start is in flight: set by LaunchService, cleared by the service thread. Atomic.
extern std::atomic<bool> g_launchServiceThreadRunning;
// The dismissal-wait thread still waits for the lock screen to go: set before that thread exists,
// cleared by it, polled by the supervision thread. Atomic.
extern std::atomic<bool> g_waitingForLockScreenDismissal;

// The splash window: reset by credential constructions, shown by the supervision and dismissal-wait
// threads, suppressed by SetDeselected and a successful SHOW, run by its window thread and closed by its
// keep-alive threads; its lock guards its window thread (see SplashScreen.h).
extern SplashScreen g_splashScreen;
// The window thread's identifier, under the splash's lock; 0 when none runs.
extern DWORD g_splashThreadId;
// The keep-alive's pace: production never changes it, the tests set it before any splash thread runs.
extern SplashKeepAlivePace g_splashKeepAlivePace;

} // namespace Corvani::Nuv::CredentialProvider
