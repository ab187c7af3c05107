// LogonUI stand-in: creates a registered credential provider through COM and prints what LogonUI would show.

#include "Console.h"
#include "HostOptions.h"
#include "common/ProcessFootprint.h"
#include "logonui/HostSession.h"
#include "logonui/ProviderThreads.h"
#include "road/RoadJudge.h"

#include <objbase.h>
#include <string>

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

// An earlier instance's threads are given this long to end after its release: the supervision notices a
// deselection within a poll of a second.
constexpr DWORD kEarlierThreadsPatience = 5000;

HMODULE ProviderModule(const HxHost::HostOptions& options) {
    wchar_t clsid[64] = {};
    StringFromGUID2(options.clsid, clsid, 64);
    wchar_t path[MAX_PATH] = {};
    LONG bytes = sizeof(path);
    if (RegQueryValueW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + clsid + L"\\InprocServer32").c_str(), path,
                       &bytes) != ERROR_SUCCESS)
        return nullptr;
    return GetModuleHandleW(path);
}

// The sessions one after the other, as LogonUI creates a provider on each lock. Before each later one,
// every thread that the provider's module started for the one before must have ended.
std::wstring FootprintText(const HxTools::Footprint& footprint) {
    return std::to_wstring(footprint.threads) + L" threads, " + std::to_wstring(footprint.handles) + L" handles, " +
           std::to_wstring(footprint.privateBytes / 1024) + L" KiB private";
}

int RunSessions(const HxHost::HostOptions& options, HWND window) {
    int exitCode = 0;
    HxTools::Footprint afterFirst = {};
    for (DWORD instance = 0; instance < options.instances; ++instance) {
        if (instance == 1)
            afterFirst = HxTools::MeasureFootprint();
        HxHost::RoadJudge road(options);
        HxHost::HostSession session(options, window, road);
        if (instance > 0) {
            const int left = HxHost::AwaitThreadsOfModuleToEnd(ProviderModule(options), kEarlierThreadsPatience);
            if (left > 0)
                road.Fail(L"threads of the earlier instance ended",
                          L"no thread of the released provider left after " +
                              std::to_wstring(kEarlierThreadsPatience) + L" ms",
                          std::to_wstring(left) + L" thread(s) of its module still running");
        }
        exitCode |= session.Run();
    }
    if (options.instances > 2) {
        HxHost::AwaitThreadsOfModuleToEnd(ProviderModule(options), kEarlierThreadsPatience);
        HxHost::PrintLine(L"After the first instance: " + FootprintText(afterFirst) + L"; after instance " +
                          std::to_wstring(options.instances) + L": " + FootprintText(HxTools::MeasureFootprint()));
    }
    return exitCode;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    HxHost::HostOptions options;
    if (const std::optional<int> exitCode = HxHost::ParseHostOptions(argc, argv, options))
        return *exitCode;
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(hr)) {
        HxHost::PrintLine(L"CoInitializeEx -> " + HxHost::Hex(hr));
        return 1;
    }
    // LogonUI's thread is single-threaded, and no helper apartment is kept alive: the provider's worker
    // threads must enter the one they need themselves.
    const int exitCode = RunSessions(options, CreateHostWindow());
    CoUninitialize();
    return exitCode;
}
