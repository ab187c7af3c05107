#include "logonui/ProviderThreads.h"

#include "platform/UniqueResource.h"

#include <psapi.h>
#include <tlhelp32.h>

namespace HxHost {

namespace {

using Corvani::Nuv::Platform::UniqueFileHandle;
using Corvani::Nuv::Platform::UniqueHandle;

constexpr ULONG kThreadQuerySetWin32StartAddress = 9;
using QueryThread = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);

QueryThread ThreadQuery() {
    static const auto query =
        reinterpret_cast<QueryThread>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationThread")));
    return query;
}

bool StartsIn(DWORD threadId, const MODULEINFO& module) {
    const UniqueHandle thread(OpenThread(THREAD_QUERY_INFORMATION, FALSE, threadId));
    void* start = nullptr;
    if (!thread || ThreadQuery()(thread.get(), kThreadQuerySetWin32StartAddress, &start, sizeof(start), nullptr) != 0)
        return false;
    const auto* base = static_cast<const BYTE*>(module.lpBaseOfDll);
    const auto* at = static_cast<const BYTE*>(start);
    return at >= base && at < base + module.SizeOfImage;
}

} // namespace

int CountThreadsStartedIn(HMODULE module) {
    MODULEINFO info = {};
    if (!module || !ThreadQuery() || !GetModuleInformation(GetCurrentProcess(), module, &info, sizeof(info)))
        return -1;
    const UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId() && StartsIn(entry.th32ThreadID, info))
            ++count;
    return count;
}

int AwaitThreadsOfModuleToEnd(HMODULE module, DWORD ms) {
    const ULONGLONG until = GetTickCount64() + ms;
    int count = CountThreadsStartedIn(module);
    while (count > 0 && GetTickCount64() < until) {
        Sleep(50);
        count = CountThreadsStartedIn(module);
    }
    return count;
}

} // namespace HxHost
