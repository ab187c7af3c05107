#include "ipc/SynchronousIoDeadline.h"

namespace Corvani::Nuv::IPC {

namespace {

constexpr DWORD kRepeatMilliseconds = 20;

// A relative due time for SetThreadpoolTimer: negative, in 100-nanosecond units.
FILETIME RelativeDueTime(DWORD milliseconds) {
    ULARGE_INTEGER due;
    due.QuadPart = static_cast<ULONGLONG>(-static_cast<LONGLONG>(milliseconds) * 10000);
    return FILETIME{due.LowPart, due.HighPart};
}

class ExclusiveLock {
public:
    explicit ExclusiveLock(SRWLOCK& lock) : _lock(lock) { AcquireSRWLockExclusive(&_lock); }
    ~ExclusiveLock() { ReleaseSRWLockExclusive(&_lock); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    SRWLOCK& _lock;
};

} // namespace

SynchronousIoDeadline::SynchronousIoDeadline(DWORD milliseconds) : _threadId(GetCurrentThreadId()) {
    _timer.reset(CreateThreadpoolTimer(&SynchronousIoDeadline::OnTimer, this, nullptr));
    if (!_timer)
        return;
    FILETIME due = RelativeDueTime(milliseconds);
    SetThreadpoolTimer(_timer.get(), &due, kRepeatMilliseconds, 0);
}

SynchronousIoDeadline::~SynchronousIoDeadline() {
    // After this no callback cancels anything; the timer member then stops and drains the callbacks.
    ExclusiveLock guard(_lock);
    _finished = true;
}

bool SynchronousIoDeadline::HasExpired() {
    ExclusiveLock guard(_lock);
    return _expired;
}

void CALLBACK SynchronousIoDeadline::OnTimer(PTP_CALLBACK_INSTANCE, PVOID context, PTP_TIMER) {
    static_cast<SynchronousIoDeadline*>(context)->CancelPendingIo();
}

void SynchronousIoDeadline::CancelPendingIo() {
    ExclusiveLock guard(_lock);
    if (_finished)
        return;
    _expired = true;
    // Opened here rather than up front: most exchanges end long before their deadline.
    const Platform::UniqueHandle thread(OpenThread(THREAD_TERMINATE, FALSE, _threadId));
    if (thread)
        CancelSynchronousIo(thread.get());
}

} // namespace Corvani::Nuv::IPC
