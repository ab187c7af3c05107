#include "StandInWindow.h"

#include "ActionSender.h"
#include "platform/UniqueResource.h"

namespace HxUIStandIn {

namespace {

constexpr UINT kShowMessage = WM_APP + 1;
constexpr UINT kHideMessage = WM_APP + 2;
constexpr wchar_t kClassName[] = L"HxUIStandInWindow";

bool Contains(const std::wstring& text, const wchar_t* command) {
    return text.find(std::wstring(L"\"") + command + L"\"") != std::wstring::npos;
}

} // namespace

StandInWindow::StandInWindow(const StandInOptions& options, Recorder& recorder)
    : _options(options), _recorder(recorder), _threadId(GetCurrentThreadId()) {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
}

bool StandInWindow::Create() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    _window = CreateWindowExW(0, kClassName, L"Halvex face sign-in (stand-in)", WS_OVERLAPPEDWINDOW, 100, 100,
                              480, 360, nullptr, nullptr, windowClass.hInstance, this);
    if (!_window) {
        _recorder.Line("WINDOW failed " + std::to_string(GetLastError()));
        return false;
    }
    if (!_options.hidden)
        ShowWindow(_window, SW_SHOW);
    _recorder.Line(std::string("WINDOW created ") + (_options.hidden ? "hidden" : "shown"));
    return true;
}

void StandInWindow::RunMessageLoop() {
    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!message.hwnd && (message.message == kShowMessage || message.message == kHideMessage)) {
            Handle(message.message, message.wParam, message.lParam);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void StandInWindow::OnCommand(const std::wstring& text) {
    if (Contains(text, L"SHOW") || Contains(text, L"CHANGEPASSWORD"))
        PostThreadMessageW(_threadId, kShowMessage, 0, 0);
    else if (Contains(text, L"HIDE"))
        PostThreadMessageW(_threadId, kHideMessage, 0, 0);
}

LRESULT CALLBACK StandInWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<StandInWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || !self->_window)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT StandInWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kShowMessage:
        Show();
        return 0;
    case kHideMessage:
        ShowWindow(_window, SW_HIDE);
        _recorder.Line("WINDOW hidden");
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            _recorder.Line("WINDOW foreground");
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(_window, message, wParam, lParam);
}

void StandInWindow::Show() {
    CrashOnce();
    ShowWindow(_window, SW_SHOW);
    SetForegroundWindow(_window);
    _recorder.Line("WINDOW shown");
    if (_showActionsStarted || _options.showActions.empty())
        return;
    _showActionsStarted = true;
    Corvani::Nuv::Platform::UniqueHandle thread(CreateThread(nullptr, 0, RunShowActions, this, 0, nullptr));
}

// The first stand-in of a run ends right after its first SHOW was answered; the marker tells a later one.
void StandInWindow::CrashOnce() {
    if (_options.crashOnceMarker.empty())
        return;
    const Corvani::Nuv::Platform::UniqueFileHandle marker(CreateFileW(
        _options.crashOnceMarker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!marker)
        return;
    _recorder.Line("CRASH");
    ExitProcess(3);
}

DWORD WINAPI StandInWindow::RunShowActions(LPVOID parameter) {
    auto* self = static_cast<StandInWindow*>(parameter);
    ActionSender sender(self->_recorder, self->_options);
    for (const std::wstring& action : self->_options.showActions)
        if (!sender.Perform(action))
            break;
    return 0;
}

} // namespace HxUIStandIn
