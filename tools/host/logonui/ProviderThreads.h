#pragma once
// The threads of this process that a module started: those whose start address lies inside it. A provider
// released by LogonUI must leave none of its own behind (the system's thread pool is not its).

#include <windows.h>

namespace HxHost {

// -1 when the start addresses cannot be asked for.
int CountThreadsStartedIn(HMODULE module);

// Waits up to `ms` for the count to reach 0; the last count.
int AwaitThreadsOfModuleToEnd(HMODULE module, DWORD ms);

} // namespace HxHost
