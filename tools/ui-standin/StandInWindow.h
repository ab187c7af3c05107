#pragma once
// The stand-in's top-level window, on the main thread's message loop: shown unless started hidden,
// shown and brought to the front by SHOW (or CHANGEPASSWORD), hidden by HIDE. The first SHOW starts
// the --on-show actions.

#include "Recorder.h"
#include "StandInOptions.h"

#include <windows.h>

namespace HxUIStandIn {

class StandInWindow {
public:
    // On the thread that is to run the message loop: its queue exists from here on, so that commands
    // arriving before the window is created wait in it.
    StandInWindow(const StandInOptions& options, Recorder& recorder);

    // Creates the window; false when it cannot be created.
    bool Create();
    // Runs the message loop until the window is closed or the thread is told to quit.
    void RunMessageLoop();

    // Called from the pipe thread for every command received: SHOW, CHANGEPASSWORD and HIDE go to the
    // window thread.
    void OnCommand(const std::wstring& text);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Show();
    void CrashOnce();
    static DWORD WINAPI RunShowActions(LPVOID self);

    const StandInOptions& _options;
    Recorder& _recorder;
    DWORD _threadId;
    HWND _window = nullptr;
    bool _showActionsStarted = false;
};

} // namespace HxUIStandIn
