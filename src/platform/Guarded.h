#pragma once
// A value that several threads read and one writes at a time: every read is a copy taken under the
// lock, so no reader ever sees a value while it is being replaced.

#include <tuple>
#include <utility>
#include <windows.h>

namespace Corvani::Nuv::Platform {

template <typename T> class Guarded {
public:
    Guarded() = default;
    Guarded(const Guarded&) = delete;
    Guarded& operator=(const Guarded&) = delete;

    T Get() const {
        AcquireSRWLockShared(&_lock);
        struct Unlock {
            SRWLOCK* lock;
            ~Unlock() { ReleaseSRWLockShared(lock); }
        } unlock{&_lock};
        return _value;
    }

    // The previous value is handed back, destroyed outside the lock by the caller.
    T Exchange(T value) {
        AcquireSRWLockExclusive(&_lock);
        std::swap(_value, value);
        ReleaseSRWLockExclusive(&_lock);
        return value;
    }

    void Set(T value) { std::ignore = Exchange(std::move(value)); }

private:
    mutable SRWLOCK _lock = SRWLOCK_INIT;
    T _value{};
};

} // namespace Corvani::Nuv::Platform
