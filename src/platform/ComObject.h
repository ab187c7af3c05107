#pragma once
// IUnknown written once: QueryInterface over the interfaces a class lists, an interlocked reference
// count and the delete. The class derives from ComObject<Class, Interface...>, which derives from the
// interfaces themselves and adds no vtable of its own, so the object starts with the first interface's
// vtable exactly as a hand-written class would; bases that are not COM interfaces follow it.

#include <atomic>
#include <shlwapi.h>
#include <unknwn.h>

namespace Corvani::Nuv::Platform {

template <typename Derived, typename First, typename... Rest> class ComObject : public First, public Rest... {
public:
    // QISearch over a table of the listed interfaces; IUnknown answers with the first of them.
    IFACEMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        static const QITAB table[] = {
            {&__uuidof(First), OFFSETOFCLASS(First, Derived)},
            {&__uuidof(Rest), OFFSETOFCLASS(Rest, Derived)}...,
            {nullptr, 0},
        };
        return QISearch(static_cast<Derived*>(this), table, riid, ppv);
    }

    IFACEMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++_refCount); }

    // The last release destroys the object through its own class, so no virtual destructor is needed.
    IFACEMETHODIMP_(ULONG) Release() override {
        const LONG count = --_refCount;
        if (count == 0)
            delete static_cast<Derived*>(this);
        return static_cast<ULONG>(count);
    }

    // Takes a reference only while the object is alive: never once the last release has begun to
    // destroy it. For a holder of a plain pointer that the object clears in its destructor.
    bool TryAddRef() noexcept {
        LONG count = _refCount.load();
        while (count > 0)
            if (_refCount.compare_exchange_weak(count, count + 1))
                return true;
        return false;
    }

    // The current count, for tests and traces; it may change at once on another thread.
    LONG RefCount() const noexcept { return _refCount.load(); }

protected:
    ComObject() = default;
    ~ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

private:
    std::atomic<LONG> _refCount{1};
};

} // namespace Corvani::Nuv::Platform
