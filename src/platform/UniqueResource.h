#pragma once
// Owners of Win32 resources: each closes its resource exactly once, cannot be copied, can be moved,
// and hands ownership back through release(). Every close call of the module stands in this file.

#include <windows.h>
#include <objbase.h>
#include <wincrypt.h>
#include <winsvc.h>
#include <utility>

namespace Corvani::Nuv::Platform {

template <typename Traits> class UniqueResource {
public:
    using value_type = typename Traits::value_type;

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
    explicit operator bool() const noexcept { return _value != Traits::invalid(); }

    value_type release() noexcept { return std::exchange(_value, Traits::invalid()); }

    void reset(value_type value = Traits::invalid()) noexcept {
        value_type old = std::exchange(_value, value);
        if (old != Traits::invalid())
            Traits::close(old);
    }

    // Address for APIs that write a new resource into an out parameter; any current one is closed first.
    value_type* put() noexcept {
        reset();
        return &_value;
    }

private:
    value_type _value = Traits::invalid();
};

struct HandleTraits {
    using value_type = HANDLE;
    static value_type invalid() noexcept { return nullptr; }
    static void close(value_type value) noexcept { ::CloseHandle(value); }
};

// Handles whose failure value is INVALID_HANDLE_VALUE (files, pipes, snapshots).
struct FileHandleTraits {
    using value_type = HANDLE;
    static value_type invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(value_type value) noexcept { ::CloseHandle(value); }
};

struct RegKeyTraits {
    using value_type = HKEY;
    static value_type invalid() noexcept { return nullptr; }
    static void close(value_type value) noexcept { ::RegCloseKey(value); }
};

struct MappedViewTraits {
    using value_type = void*;
    static value_type invalid() noexcept { return nullptr; }
    static void close(value_type value) noexcept { ::UnmapViewOfFile(value); }
};

struct LocalMemoryTraits {
    using value_type = HLOCAL;
    static value_type invalid() noexcept { return nullptr; }
    static void close(value_type value) noexcept { ::LocalFree(value); }
};

struct CoTaskMemoryTraits {
    using value_type = void*;
    static value_type invalid() noexcept { return nullptr; }
    static void close(value_type value) noexcept { ::CoTaskMemFree(value); }
};

struct GdiObjectTraits {
    using value_type = HGDIOBJ;
    static value_type invalid() noexcept { return nullptr; }
    static void close(value_type value) noexcept { ::DeleteObject(value); }
};

struct LibraryTraits {
    using value_type = HMODULE;
    static value_type invalid() noexcept { return nullptr; }
    static void close(value_type value) noexcept { ::FreeLibrary(value); }
};

struct ServiceHandleTraits {
    using value_type = SC_HANDLE;
    static value_type invalid() noexcept { return nullptr; }
    static void close(value_type value) noexcept { ::CloseServiceHandle(value); }
};

struct CertStoreTraits {
    using value_type = HCERTSTORE;
    static value_type invalid() noexcept { return nullptr; }
    static void close(value_type value) noexcept { ::CertCloseStore(value, 0); }
};

struct CertContextTraits {
    using value_type = PCCERT_CONTEXT;
    static value_type invalid() noexcept { return nullptr; }
    static void close(value_type value) noexcept { ::CertFreeCertificateContext(value); }
};

struct CryptMsgTraits {
    using value_type = HCRYPTMSG;
    static value_type invalid() noexcept { return nullptr; }
    static void close(value_type value) noexcept { ::CryptMsgClose(value); }
};

struct ThreadpoolTimerTraits {
    using value_type = PTP_TIMER;
    static value_type invalid() noexcept { return nullptr; }
    // Stops the timer and waits for running callbacks before the timer object goes away.
    static void close(value_type value) noexcept {
        ::SetThreadpoolTimer(value, nullptr, 0, 0);
        ::WaitForThreadpoolTimerCallbacks(value, TRUE);
        ::CloseThreadpoolTimer(value);
    }
};

using UniqueHandle = UniqueResource<HandleTraits>;
using UniqueFileHandle = UniqueResource<FileHandleTraits>;
using UniqueRegKey = UniqueResource<RegKeyTraits>;
using UniqueMappedView = UniqueResource<MappedViewTraits>;
using UniqueLocalMemory = UniqueResource<LocalMemoryTraits>;
using UniqueCoTaskMemory = UniqueResource<CoTaskMemoryTraits>;
using UniqueGdiObject = UniqueResource<GdiObjectTraits>;
using UniqueLibrary = UniqueResource<LibraryTraits>;
using UniqueServiceHandle = UniqueResource<ServiceHandleTraits>;
using UniqueCertStore = UniqueResource<CertStoreTraits>;
using UniqueCertContext = UniqueResource<CertContextTraits>;
using UniqueCryptMsg = UniqueResource<CryptMsgTraits>;
using UniqueThreadpoolTimer = UniqueResource<ThreadpoolTimerTraits>;

// A CoTaskMem-allocated wide text (labels and field texts handed to or kept for LogonUI).
class UniqueCoTaskString {
public:
    UniqueCoTaskString() noexcept = default;
    explicit UniqueCoTaskString(wchar_t* text) noexcept : _memory(text) {}

    wchar_t* get() const noexcept { return static_cast<wchar_t*>(_memory.get()); }
    wchar_t* release() noexcept { return static_cast<wchar_t*>(_memory.release()); }
    void reset(wchar_t* text = nullptr) noexcept { _memory.reset(text); }
    wchar_t** put() noexcept { return reinterpret_cast<wchar_t**>(_memory.put()); }
    explicit operator bool() const noexcept { return static_cast<bool>(_memory); }

private:
    UniqueCoTaskMemory _memory;
};

} // namespace Corvani::Nuv::Platform
