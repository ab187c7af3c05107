// Key presses injected into LogonUI: Shift wakes the logon screen without typing anything, Escape takes
// it out of the tile's view.

#include "credential/KeyInjection.h"

#include "credential/NuvCredential.h"
#include "platform/OutsideEffects.h"

namespace Corvani::Nuv::CredentialProvider {

namespace {

constexpr DWORD kEscapeDelayMilliseconds = 500;

INPUT KeyEvent(WORD virtualKey, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    return input;
}

} // namespace

// The results of SendInput are not examined: another desktop may be active.
void PressKey(WORD virtualKey) {
    Platform::KeyboardInput& keyboard = Platform::KeyboardInput::Get();
    keyboard.Send(KeyEvent(virtualKey, 0));
    keyboard.Send(KeyEvent(virtualKey, KEYEVENTF_KEYUP));
}

void NuvCredential::SendAnyKeyToRemoveScreensaver() {
    Log("NuvCredential::SendAnyKeyToRemoveScreensaver | ");
    if (!g_parentWindow)
        return;
    SetForegroundWindow(g_parentWindow);
    PressKey(VK_SHIFT);
}

void NuvCredential::SendEscapeKeyToLogonUI() {
    Log("NuvCredential::SendEscapeKeyToLogonUI | 1");
    if (!g_parentWindow) {
        Log("NuvCredential::SendEscapeKeyToLogonUI | NULL WND_LogonUI");
        return;
    }
    SendAnyKeyToRemoveScreensaver();
    Sleep(kEscapeDelayMilliseconds);
    PressKey(VK_ESCAPE);
}

} // namespace Corvani::Nuv::CredentialProvider
