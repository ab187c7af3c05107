#pragma once
// No exception crosses a COM method: a failed allocation inside becomes E_OUTOFMEMORY, anything else
// E_UNEXPECTED.

#include <new>
#include <windows.h>

namespace Corvani::Nuv::Platform {

template <typename Body> HRESULT ComBoundary(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace Corvani::Nuv::Platform
