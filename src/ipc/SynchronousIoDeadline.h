#pragma once
// Bounds the synchronous I/O of the calling thread: once the deadline has passed, the thread's pending
// synchronous I/O is cancelled (and cancelled again every few milliseconds, in case the deadline fell
// between two calls) until the object is destroyed. Only the I/O that the object's scope is meant to
// bound may run inside that scope.

#include "platform/UniqueResource.h"

#include <windows.h>

namespace Corvani::Nuv::IPC {

class SynchronousIoDeadline {
public:
    explicit SynchronousIoDeadline(DWORD milliseconds);
    ~SynchronousIoDeadline();
    SynchronousIoDeadline(const SynchronousIoDeadline&) = delete;
    SynchronousIoDeadline& operator=(const SynchronousIoDeadline&) = delete;

    // False when the timer could not be set up; the I/O is then not bounded.
    bool IsArmed() const { return static_cast<bool>(_timer); }

    // True once the deadline has passed and cancellation began.
    bool HasExpired();

private:
    static void CALLBACK OnTimer(PTP_CALLBACK_INSTANCE instance, PVOID context, PTP_TIMER timer);
    void CancelPendingIo();

    SRWLOCK _lock = SRWLOCK_INIT;
    bool _expired = false;
    bool _finished = false;
    // The thread whose I/O is bounded. Its handle is opened only once the deadline has passed: until the
    // object is destroyed the thread is inside its scope, so the id cannot name another thread.
    DWORD _threadId = 0;
    // Last member: it is stopped, and its callbacks waited for, before the members above go away.
    Platform::UniqueThreadpoolTimer _timer;
};

} // namespace Corvani::Nuv::IPC
