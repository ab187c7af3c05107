#pragma once
// The provider's calls under a watchdog, as the host must never hang or die with the provider it drives:
// a call that has not returned within the bound, or one that raises an exception nobody handles, ends
// the host with a verdict naming the call.

#include "logonui/Road.h"
#include "platform/UniqueResource.h"

#include <windows.h>

#include <mutex>
#include <string>

namespace HxHost {

class Watchdog {
public:
    // The road prints the story so far and the failed verdict (on the watchdog's thread, or on the one that
    // crashed) before the host ends.
    Watchdog(DWORD boundMilliseconds, Road& road);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // Runs one call of the provider, named as the verdict should name it.
    template <typename Call> auto Run(const wchar_t* name, Call&& call) {
        Enter(name);
        auto result = call();
        Leave();
        return result;
    }

private:
    void Enter(const wchar_t* name);
    void Leave();
    static DWORD WINAPI Watch(LPVOID self);
    static LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception);
    void OnCrash(const EXCEPTION_RECORD& record);
    [[noreturn]] void Fail(const std::wstring& expected, const std::wstring& happened);

    const DWORD _bound;
    Road& _road;
    std::mutex _lock;
    std::wstring _call; // empty: no call in progress
    DWORD _callThread = 0;
    ULONGLONG _since = 0;
    Corvani::Nuv::Platform::UniqueHandle _stop;
    Corvani::Nuv::Platform::UniqueHandle _thread;
};

} // namespace HxHost
