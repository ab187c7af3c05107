// The floors of the sign-in's figures, for run.sh (which gives each figure next to its floor):
//   hx_floors_bench.exe face-ui SIGNED_DIR   one trial of the floor of the time to the face UI
//   hx_floors_bench.exe protect FILE         the three credential blobs, protected once, into FILE
//   hx_floors_bench.exe logon FILE           one trial of the floor of LOGON to the logon buffer
//   hx_floors_bench.exe trace TRIALS         WriteCPLog and its floor, per line, over the trials
//   hx_floors_bench.exe listen FILE          the debugger output, timed, into FILE until stop-listening
//   hx_floors_bench.exe stop-listening
// Each prints "sample NAME MILLISECONDS" lines.

#include "Floors.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>

namespace HxFloors {

int Fail(const char* what, const std::wstring& where) {
    std::fprintf(stderr, "floors: %s %ls\n", what, where.c_str());
    return 1;
}

} // namespace HxFloors

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    const std::wstring argument = argc > 2 ? argv[2] : L"";
    if (mode == L"face-ui" && !argument.empty())
        return HxFloors::MeasureFaceUIFloor(argument.back() == L'\\' ? argument : argument + L"\\");
    if (mode == L"protect" && !argument.empty())
        return HxFloors::ProtectBlobs(argument);
    if (mode == L"logon" && !argument.empty())
        return HxFloors::MeasureLogonFloor(argument);
    if (mode == L"trace")
        return HxFloors::MeasureTraceLine(argument.empty() ? 20 : std::max(1, _wtoi(argument.c_str())));
    if (mode == L"listen" && !argument.empty())
        return HxFloors::ListenToDebugOutput(argument);
    if (mode == L"stop-listening")
        return HxFloors::StopListening();
    std::fprintf(stderr, "usage: hx_floors_bench.exe face-ui SIGNED_DIR | protect FILE | logon FILE | trace [TRIALS] | listen FILE | stop-listening\n");
    return 2;
}
