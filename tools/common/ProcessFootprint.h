#pragma once
// What this process holds, for the measurements that check that nothing accumulates: its open handles
// (probed: Wine's GetProcessHandleCount answers 0), its private bytes and its threads.

#include "platform/UniqueResource.h"

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

namespace HxTools {

inline int CountOpenHandles() {
    int count = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++count;
    }
    return count;
}

// GetProcessMemoryInfo's PrivateUsage where the system fills it in (Wine answers 0), else the committed
// private regions of the address space added up.
inline SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof(memory)) &&
        memory.PrivateUsage != 0)
        return memory.PrivateUsage;
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region = {};
    for (const char* address = nullptr; VirtualQuery(address, &region, sizeof(region)) == sizeof(region);
         address = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
    }
    return total;
}

inline int CountThreadsOfThisProcess() {
    const Corvani::Nuv::Platform::UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot)
        return -1;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    return count;
}

struct Footprint {
    int threads;
    int handles;
    SIZE_T privateBytes;
};

inline Footprint MeasureFootprint() { return {CountThreadsOfThisProcess(), CountOpenHandles(), PrivateBytes()}; }

} // namespace HxTools
