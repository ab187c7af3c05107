#pragma once
// The process-wide splash window that bridges the start of the UI application: a maximised borderless
// window with the splash picture or the product name, kept alive by Shift presses into LogonUI and
// closed by the keep-alive after its last press.

#include "platform/CriticalSection.h"
#include "platform/UniqueResource.h"

#include <atomic>
#include <windows.h>

namespace Corvani::Nuv::CredentialProvider {

struct SplashScreen {
    // Read by the window thread when it paints. 1: the picture, 0: the product name.
    std::atomic<DWORD> mode{0};
    // The window thread, kept until the next reset or close; replaced under the lock.
    Platform::UniqueHandle threadHandle;
    // The window thread's own: loaded when its window is created, deleted when the thread ends.
    Platform::UniqueBitmap bitmap;
    BITMAP bitmapInfo = {};
    // Set by the window thread once its window exists and cleared when that window is destroyed, so that
    // no thread ever shows or closes a window that is gone.
    std::atomic<HWND> window{nullptr};
    std::atomic<LONG> windowCreated{0};

    // Credential construction with "SPLASHSCREEN_ENABLE" 1 (picture) or 2 (text). A window still open
    // from an earlier construction is closed first: afterwards nothing could reach it.
    void Reset(DWORD setting);

    // Starts the window thread unless one runs, starts one more keep-alive thread, waits at most five
    // seconds for the window and shows it maximised. Does nothing while the splash is suppressed.
    void Show();

    // At module unload and before a reset: WM_CLOSE to the window, a pause for the window thread to
    // end, and the thread handle released.
    void Close();

    // A SHOW has reached the UI application, or the tile was deselected: the splash is hidden and stays
    // hidden, whichever thread shows it afterwards, until the next selection allows it again.
    void Suppress();
    void Allow() noexcept { _suppressed = false; }

    static DWORD WINAPI WindowThread(LPVOID unused);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The parameter is the reset generation the keep-alive belongs to.
    static DWORD WINAPI KeepAliveThread(LPVOID generation);
    void PaintText(HWND paintedWindow);
    void PaintBitmap(HWND paintedWindow);

private:
    void OnCreate();
    void RunWindow();
    void OnWindowThreadEnd();
    void CloseWindowOfGeneration(ULONG_PTR generation);
    void StartWindowThread();
    bool WaitForWindow() const;

    // Guards the thread handle, the thread id and the generation; never held while a message is sent.
    Platform::CriticalSection _lock;
    // Counts the resets: a keep-alive of an earlier generation no longer closes anything.
    ULONG_PTR _generation = 0;
    std::atomic<bool> _suppressed{false};
};

// How many Shift presses a keep-alive thread sends, one per interval, before it closes the splash.
// Production never changes it; the tests shorten it.
struct SplashKeepAlivePace {
    DWORD presses = 50;
    DWORD intervalMilliseconds = 1000;
};

} // namespace Corvani::Nuv::CredentialProvider
