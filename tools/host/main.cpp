// LogonUI stand-in: creates the registered provider through COM and prints what LogonUI would show.

#include "Console.h"
#include "HostOptions.h"
#include "HostSession.h"
#include "platform/UniqueResource.h"

#include <objbase.h>

namespace {

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

// The window handed to the credential through OnCreatingWindow, as LogonUI hands its own.
HWND CreateHostWindow() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"HxHostWindow";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, windowClass.lpszClassName, L"LogonUI stand-in", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                           nullptr, nullptr, windowClass.hInstance, nullptr);
}

// LogonUI keeps a multithreaded apartment alive on a thread of its own; the provider's worker threads,
// which never initialise COM themselves, join it implicitly when they create COM objects.
class MultithreadedApartment {
public:
    MultithreadedApartment()
        : _stop(CreateEventW(nullptr, TRUE, FALSE, nullptr)), _ready(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          _thread(CreateThread(nullptr, 0, Run, this, 0, nullptr)) {
        if (_thread)
            WaitForSingleObject(_ready.get(), 5000);
    }
    ~MultithreadedApartment() {
        SetEvent(_stop.get());
        if (_thread)
            WaitForSingleObject(_thread.get(), 5000);
    }

private:
    static DWORD WINAPI Run(LPVOID parameter) {
        auto* self = static_cast<MultithreadedApartment*>(parameter);
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        SetEvent(self->_ready.get());
        WaitForSingleObject(self->_stop.get(), INFINITE);
        if (SUCCEEDED(hr))
            CoUninitialize();
        return 0;
    }

    Corvani::Nuv::Platform::UniqueHandle _stop, _ready, _thread;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    const HxHost::HostOptions options = HxHost::ParseHostOptions(argc, argv);
    if (!options.valid) {
        HxHost::PrintUsage();
        return 2;
    }
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(hr)) {
        HxHost::PrintLine(L"CoInitializeEx -> " + HxHost::Hex(hr));
        return 1;
    }
    int exitCode = 0;
    {
        MultithreadedApartment apartment;
        HxHost::HostSession session(options, CreateHostWindow());
        exitCode = session.Run();
    }
    CoUninitialize();
    return exitCode;
}
