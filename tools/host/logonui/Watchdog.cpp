#include "logonui/Watchdog.h"

#include <atomic>
#include <cstdio>
#include <cwchar>

namespace HxHost {

namespace {

constexpr DWORD kHangExitCode = 4;
constexpr DWORD kCrashExitCode = 5;
// The one the unhandled-exception filter tells: the filter is a plain function, handed no context.
std::atomic<Watchdog*> g_watchdog{nullptr};

// "module+0xoffset" for an address inside a loaded module, the address alone otherwise.
std::wstring Where(const void* address) {
    HMODULE module = nullptr;
    wchar_t text[MAX_PATH + 32] = {};
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCWSTR>(address), &module)) {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(module, path, MAX_PATH);
        const wchar_t* name = wcsrchr(path, L'\\') ? wcsrchr(path, L'\\') + 1 : path;
        swprintf(text, ARRAYSIZE(text), L"%ls+0x%llx", name,
                 static_cast<unsigned long long>(static_cast<const BYTE*>(address) - reinterpret_cast<BYTE*>(module)));
    } else {
        swprintf(text, ARRAYSIZE(text), L"%p", address);
    }
    return text;
}

} // namespace

Watchdog::Watchdog(DWORD boundMilliseconds, Road& road)
    : _bound(boundMilliseconds), _road(road), _stop(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      _thread(CreateThread(nullptr, 0, Watch, this, 0, nullptr)) {
    g_watchdog = this;
    SetUnhandledExceptionFilter(OnUnhandledException);
}

Watchdog::~Watchdog() {
    SetEvent(_stop.get());
    WaitForSingleObject(_thread.get(), 5000);
    g_watchdog = nullptr;
}

void Watchdog::Enter(const wchar_t* name) {
    std::lock_guard<std::mutex> guard(_lock);
    _call = name;
    _callThread = GetCurrentThreadId();
    _since = GetTickCount64();
}

void Watchdog::Leave() {
    std::lock_guard<std::mutex> guard(_lock);
    _call.clear();
}

DWORD WINAPI Watchdog::Watch(LPVOID self) {
    auto* watchdog = static_cast<Watchdog*>(self);
    while (WaitForSingleObject(watchdog->_stop.get(), 50) == WAIT_TIMEOUT) {
        std::unique_lock<std::mutex> guard(watchdog->_lock);
        if (watchdog->_call.empty() || GetTickCount64() - watchdog->_since < watchdog->_bound)
            continue;
        guard.unlock();
        watchdog->Fail(L"the call to return within " + std::to_wstring(watchdog->_bound) + L" ms",
                       L"the provider has not returned after " + std::to_wstring(watchdog->_bound) +
                           L" ms (it hangs in this call)");
    }
    return 0;
}

LONG WINAPI Watchdog::OnUnhandledException(EXCEPTION_POINTERS* exception) {
    if (Watchdog* watchdog = g_watchdog)
        watchdog->OnCrash(*exception->ExceptionRecord);
    return EXCEPTION_CONTINUE_SEARCH;
}

// "the provider crashed in GetCredentialAt: exception 0xC0000005 at Provider.dll+0x1a2b", or "on a thread
// of its own" when the exception is not on the thread of the host's call.
void Watchdog::OnCrash(const EXCEPTION_RECORD& record) {
    std::wstring where;
    {
        std::lock_guard<std::mutex> guard(_lock);
        where = _call.empty() ? L"on a thread of its own"
                : _callThread == GetCurrentThreadId() ? L"in " + _call
                                                      : L"on a thread of its own (during " + _call + L")";
    }
    wchar_t code[16];
    swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(record.ExceptionCode));
    Fail(L"the call to return without an exception",
         L"the provider crashed " + where + L": exception " + code + L" at " + Where(record.ExceptionAddress));
}

// Ends the process at once: the provider's thread cannot be stopped, and an orderly exit would run the
// provider's own teardown, which may hang or crash in turn.
void Watchdog::Fail(const std::wstring& expected, const std::wstring& happened) {
    std::wstring call;
    {
        std::lock_guard<std::mutex> guard(_lock);
        call = _call.empty() ? L"(no call of the host: a thread of the provider)" : _call;
    }
    _road.FailAtOnce(call, expected, happened);
    fflush(stdout);
    TerminateProcess(GetCurrentProcess(), happened.find(L"crashed") == std::wstring::npos ? kHangExitCode
                                                                                         : kCrashExitCode);
    for (;;)
        Sleep(INFINITE);
}

} // namespace HxHost
