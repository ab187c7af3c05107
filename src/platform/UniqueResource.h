#pragma once
// Owners of Win32 resources: each closes its resource exactly once, cannot be copied, can be moved,
// and hands ownership back through release(). Most resources are "null is empty, one function closes
// it" and are declared in one line over NullPolicy; a resource with another empty value or a close
// call that needs more than the value has a policy of its own. Every close call of the module stands
// in this file, in TrustHandles.h or in OleAutomationOwners.h.

#include <windows.h>
#include <objbase.h>
#include <wincrypt.h>
#include <winsvc.h>
#include <tuple> // std::ignore, for the deliberate leaks of release()
#include <utility>

namespace Corvani::Nuv::Platform {

template <typename Policy> class UniqueResource {
public:
    using value_type = typename Policy::value_type;

    UniqueResource() noexcept = default;
    explicit UniqueResource(value_type value) noexcept : _value(value) {}
    ~UniqueResource() { reset(); }

    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : _value(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    value_type get() const noexcept { return _value; }
    explicit operator bool() const noexcept { return _value != Policy::empty(); }

    // The caller takes over the resource; a deliberate leak says so where it drops the result.
    [[nodiscard]] value_type release() noexcept { return std::exchange(_value, Policy::empty()); }

    void reset(value_type value = Policy::empty()) noexcept {
        value_type old = std::exchange(_value, value);
        if (old != Policy::empty())
            Policy::close(old);
    }

    // Address for APIs that write a new resource into an out parameter; any current one is closed first.
    value_type* put() noexcept {
        reset();
        return &_value;
    }

private:
    value_type _value = Policy::empty();
};

// Null is empty and Close(value) closes it; Close's result, if any, is not looked at.
template <typename T, auto Close> struct NullPolicy {
    using value_type = T;
    static constexpr value_type empty() noexcept { return nullptr; }
    static void close(value_type value) noexcept { Close(value); }
};

template <typename T, auto Close> using UniqueNull = UniqueResource<NullPolicy<T, Close>>;

// Handles whose failure value is INVALID_HANDLE_VALUE (files, pipes, snapshots, file searches).
template <auto Close> struct InvalidHandlePolicy {
    using value_type = HANDLE;
    static value_type empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(value_type value) noexcept { Close(value); }
};

inline void CloseCertStore(HCERTSTORE store) noexcept { ::CertCloseStore(store, 0); }

// Stops the timer and waits for running callbacks before the timer object goes away.
inline void CloseThreadpoolTimerAndWait(PTP_TIMER timer) noexcept {
    ::SetThreadpoolTimer(timer, nullptr, 0, 0);
    ::WaitForThreadpoolTimerCallbacks(timer, TRUE);
    ::CloseThreadpoolTimer(timer);
}

using UniqueHandle = UniqueNull<HANDLE, ::CloseHandle>;
using UniqueFileHandle = UniqueResource<InvalidHandlePolicy<::CloseHandle>>;
using UniqueFindHandle = UniqueResource<InvalidHandlePolicy<::FindClose>>;
using UniqueRegKey = UniqueNull<HKEY, ::RegCloseKey>;
using UniqueMappedView = UniqueNull<void*, ::UnmapViewOfFile>;
using UniqueLocalMemory = UniqueNull<HLOCAL, ::LocalFree>;
using UniqueCoTaskMemory = UniqueNull<void*, ::CoTaskMemFree>;
using UniqueGdiObject = UniqueNull<HGDIOBJ, ::DeleteObject>;
using UniqueBitmap = UniqueNull<HBITMAP, ::DeleteObject>;
using UniqueBrush = UniqueNull<HBRUSH, ::DeleteObject>;
using UniqueFont = UniqueNull<HFONT, ::DeleteObject>;
using UniqueMemoryDC = UniqueNull<HDC, ::DeleteDC>;
using UniqueLibrary = UniqueNull<HMODULE, ::FreeLibrary>;
using UniqueServiceHandle = UniqueNull<SC_HANDLE, ::CloseServiceHandle>;
using UniqueCertStore = UniqueNull<HCERTSTORE, CloseCertStore>;
using UniqueCertContext = UniqueNull<PCCERT_CONTEXT, ::CertFreeCertificateContext>;
using UniqueCryptMsg = UniqueNull<HCRYPTMSG, ::CryptMsgClose>;
using UniqueThreadpoolTimer = UniqueNull<PTP_TIMER, CloseThreadpoolTimerAndWait>;

// The device context of a window between GetDC and ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND window) noexcept : _window(window), _dc(::GetDC(window)) {}
    ~WindowDC() {
        if (_dc)
            ::ReleaseDC(_window, _dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const noexcept { return _dc; }

private:
    HWND _window;
    HDC _dc;
};

// One WM_PAINT between BeginPaint and EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND window) noexcept : _window(window), _dc(::BeginPaint(window, &_paint)) {}
    ~PaintScope() { ::EndPaint(_window, &_paint); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const noexcept { return _dc; }

private:
    HWND _window;
    PAINTSTRUCT _paint = {};
    HDC _dc;
};

// An object selected into a device context; the previous selection comes back at the end of the scope, so
// that the owner of the object can delete it afterwards.
class ScopedSelection {
public:
    ScopedSelection(HDC dc, HGDIOBJ object) noexcept : _dc(dc), _previous(::SelectObject(dc, object)) {}
    ~ScopedSelection() {
        if (_previous && _previous != HGDI_ERROR)
            ::SelectObject(_dc, _previous);
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

private:
    HDC _dc;
    HGDIOBJ _previous;
};

// A CoTaskMem-allocated wide text (labels and field texts handed to or kept for LogonUI).
class UniqueCoTaskString {
public:
    UniqueCoTaskString() noexcept = default;
    explicit UniqueCoTaskString(wchar_t* text) noexcept : _memory(text) {}

    wchar_t* get() const noexcept { return static_cast<wchar_t*>(_memory.get()); }
    [[nodiscard]] wchar_t* release() noexcept { return static_cast<wchar_t*>(_memory.release()); }
    void reset(wchar_t* text = nullptr) noexcept { _memory.reset(text); }
    wchar_t** put() noexcept { return reinterpret_cast<wchar_t**>(_memory.put()); }
    explicit operator bool() const noexcept { return static_cast<bool>(_memory); }

private:
    UniqueCoTaskMemory _memory;
};

} // namespace Corvani::Nuv::Platform
