#include "SplashScene.h"

#include "provider/ModuleState.h"
#include "support/ProviderPeers.h"
#include "support/TestPaths.h"

#include <tlhelp32.h>

namespace HxTest {

using namespace Corvani::Nuv::CredentialProvider;
using Corvani::Nuv::Platform::UniqueFileHandle;
using Corvani::Nuv::Platform::UniqueLibrary;

namespace {

constexpr wchar_t kProviderModule[] = L"Corvani.Halvex.CredentialProvider.dll";
constexpr wchar_t kSettingsKey[] = L"Software\\Halvex\\Settings\\";
constexpr wchar_t kTestWindowClass[] = L"HxSplashTestWindow";
constexpr DWORD kSplashSlackMilliseconds = 10000;

HMODULE LoadProviderModule() { return LoadLibraryW((BinDirectory() + kProviderModule).c_str()); }

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}


} // namespace

PumpedWindow::PumpedWindow() {
    Corvani::Nuv::Platform::UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    _thread = std::thread(&PumpedWindow::Run, this, ready.get());
    WaitForSingleObject(ready.get(), 10000);
}

PumpedWindow::~PumpedWindow() {
    if (IsWindow(_window))
        PostMessageW(_window, WM_CLOSE, 0, 0);
    _thread.join();
}

void PumpedWindow::Run(HANDLE ready) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = kTestWindowClass;
    RegisterClassExW(&windowClass); // a second window finds it registered
    _window = CreateWindowExW(0, kTestWindowClass, L"stand-in", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 150,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetEvent(ready);
    if (!_window)
        return;
    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

SplashScene::SplashScene(std::optional<DWORD> setting, HWND owner, SplashKeepAlivePace pace)
    : _module(LoadProviderModule()), _moduleHandle(g_moduleHandle, static_cast<HINSTANCE>(_module.get())),
      _parentWindow(g_parentWindow, owner), _pace(g_splashKeepAlivePace, pace),
      _setting(kSettingsKey, L"SPLASHSCREEN_ENABLE"), _threadsBefore(CountThreadsOfThisProcess()),
      _paceMilliseconds(pace.presses * pace.intervalMilliseconds) {
    if (setting)
        _setting.SetDword(*setting);
    else
        _setting.Remove();
    _provider = MakeProvider();
    _provider->SetUsageScenario(CPUS_UNLOCK_WORKSTATION, 0);
}

SplashScene::~SplashScene() {
    if (IsWindow(Window()))
        g_splashScreen.Close();
    WaitForSplashThreadsToEnd(_paceMilliseconds + kSplashSlackMilliseconds);
}

void SplashScene::ShowSplashScreen() { NuvProviderTestPeer::Credential(AsNuv(_provider.get()))->ShowSplashScreen(); }

void SplashScene::ConstructAgain() {
    _laterProvider = MakeProvider();
    _laterProvider->SetUsageScenario(CPUS_UNLOCK_WORKSTATION, 0);
}

bool SplashScene::WaitForSplashThreadsToEnd(DWORD timeoutMilliseconds) const {
    return WaitFor([this] { return CountThreadsOfThisProcess() <= _threadsBefore; }, timeoutMilliseconds);
}

int CountThreadsOfThisProcess() {
    UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot)
        return -1;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ++count;
    }
    return count;
}

std::vector<COLORREF> SplashPicturePixels(int& width, int& height) {
    UniqueLibrary module(LoadProviderModule());
    Corvani::Nuv::Platform::UniqueBitmap picture(static_cast<HBITMAP>(
        LoadImageW(module.get(), MAKEINTRESOURCEW(101), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info = {};
    if (!picture || !GetObjectW(picture.get(), sizeof(info), &info))
        return {};
    width = info.bmWidth;
    height = info.bmHeight;
    BITMAPINFO request = {};
    request.bmiHeader.biSize = sizeof(request.bmiHeader);
    request.bmiHeader.biWidth = width;
    request.bmiHeader.biHeight = -height; // top-down
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    std::vector<RGBQUAD> quads(static_cast<size_t>(width) * height);
    Corvani::Nuv::Platform::WindowDC screen(nullptr);
    if (GetDIBits(screen.get(), picture.get(), 0, static_cast<UINT>(height), quads.data(), &request, DIB_RGB_COLORS) !=
        height)
        return {};
    std::vector<COLORREF> pixels;
    pixels.reserve(quads.size());
    for (const RGBQUAD& quad : quads)
        pixels.push_back(RGB(quad.rgbRed, quad.rgbGreen, quad.rgbBlue));
    return pixels;
}

} // namespace HxTest
