#pragma once
// A critical section that is initialised on construction and deleted on destruction, with a scoped lock.

#include <windows.h>

namespace Corvani::Nuv::Platform {

class CriticalSection {
public:
    CriticalSection() noexcept { InitializeCriticalSection(&_section); }
    ~CriticalSection() { DeleteCriticalSection(&_section); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter() noexcept { EnterCriticalSection(&_section); }
    void Leave() noexcept { LeaveCriticalSection(&_section); }

private:
    CRITICAL_SECTION _section;
};

class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CriticalSection& section) noexcept : _section(section) { _section.Enter(); }
    ~CriticalSectionLock() { _section.Leave(); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
    CriticalSection& _section;
};

} // namespace Corvani::Nuv::Platform
