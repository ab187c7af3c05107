#pragma once
// The calls of the module whose effects reach outside the process, one seam each (see Seam.h).

#include "platform/Seam.h"

#include <windows.h>
#include <shellapi.h>

namespace Corvani::Nuv::Platform {

// Disconnects the session this process runs in (WTSDisconnectSession, not waiting).
class SessionControl : public Seam<SessionControl> {
public:
    virtual BOOL DisconnectCurrentSession();
};

// Terminates every process whose image file name equals `imageName` without regard to case.
class ProcessTermination : public Seam<ProcessTermination> {
public:
    virtual void TerminateByImageName(const wchar_t* imageName, UINT exitCode);
};

// The priority class of a process (SetPriorityClass).
class PriorityControl : public Seam<PriorityControl> {
public:
    virtual BOOL SetProcessPriorityClass(HANDLE process, DWORD priorityClass);
};

// Starts a program through the shell (ShellExecuteExW).
class ProgramStart : public Seam<ProgramStart> {
public:
    virtual BOOL Start(SHELLEXECUTEINFOW& info);
};

// One input event into the system's input stream (SendInput with a count of 1).
class KeyboardInput : public Seam<KeyboardInput> {
public:
    virtual UINT Send(const INPUT& input);
};

} // namespace Corvani::Nuv::Platform
