// hx_lockscreen.exe: sets the desktop that the lock-screen stand-in shows and reads a process's counters.
//   hx_lockscreen.exe set NAME      NAME one of: signin none page desktop-focus focus-longer focus-shorter
//                                   root-fails condition-fails focus-fails classname-fails
//   hx_lockscreen.exe get           prints the desktop now scripted
//   hx_lockscreen.exe counts PID    prints the stand-in's objects alive in that process

#include "LockScreenScript.h"

#include <cstdio>
#include <cwchar>

namespace {

void PrintUsage() {
    std::wprintf(L"usage: hx_lockscreen set NAME | get | counts PID\n  NAME:");
    for (const HxLockScreen::DesktopName& entry : HxLockScreen::kDesktopNames)
        std::wprintf(L" %ls", entry.name);
    std::wprintf(L"\n");
}

int Set(const wchar_t* name) {
    HxLockScreen::Desktop desktop;
    if (!HxLockScreen::ParseDesktop(name, desktop)) {
        PrintUsage();
        return 2;
    }
    if (!HxLockScreen::SetDesktop(desktop)) {
        std::wprintf(L"cannot write HKCU\\%ls\n", HxLockScreen::kScriptKey);
        return 1;
    }
    return 0;
}

int Counts(const wchar_t* pid) {
    const HxLockScreen::CountersSection section(static_cast<DWORD>(std::wcstoul(pid, nullptr, 10)));
    const HxLockScreen::LiveObjects live = section.Read();
    std::wprintf(L"automations=%ld elements=%ld conditions=%ld created=%ld\n", live.automations, live.elements,
                 live.conditions, live.automationsCreated);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wcscmp(argv[1], L"set") == 0)
        return Set(argv[2]);
    if (argc == 2 && std::wcscmp(argv[1], L"get") == 0) {
        std::wprintf(L"%ls\n", HxLockScreen::NameOf(HxLockScreen::ReadDesktop()));
        return 0;
    }
    if (argc == 3 && std::wcscmp(argv[1], L"counts") == 0)
        return Counts(argv[2]);
    PrintUsage();
    return 2;
}
