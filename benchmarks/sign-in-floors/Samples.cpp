#include "Samples.h"

#include "Timing.h"
#include "platform/UniqueResource.h"

#include <cstdio>
#include <windows.h>

namespace HxFloors {

double NowMilliseconds() { return HxPipeBench::NowMicroseconds() / 1e3; }

void PrintSample(const std::string& name, double milliseconds) {
    std::printf("sample %s %.4f\n", name.c_str(), milliseconds);
    std::fflush(stdout);
}

bool ExchangeCommand(const std::wstring& pipeName, const std::wstring& command) {
    Corvani::Nuv::Platform::UniqueFileHandle pipe(
        CreateFileW(pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!pipe)
        return false;
    DWORD mode = PIPE_READMODE_MESSAGE;
    DWORD done = 0;
    if (!SetNamedPipeHandleState(pipe.get(), &mode, nullptr, nullptr) ||
        !WriteFile(pipe.get(), command.c_str(), static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)), &done,
                   nullptr))
        return false;
    char reply[4096];
    while (!ReadFile(pipe.get(), reply, sizeof(reply), &done, nullptr))
        if (GetLastError() != ERROR_MORE_DATA)
            return false;
    return true;
}

} // namespace HxFloors
