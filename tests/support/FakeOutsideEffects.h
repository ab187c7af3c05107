#pragma once
// Fakes for the calls with effects outside the process: each installs itself for its scope and records
// what the code under test asked for, so that no test disconnects a session, ends a process it did not
// start, presses a key on the developer's desktop or raises its own priority.

#include "platform/CriticalSection.h"
#include "platform/OutsideEffects.h"

#include <chrono>
#include <string>
#include <vector>

namespace HxTest {

class FakeSessionControl final : public Corvani::Nuv::Platform::ScopedFake<Corvani::Nuv::Platform::SessionControl> {
public:
    BOOL DisconnectCurrentSession() override {
        InterlockedIncrement(&disconnects);
        return TRUE;
    }
    volatile LONG disconnects = 0;
};

class FakeProcessTermination final
    : public Corvani::Nuv::Platform::ScopedFake<Corvani::Nuv::Platform::ProcessTermination> {
public:
    struct Call {
        std::wstring imageName;
        UINT exitCode;
    };
    void TerminateByImageName(const wchar_t* imageName, UINT exitCode) override {
        Corvani::Nuv::Platform::CriticalSectionLock lock(_lock);
        calls.push_back({imageName, exitCode});
    }
    std::vector<Call> calls;

private:
    Corvani::Nuv::Platform::CriticalSection _lock;
};

class FakePriorityControl final : public Corvani::Nuv::Platform::ScopedFake<Corvani::Nuv::Platform::PriorityControl> {
public:
    BOOL SetProcessPriorityClass(HANDLE, DWORD priorityClass) override {
        classes.push_back(priorityClass);
        return result;
    }
    BOOL result = TRUE;
    std::vector<DWORD> classes;
};

class FakeKeyboardInput final : public Corvani::Nuv::Platform::ScopedFake<Corvani::Nuv::Platform::KeyboardInput> {
public:
    struct Press {
        INPUT input;
        long long milliseconds; // steady clock, finer than the tick count
    };
    UINT Send(const INPUT& input) override {
        Corvani::Nuv::Platform::CriticalSectionLock lock(_lock);
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        sent.push_back({input, std::chrono::duration_cast<std::chrono::milliseconds>(now).count()});
        return 1;
    }
    std::vector<Press> Sent() {
        Corvani::Nuv::Platform::CriticalSectionLock lock(_lock);
        return sent;
    }

private:
    Corvani::Nuv::Platform::CriticalSection _lock;
    std::vector<Press> sent;
};

// The real call, for the few tests whose effect is the real one (the processes of a name ended): it stands
// in front of the run's fake for its scope.
template <typename Calls> class ScopedRealCalls final : public Corvani::Nuv::Platform::ScopedFake<Calls> {};

using RealProcessTermination = ScopedRealCalls<Corvani::Nuv::Platform::ProcessTermination>;

// Every call with an effect outside the process faked for a whole test run; a test that looks at one of
// them installs a fake of its own over it.
struct RunWideFakes {
    FakeSessionControl session;
    FakeProcessTermination processes;
    FakePriorityControl priority;
    FakeKeyboardInput keyboard;
};

} // namespace HxTest
