#pragma once
// The host's lock screen, scripted on the lock-screen stand-in: up when the host starts, dismissed after
// a delay, and brought back after another, as a user who walks away and comes back.

#include "LockScreenScript.h"
#include "platform/UniqueResource.h"
#include "road/Timeline.h"

#include <windows.h>

namespace HxHost {

struct LockScreenScript {
    bool upAtStart = false;
    DWORD dismissAfter = 0;   // ms after the tile is selected; 0: never
    DWORD backAfter = 0;      // ms after the dismissal; 0: never
    DWORD dismissAgainAfter = 0; // ms after it came back; 0: never
};

// Plays the script on a thread of its own from the moment Start is called.
class LockScreenPlayer {
public:
    LockScreenPlayer(const LockScreenScript& script, Timeline& timeline);
    ~LockScreenPlayer();
    LockScreenPlayer(const LockScreenPlayer&) = delete;
    LockScreenPlayer& operator=(const LockScreenPlayer&) = delete;

    void Start();
    // Waits (bounded) until the script has been played to its end.
    void Finish();

private:
    static DWORD WINAPI Play(LPVOID self);
    void Set(HxLockScreen::Desktop desktop, const wchar_t* story);

    LockScreenScript _script;
    Timeline& _timeline;
    Corvani::Nuv::Platform::UniqueHandle _thread;
};

} // namespace HxHost
