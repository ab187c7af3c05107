#pragma once
// A multithreaded apartment for the life of the object, as LogonUI provides one, kept by a thread of its
// own. Threads of the process that never initialise COM (the provider's worker threads) join it
// implicitly while it lives. Used by the host, the tests and the benchmarks.

#include "platform/UniqueResource.h"

#include <atomic>
#include <objbase.h>

namespace HxTools {

class MultithreadedApartment {
public:
    MultithreadedApartment()
        : _stop(CreateEventW(nullptr, TRUE, FALSE, nullptr)), _ready(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          _thread(CreateThread(nullptr, 0, Run, this, 0, nullptr)) {
        if (_thread)
            WaitForSingleObject(_ready.get(), 5000);
    }
    ~MultithreadedApartment() {
        SetEvent(_stop.get());
        if (_thread)
            WaitForSingleObject(_thread.get(), 5000);
    }
    MultithreadedApartment(const MultithreadedApartment&) = delete;
    MultithreadedApartment& operator=(const MultithreadedApartment&) = delete;

    // Whether the apartment's thread has entered it.
    bool Ready() const { return _entered; }

private:
    static DWORD WINAPI Run(LPVOID parameter) {
        auto* self = static_cast<MultithreadedApartment*>(parameter);
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        self->_entered = SUCCEEDED(hr);
        SetEvent(self->_ready.get());
        WaitForSingleObject(self->_stop.get(), INFINITE);
        if (SUCCEEDED(hr))
            CoUninitialize();
        return 0;
    }

    // Before the handles: initialised before the thread that sets it starts.
    std::atomic<bool> _entered{false};
    Corvani::Nuv::Platform::UniqueHandle _stop, _ready, _thread;
};

} // namespace HxTools
