#pragma once
// Prints each event that the pipe server delivers and counts them.

#include "ipc/IObserver.h"
#include "platform/UniqueResource.h"

#include <atomic>
#include <windows.h>

class DemoObserver : public IObserver {
public:
    DemoObserver();
    void processEvent(CPEvent* event) override;

    // Waits until `count` events have arrived; false after `milliseconds` without them.
    bool WaitForEvents(long count, DWORD milliseconds);

private:
    std::atomic<long> _received{0};
    Corvani::Nuv::Platform::UniqueHandle _arrived;
};
