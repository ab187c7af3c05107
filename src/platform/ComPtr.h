#pragma once
// Owner of one COM interface reference: releases it once, cannot be copied, can be moved.

#include <unknwn.h>
#include <utility>

namespace Corvani::Nuv::Platform {

template <typename T> class ComPtr {
public:
    ComPtr() noexcept = default;
    ~ComPtr() { reset(); }

    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : _ptr(other.release()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            _ptr = other.release();
        }
        return *this;
    }

    // Takes a new reference to an interface that the caller keeps owning.
    static ComPtr share(T* ptr) noexcept {
        ComPtr result;
        result._ptr = ptr;
        if (ptr)
            ptr->AddRef();
        return result;
    }

    // Takes over a reference that the caller already holds.
    static ComPtr attach(T* ptr) noexcept {
        ComPtr result;
        result._ptr = ptr;
        return result;
    }

    T* get() const noexcept { return _ptr; }
    T* operator->() const noexcept { return _ptr; }
    explicit operator bool() const noexcept { return _ptr != nullptr; }

    T* release() noexcept { return std::exchange(_ptr, nullptr); }
    void reset() noexcept {
        if (T* old = std::exchange(_ptr, nullptr))
            old->Release();
    }
    T** put() noexcept {
        reset();
        return &_ptr;
    }
    void** putVoid() noexcept { return reinterpret_cast<void**>(put()); }

private:
    T* _ptr = nullptr;
};

} // namespace Corvani::Nuv::Platform
