#pragma once
// The process-wide splash window that bridges the start of the UI application: a maximised borderless
// window with the splash picture or the product name, kept alive by Shift presses into LogonUI and
// closed by the keep-alive after its last press.

#include "platform/UniqueResource.h"

#include <atomic>
#include <windows.h>

namespace Corvani::Nuv::CredentialProvider {

struct SplashScreen {
    DWORD mode = 0; // 1: the picture, 0: the product name
    HWND ownerWindow = nullptr;
    Platform::UniqueHandle threadHandle;
    Platform::UniqueBitmap bitmap;
    BITMAP bitmapInfo = {};
    // Written once by the window thread and read by the others.
    std::atomic<HWND> window{nullptr};
    std::atomic<LONG> windowCreated{0};

    // Credential construction with "SPLASHSCREEN_ENABLE" 1 (picture) or 2 (text). A window still open
    // from an earlier construction is closed first: afterwards nothing could reach it.
    void Reset(DWORD setting, HWND owner);

    // Starts the window thread unless one runs since the last reset, starts one more keep-alive thread,
    // waits at most five seconds for the window and shows it maximised.
    void Show();

    // At module unload and before a reset: WM_CLOSE to the window, a pause for the window thread to
    // end, and the thread handle released.
    void Close();

    static DWORD WINAPI WindowThread(LPVOID unused);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static DWORD WINAPI KeepAliveThread(LPVOID unused);
    void PaintText(HWND paintedWindow);
    void PaintBitmap(HWND paintedWindow);

private:
    void OnCreate();
    void StartWindowThread();
    bool WaitForWindow() const;
};

extern SplashScreen g_splashScreen;

// The window thread's identifier; 0 when none was started since the last reset.
extern std::atomic<DWORD> g_splashThreadId;

// How many Shift presses a keep-alive thread sends, one per interval, before it closes the splash.
// Production never changes it; the tests shorten it.
struct SplashKeepAlivePace {
    DWORD presses = 50;
    DWORD intervalMilliseconds = 1000;
};

extern SplashKeepAlivePace g_splashKeepAlivePace;

} // namespace Corvani::Nuv::CredentialProvider
