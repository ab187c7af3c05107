#pragma once
// Test helper: a multithreaded apartment for the life of the object, as LogonUI provides one, kept by a thread
// of its own. Threads of the process that never initialise COM join it implicitly while it lives.

#include "platform/UniqueResource.h"

#include <atomic>

namespace HxTest {

class MultithreadedApartment {
public:
    MultithreadedApartment();
    ~MultithreadedApartment();
    MultithreadedApartment(const MultithreadedApartment&) = delete;
    MultithreadedApartment& operator=(const MultithreadedApartment&) = delete;

    // Whether the apartment's thread has entered it.
    bool Ready() const { return _entered; }

private:
    static DWORD WINAPI Run(LPVOID self);

    // Before the handles: initialised before the thread that sets it starts.
    std::atomic<bool> _entered{false};
    Corvani::Nuv::Platform::UniqueHandle _stop, _ready, _thread;
};

} // namespace HxTest
