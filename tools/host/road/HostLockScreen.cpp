#include "road/HostLockScreen.h"

#include "LockScreenScript.h"

namespace HxHost {

namespace {

constexpr DWORD kSettleMilliseconds = 1500;

} // namespace

void LockScreenPlayer::Set(HxLockScreen::Desktop desktop, const wchar_t* story) {
    HxLockScreen::SetDesktop(desktop);
    _timeline.Mark(story);
}

LockScreenPlayer::LockScreenPlayer(const LockScreenScript& script, Timeline& timeline)
    : _script(script), _timeline(timeline) {
    if (_script.upAtStart)
        Set(HxLockScreen::Desktop::LockScreenPage, L"lock screen up");
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
    WaitForSingleObject(_thread.get(), 60000);
    _thread.reset();
}

void LockScreenPlayer::Start() {
    if (_script.dismissAfter != 0)
        _thread.reset(CreateThread(nullptr, 0, Play, this, 0, nullptr));
}

DWORD WINAPI LockScreenPlayer::Play(LPVOID parameter) {
    auto* player = static_cast<LockScreenPlayer*>(parameter);
    const LockScreenScript& script = player->_script;
    Sleep(script.dismissAfter);
    player->Set(HxLockScreen::Desktop::SignInScreen, L"lock screen dismissed");
    if (script.backAfter == 0)
        return 0;
    Sleep(script.backAfter);
    player->Set(HxLockScreen::Desktop::LockScreenPage, L"lock screen back (nobody touched the machine)");
    if (script.dismissAgainAfter == 0)
        return 0;
    Sleep(script.dismissAgainAfter);
    player->Set(HxLockScreen::Desktop::SignInScreen, L"lock screen dismissed again");
    Sleep(kSettleMilliseconds); // the tile stays selected long enough to follow the last change
    return 0;
}

} // namespace HxHost
