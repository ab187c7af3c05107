#include "ChildProcess.h"

#include "platform/UniqueResource.h"

#include <windows.h>

namespace HxTest {

using Corvani::Nuv::Platform::UniqueHandle;

namespace {

constexpr DWORD kChildTimeoutMilliseconds = 120000;

std::wstring OwnPath() {
    wchar_t path[MAX_PATH + 1] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

} // namespace

ChildRun RunChildScenario(const std::wstring& scenario) {
    ChildRun run;
    const std::wstring path = OwnPath();
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    // The child inherits the variable; the parent's own environment is put back at once.
    SetEnvironmentVariableW(kChildScenarioVariable, scenario.c_str());
    run.started = CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &process) != FALSE;
    SetEnvironmentVariableW(kChildScenarioVariable, nullptr);
    if (!run.started)
        return run;
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle threadHandle(process.hThread);
    run.processId = process.dwProcessId;
    if (WaitForSingleObject(processHandle.get(), kChildTimeoutMilliseconds) != WAIT_OBJECT_0) {
        TerminateProcess(processHandle.get(), 99);
        run.exitCode = 99;
        return run;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(processHandle.get(), &exitCode);
    run.exitCode = exitCode;
    return run;
}

} // namespace HxTest
