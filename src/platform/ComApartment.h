#pragma once
// A worker thread that calls COM says which apartment it is in: this object enters the multithreaded
// apartment for the thread's life and leaves it at the end. LogonUI gives no guarantee that any other
// thread of the process keeps the apartment alive.

#include <objbase.h>

namespace Corvani::Nuv::Platform {

class ScopedMultithreadedApartment {
public:
    ScopedMultithreadedApartment() noexcept : _result(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ScopedMultithreadedApartment() {
        if (SUCCEEDED(_result))
            CoUninitialize();
    }
    ScopedMultithreadedApartment(const ScopedMultithreadedApartment&) = delete;
    ScopedMultithreadedApartment& operator=(const ScopedMultithreadedApartment&) = delete;

    // S_OK or S_FALSE when the thread is in the apartment; RPC_E_CHANGED_MODE when it was in another.
    HRESULT Result() const noexcept { return _result; }

private:
    HRESULT _result;
};

} // namespace Corvani::Nuv::Platform
