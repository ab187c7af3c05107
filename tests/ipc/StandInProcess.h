#pragma once
// The UI application stand-in (Corvani.Halvex.UI.exe beside the test program), started with the given
// options and a record file in the temporary directory. Terminated, if still running, on destruction.

#include "platform/UniqueResource.h"

#include <windows.h>
#include <string>
#include <vector>

namespace HxIpcTest {

class StandInProcess {
public:
    // With `feedStdin` the stand-in reads its standard input from a pipe that WriteStdin fills.
    explicit StandInProcess(const std::wstring& options, bool feedStdin = false);
    ~StandInProcess();
    StandInProcess(const StandInProcess&) = delete;
    StandInProcess& operator=(const StandInProcess&) = delete;

    bool Started() const { return static_cast<bool>(_process); }
    DWORD Pid() const { return _pid; }

    // The record lines so far.
    std::vector<std::string> Lines() const;
    // The record lines that begin with `prefix`.
    std::vector<std::string> LinesStartingWith(const std::string& prefix) const;
    // Waits until a record line begins with `prefix`; false after `ms`.
    bool WaitForLine(const std::string& prefix, DWORD ms) const;
    bool WaitForExit(DWORD ms) const;
    bool WriteStdin(const std::string& text);

private:
    std::wstring _recordFile;
    Corvani::Nuv::Platform::UniqueHandle _stdin;
    Corvani::Nuv::Platform::UniqueHandle _process;
    DWORD _pid = 0;
};

} // namespace HxIpcTest
