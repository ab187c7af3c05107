// The provider's trace lines with the moment each was sent, for the segments of the time to the face UI
// and of LOGON to the logon buffer: the debugger output of every process of the prefix, received through
// the DBWIN_BUFFER protocol and written to a file as "TICK PID TEXT" lines, on the clock of the host's
// story (GetTickCount64). Each sender waits for the listener between two lines; run.sh therefore takes
// the figures themselves from trials without it.

#include "Floors.h"
#include "platform/UniqueResource.h"

#include <cstdio>
#include <cstring>

namespace HxFloors {

namespace {

constexpr DWORD kBufferSize = 4096;
constexpr wchar_t kStopEvent[] = L"Local\\HxFloorsListenerStop";

} // namespace

int ListenToDebugOutput(const std::wstring& file) {
    using Corvani::Nuv::Platform::UniqueHandle;
    UniqueHandle section(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferSize,
                                            L"DBWIN_BUFFER"));
    if (!section || GetLastError() == ERROR_ALREADY_EXISTS)
        return Fail("another listener owns the debugger output; not started for", file);
    Corvani::Nuv::Platform::UniqueMappedView view(MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, kBufferSize));
    UniqueHandle bufferReady(CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY"));
    UniqueHandle dataReady(CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY"));
    UniqueHandle stop(CreateEventW(nullptr, TRUE, FALSE, kStopEvent));
    FILE* out = _wfopen(file.c_str(), L"wb");
    if (!view || !bufferReady || !dataReady || !stop || !out)
        return Fail("cannot listen to the debugger output into", file);
    SetEvent(bufferReady.get());
    const HANDLE waits[] = {dataReady.get(), stop.get()};
    while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
        const ULONGLONG tick = GetTickCount64();
        const auto* bytes = static_cast<const char*>(view.get());
        DWORD processId = 0;
        std::memcpy(&processId, bytes, sizeof(processId));
        const char* text = bytes + sizeof(processId);
        std::fprintf(out, "%llu %lu %.*s\n", tick, processId,
                     static_cast<int>(strnlen(text, kBufferSize - sizeof(processId))), text);
        SetEvent(bufferReady.get());
    }
    std::fclose(out);
    return 0;
}

int StopListening() {
    Corvani::Nuv::Platform::UniqueHandle stop(OpenEventW(EVENT_MODIFY_STATE, FALSE, kStopEvent));
    return stop && SetEvent(stop.get()) ? 0 : Fail("no listener to stop", L"");
}

} // namespace HxFloors
