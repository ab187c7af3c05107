#pragma once
// One way to start a worker: a detached thread whose routine runs inside a boundary that lets nothing
// out, with the flag that says the work is in flight set before the thread exists.

#include "platform/UniqueResource.h"

#include <atomic>
#include <windows.h>

namespace Corvani::Nuv::Platform {

// The body of a thread routine. Nothing leaves it; when something tries, `inFlight` (if given) is
// cleared, because the body can no longer clear it itself. A body that ends normally clears its flag
// at the moment its own steps say.
template <typename Body> void ThreadBoundary(std::atomic<bool>* inFlight, Body&& body) noexcept {
    try {
        body();
    } catch (...) {
        if (inFlight)
            *inFlight = false;
    }
}

// Starts routine(parameter) on a detached thread. `inFlight`, when given, is set before the thread
// exists and cleared again when the thread cannot be created. The handle is returned for a caller that
// still has something to do with the thread (its priority); dropping it closes the handle, and the
// thread runs on by itself.
UniqueHandle StartWorker(LPTHREAD_START_ROUTINE routine, void* parameter, std::atomic<bool>* inFlight = nullptr);

} // namespace Corvani::Nuv::Platform
