// The splash window: its thread, class, window procedure and painting, the keep-alive presses that keep
// the logon screen awake behind it, and its closing.

#include "credential/SplashScreen.h"

#include "credential/KeyInjection.h"
#include "credential/NuvCredential.h"
#include "platform/WorkerThread.h"
#include "provider/ModuleState.h"
#include "resources/ResourceIds.h"

#include <tuple>

namespace Corvani::Nuv::CredentialProvider {

namespace {

constexpr wchar_t kClassName[] = L"HXSplashScreen";
constexpr wchar_t kProductName[] = L"Halvex";
constexpr int kInitialSize = 300;
constexpr DWORD kWindowPollMilliseconds = 100;
constexpr int kWindowPolls = 50; // five seconds, then the launch goes on without the splash
constexpr DWORD kClosePauseMilliseconds = 100;
constexpr int kFontHeight = 60;
constexpr int kFontWeight = 300;
constexpr COLORREF kTextColour = RGB(35, 113, 184);
constexpr COLORREF kBackground = RGB(255, 255, 255);

// A class already registered in the process (an earlier window thread) is simply used again; the brush
// then stays with us and is deleted.
void RegisterSplashClass() {
    const HINSTANCE mainModule = GetModuleHandleW(nullptr);
    Platform::UniqueBrush background(CreateSolidBrush(kBackground));
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_NOCLOSE;
    windowClass.lpfnWndProc = SplashScreen::WindowProc;
    windowClass.hInstance = mainModule;
    windowClass.hIcon = LoadIconW(mainModule, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background.get();
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass))
        std::ignore = background.release(); // the class owns it for the life of the process
}

HWND CreateSplashWindow() {
    return CreateWindowExW(WS_EX_NOACTIVATE, kClassName, L"", 0, CW_USEDEFAULT, CW_USEDEFAULT, kInitialSize,
                           kInitialSize, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

void RunMessageLoop() {
    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(g_splashScreen.window, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool IsKeyDown(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

bool IsAltF4(WPARAM key) {
    const bool altDown = IsKeyDown(VK_LMENU) || IsKeyDown(VK_RMENU) || IsKeyDown(VK_MENU);
    return altDown && key == VK_F4;
}

// LogonUI's window is read at each press: it may arrive with a credential's Advise after the splash.
void PressKeepAliveKeys(DWORD presses, DWORD intervalMilliseconds) {
    for (DWORD press = 0; press < presses; ++press) {
        if (HWND owner = g_parentWindow) {
            SetForegroundWindow(owner);
            PressKey(VK_SHIFT);
        }
        Sleep(intervalMilliseconds);
    }
}

} // namespace

void SplashScreen::Reset(DWORD setting) {
    if (IsWindow(window))
        Close();
    Platform::CriticalSectionLock lock(_lock);
    mode = setting == 1 ? 1 : 0;
    ++_generation;
    window = nullptr;
    threadHandle.reset();
    windowCreated = 0;
    g_splashThreadId = 0;
}

void SplashScreen::Show() {
    if (_suppressed)
        return;
    ULONG_PTR generation = 0;
    {
        Platform::CriticalSectionLock lock(_lock);
        if (g_splashThreadId == 0)
            StartWindowThread();
        generation = _generation;
    }
    // Detached: every call adds one, and the first to finish closes the window.
    Platform::StartWorker(KeepAliveThread, reinterpret_cast<void*>(generation));
    if (!WaitForWindow())
        return;
    const HWND shown = window;
    // The wait for the window may have outlasted the UI application's start.
    if (!shown || _suppressed)
        return;
    ShowWindow(shown, SW_SHOWMAXIMIZED);
    UpdateWindow(shown);
    // A suppression that came while the window went up: it must not stay up.
    if (_suppressed)
        ShowWindow(shown, SW_HIDE);
}

void SplashScreen::Suppress() {
    _suppressed = true;
    if (HWND shown = window)
        ShowWindow(shown, SW_HIDE);
}

void SplashScreen::Close() {
    if (HWND open = window) {
        SendMessageW(open, WM_CLOSE, 0, 0);
        Sleep(kClosePauseMilliseconds);
    }
    Platform::CriticalSectionLock lock(_lock);
    threadHandle.reset();
}

// Under the lock: one window thread at a time.
void SplashScreen::StartWindowThread() {
    DWORD threadId = 0;
    threadHandle.reset(CreateThread(nullptr, 0, WindowThread, nullptr, 0, &threadId));
    g_splashThreadId = threadHandle ? threadId : 0;
}

bool SplashScreen::WaitForWindow() const {
    for (int poll = 0; poll < kWindowPolls && !windowCreated; ++poll)
        Sleep(kWindowPollMilliseconds);
    return windowCreated != 0;
}

DWORD WINAPI SplashScreen::WindowThread(LPVOID /*unused*/) {
    Platform::ThreadBoundary(nullptr, [] { g_splashScreen.RunWindow(); });
    g_splashScreen.OnWindowThreadEnd();
    return 0;
}

void SplashScreen::RunWindow() {
    RegisterSplashClass();
    const HWND created = CreateSplashWindow();
    if (!created)
        return;
    window = created;
    SetWindowLongPtrW(created, GWL_STYLE, 0);
    SetWindowLongPtrW(created, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    windowCreated = 1;
    RunMessageLoop();
}

// The next Show starts a window thread of its own, unless a reset has already handed the splash on.
void SplashScreen::OnWindowThreadEnd() {
    bitmap.reset();
    Platform::CriticalSectionLock lock(_lock);
    if (g_splashThreadId != GetCurrentThreadId())
        return;
    g_splashThreadId = 0;
    window = nullptr;
    windowCreated = 0;
}

LRESULT CALLBACK SplashScreen::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        g_splashScreen.OnCreate();
        return 0;
    case WM_PAINT:
        if (g_splashScreen.mode == 1)
            g_splashScreen.PaintBitmap(window);
        else
            g_splashScreen.PaintText(window);
        return 0;
    case WM_DESTROY: {
        HWND destroyed = window;
        g_splashScreen.window.compare_exchange_strong(destroyed, nullptr);
        PostQuitMessage(0);
        return 0;
    }
    case WM_SYSKEYDOWN:
        if (IsAltF4(wParam))
            return 0; // the splash stays until it is hidden or its keep-alive closes it
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Nothing may leave the thread: a key press that throws only ends the presses early.
DWORD WINAPI SplashScreen::KeepAliveThread(LPVOID generation) {
    const SplashKeepAlivePace pace = g_splashKeepAlivePace;
    Platform::ThreadBoundary(nullptr, [&] { PressKeepAliveKeys(pace.presses, pace.intervalMilliseconds); });
    g_splashScreen.CloseWindowOfGeneration(reinterpret_cast<ULONG_PTR>(generation));
    return 0;
}

// After a reset, or once the module's close released the thread, this window is no longer ours to close.
void SplashScreen::CloseWindowOfGeneration(ULONG_PTR generation) {
    HWND open = nullptr;
    {
        Platform::CriticalSectionLock lock(_lock);
        if (generation == _generation && threadHandle)
            open = window;
    }
    if (open)
        SendMessageW(open, WM_CLOSE, 0, 0);
}

void SplashScreen::OnCreate() {
    if (mode != 1)
        return;
    bitmap.reset(LoadBitmapW(g_moduleHandle, MAKEINTRESOURCEW(IDB_SPLASH)));
    GetObjectW(bitmap.get(), sizeof(BITMAP), &bitmapInfo);
}

void SplashScreen::PaintText(HWND paintedWindow) {
    Platform::PaintScope paint(paintedWindow);
    RECT client = {};
    GetClientRect(paintedWindow, &client);
    Platform::UniqueFont font(CreateFontW(kFontHeight, 0, 0, 0, kFontWeight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                                          L"Arial"));
    Platform::ScopedSelection selectedFont(paint.dc(), font.get());
    SetBkMode(paint.dc(), TRANSPARENT);
    SetTextColor(paint.dc(), kTextColour);
    DrawTextW(paint.dc(), kProductName, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// Centred on the screen rather than on the client area: the window is maximised, so both coincide.
void SplashScreen::PaintBitmap(HWND paintedWindow) {
    if (!bitmap) {
        Platform::PaintScope paint(paintedWindow); // a missing picture leaves the white background
        return;
    }
    Platform::UniqueMemoryDC memory(CreateCompatibleDC(Platform::WindowDC(paintedWindow).get()));
    Platform::ScopedSelection selectedBitmap(memory.get(), bitmap.get());
    Platform::PaintScope paint(paintedWindow);
    GetObjectW(bitmap.get(), sizeof(BITMAP), &bitmapInfo);
    const int screenWidth = GetDeviceCaps(memory.get(), HORZRES);
    const int screenHeight = GetDeviceCaps(memory.get(), VERTRES);
    const int left = screenWidth / 2 - bitmapInfo.bmWidth / 2;
    const int top = screenHeight / 2 - bitmapInfo.bmHeight / 2;
    BitBlt(paint.dc(), left, top, bitmapInfo.bmWidth, bitmapInfo.bmHeight, memory.get(), 0, 0, SRCCOPY);
}

void NuvCredential::ShowSplashScreen() {
    Log("NuvCredential::ShowSplashScreen | --");
    if (g_splashSetting != 0)
        g_splashScreen.Show();
}

} // namespace Corvani::Nuv::CredentialProvider
