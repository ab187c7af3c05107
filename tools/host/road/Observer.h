#pragma once
// What a person at the machine would see besides LogonUI's calls, watched on a thread of its own every
// 20 ms: the product service running, the splash window up and down (photographed once when asked),
// and LastLoggedOnProvider naming a provider, which is how the disconnect of a locked session shows.

#include "platform/UniqueResource.h"
#include "road/Timeline.h"

#include <windows.h>

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace HxHost {

class Observer {
public:
    Observer(Timeline& timeline, std::wstring splashPicture);
    ~Observer();
    Observer(const Observer&) = delete;
    Observer& operator=(const Observer&) = delete;

    void Start();
    // The provider LastLoggedOnProvider named when it changed since Start; empty while it has not.
    std::wstring rememberedProvider() const;
    // Whether the splash window was seen up at that tick, and whether it was ever seen up.
    bool SplashUpAt(ULONGLONG tick) const;
    bool SplashSeen() const;

private:
    static DWORD WINAPI Watch(LPVOID self);
    void Look();
    void LookAtService();
    void LookAtSplash();
    void LookAtLastProvider();

    Timeline& _timeline;
    const std::wstring _splashPicture;
    std::wstring _providerAtStart;
    mutable std::mutex _lock;
    std::wstring _remembered;
    bool _serviceSeen = false;
    bool _firstLook = true;
    bool _splashUp = false;
    std::vector<std::pair<ULONGLONG, bool>> _splashChanges; // under _lock
    ULONGLONG _splashSince = 0;
    bool _splashPhotographed = false;
    Corvani::Nuv::Platform::UniqueHandle _stop;
    Corvani::Nuv::Platform::UniqueHandle _thread;
};

// LastLoggedOnProvider of LogonUI's key, empty when absent.
std::wstring LastLoggedOnProvider();

} // namespace HxHost
