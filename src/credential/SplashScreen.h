#pragma once
// The process-wide splash window that bridges the start of the UI application.

#include <windows.h>

namespace Corvani::Nuv::CredentialProvider {

struct SplashScreen {
    DWORD mode = 0;
    HWND ownerWindow = nullptr;
    HANDLE threadHandle = nullptr;
    HBITMAP bitmap = nullptr;
    BITMAP bitmapInfo = {};
    HWND window = nullptr;
    LONG windowCreated = 0;

    // Credential construction with "SPLASHSCREEN_ENABLE" 1 (picture) or 2 (text).
    void Reset(DWORD setting, HWND owner);
};

extern SplashScreen g_splashScreen;

} // namespace Corvani::Nuv::CredentialProvider
