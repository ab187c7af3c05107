#include "HostLockScreen.h"

#include "Console.h"
#include "LockScreenScript.h"

namespace HxHost {

namespace {

constexpr DWORD kSettleMilliseconds = 1500;

void Set(HxLockScreen::Desktop desktop, const wchar_t* story) {
    HxLockScreen::SetDesktop(desktop);
    PrintLine(story);
}

} // namespace

LockScreenPlayer::LockScreenPlayer(const LockScreenScript& script) : _script(script) {
    if (_script.upAtStart)
        Set(HxLockScreen::Desktop::LockScreenPage, L"Lock screen up");
    else
        HxLockScreen::SetDesktop(HxLockScreen::Desktop::SignInScreen);
}

LockScreenPlayer::~LockScreenPlayer() {
    Finish();
    HxLockScreen::SetDesktop(HxLockScreen::Desktop::SignInScreen);
}

void LockScreenPlayer::Finish() {
    if (!_thread)
        return;
    WaitForSingleObject(_thread, 60000);
    CloseHandle(_thread);
    _thread = nullptr;
}

void LockScreenPlayer::Start() {
    if (_script.dismissAfter != 0)
        _thread = CreateThread(nullptr, 0, Play, this, 0, nullptr);
}

DWORD WINAPI LockScreenPlayer::Play(LPVOID parameter) {
    const LockScreenScript& script = static_cast<LockScreenPlayer*>(parameter)->_script;
    Sleep(script.dismissAfter);
    Set(HxLockScreen::Desktop::SignInScreen, L"Lock screen dismissed");
    if (script.backAfter == 0)
        return 0;
    Sleep(script.backAfter);
    Set(HxLockScreen::Desktop::LockScreenPage, L"Lock screen back");
    if (script.dismissAgainAfter == 0)
        return 0;
    Sleep(script.dismissAgainAfter);
    Set(HxLockScreen::Desktop::SignInScreen, L"Lock screen dismissed again");
    Sleep(kSettleMilliseconds); // the tile stays selected long enough to follow the last change
    return 0;
}

} // namespace HxHost
