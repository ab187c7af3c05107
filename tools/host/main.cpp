// LogonUI stand-in: creates a registered credential provider through COM and prints what LogonUI would show.

#include "Console.h"
#include "HostOptions.h"
#include "HostSession.h"
#include "common/MultithreadedApartment.h"

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

} // namespace

int wmain(int argc, wchar_t** argv) {
    const HxHost::HostOptions options = HxHost::ParseHostOptions(argc, argv);
    if (!options.valid) {
        HxHost::PrintUsage();
        return 2;
    }
    HxHost::SetVerbose(options.verbose);
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(hr)) {
        HxHost::PrintLine(L"CoInitializeEx -> " + HxHost::Hex(hr));
        return 1;
    }
    int exitCode = 0;
    {
        // LogonUI keeps a multithreaded apartment alive on a thread of its own; the provider's worker
        // threads, which never initialise COM themselves, join it implicitly.
        HxTools::MultithreadedApartment apartment;
        HxHost::HostSession session(options, CreateHostWindow());
        exitCode = session.Run();
    }
    CoUninitialize();
    return exitCode;
}
