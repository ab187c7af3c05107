#include "platform/OutsideEffects.h"

#include "platform/UniqueResource.h"

#include <tlhelp32.h>
#include <wtsapi32.h>

namespace Corvani::Nuv::Platform {

BOOL SessionControl::DisconnectCurrentSession() {
    return WTSDisconnectSession(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, FALSE);
}

// Processes that cannot be opened for termination are skipped silently.
void ProcessTermination::TerminateByImageName(const wchar_t* imageName, UINT exitCode) {
    // The process list only: a snapshot of the modules too (TH32CS_SNAPALL) walks this process's module
    // list while other threads may be loading modules, and has been seen to hang there.
    UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (lstrcmpiW(entry.szExeFile, imageName) != 0)
            continue;
        UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID));
        if (process)
            TerminateProcess(process.get(), exitCode);
    }
}

BOOL PriorityControl::SetProcessPriorityClass(HANDLE process, DWORD priorityClass) {
    return SetPriorityClass(process, priorityClass);
}

BOOL ProgramStart::Start(SHELLEXECUTEINFOW& info) {
    return ShellExecuteExW(&info);
}

UINT KeyboardInput::Send(const INPUT& input) {
    INPUT copy = input;
    // The size SendInput checks against the 64-bit layout it expects.
    static_assert(sizeof(INPUT) == 40, "INPUT has the 64-bit layout of 40 bytes");
    return SendInput(1, &copy, sizeof(INPUT));
}

} // namespace Corvani::Nuv::Platform
