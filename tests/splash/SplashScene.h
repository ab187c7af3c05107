#pragma once
// What the splash tests share: a tile built with "SPLASHSCREEN_ENABLE" as a row gives it, whose
// ShowSplashScreen the test calls; windows with message loops of their own; and waiting with bounds.

#include "credential/NuvCredential.h"
#include "credential/SplashScreen.h"
#include "platform/ComPtr.h"
#include "platform/UniqueResource.h"
#include "support/RegistryValue.h"
#include "support/ScopedOverride.h"
#include "support/WaitFor.h"

#include <functional>
#include <optional>
#include <thread>
#include <windows.h>

namespace HxTest {

using Corvani::Nuv::CredentialProvider::SplashKeepAlivePace;

// A keep-alive of a few presses a fraction of a second apart, so that each test sees its end.
inline constexpr SplashKeepAlivePace kShortPace{3, 200};

// A top-level window on a thread of its own, with a procedure that ends the thread when the window is
// destroyed. Stands in for LogonUI's window, or shows that Alt+F4 closes an ordinary window.
class PumpedWindow {
public:
    PumpedWindow();
    ~PumpedWindow();
    PumpedWindow(const PumpedWindow&) = delete;
    PumpedWindow& operator=(const PumpedWindow&) = delete;
    HWND get() const { return _window; }

private:
    void Run(HANDLE ready);
    std::thread _thread;
    HWND _window = nullptr;
};

// One credential constructed with the setting (nullopt: the value absent), the owner window as LogonUI's
// window and the keep-alive pace. The picture comes from the provider module, loaded for the scene. At
// the end the splash is closed and the scene waits for the splash threads it started.
class SplashScene {
public:
    SplashScene(std::optional<DWORD> setting, HWND owner, SplashKeepAlivePace pace);
    ~SplashScene();
    SplashScene(const SplashScene&) = delete;
    SplashScene& operator=(const SplashScene&) = delete;

    void ShowSplashScreen();
    HWND Window() const { return Corvani::Nuv::CredentialProvider::g_splashScreen.window; }
    // A second credential construction in the same process (LogonUI building its tiles again).
    void ConstructAgain();
    // True when the threads of this process are back to their number before the scene.
    bool WaitForSplashThreadsToEnd(DWORD timeoutMilliseconds) const;

private:
    Corvani::Nuv::Platform::UniqueLibrary _module;
    ScopedOverride<HINSTANCE> _moduleHandle;
    ScopedOverride<std::atomic<HWND>> _parentWindow;
    ScopedOverride<SplashKeepAlivePace> _pace;
    ScopedRegistryValue _setting;
    Corvani::Nuv::Platform::ComPtr<ICredentialProvider> _provider;
    Corvani::Nuv::Platform::ComPtr<ICredentialProvider> _laterProvider;
    int _threadsBefore;
    DWORD _paceMilliseconds;
};


int CountThreadsOfThisProcess();

// The provider module's bitmap 101 as top-down pixels, or empty when it cannot be read.
std::vector<COLORREF> SplashPicturePixels(int& width, int& height);

} // namespace HxTest
