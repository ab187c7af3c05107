// Drives the "Halvex" stand-in service: installs it with a behaviour, starts it through the provider's
// ServiceControl (printing each trace line as it goes to the debugger trace), stops it and removes it.
//   hxsvcctl install [behaviour arguments of the stand-in]
//   hxsvcctl start | stop | state | remove

#include "StandInBehaviour.h"
#include "StandInInstaller.h"
#include "logging/TraceLog.h"
#include "platform/ServiceControl.h"

#include <cstdio>
#include <utility>
#include <string>
#include <vector>

namespace {

using Corvani::Nuv::Platform::kHXServiceName;

constexpr DWORD kStopTimeoutMs = 60000;

void PrintLine(const std::wstring& line) {
    std::fwprintf(stdout, L"%ls\n", line.c_str());
    std::fflush(stdout);
}

int Report(const wchar_t* what, DWORD error) {
    PrintLine(std::wstring(what) + L": " + (error ? L"error " + std::to_wstring(error) : L"done"));
    return error ? 1 : 0;
}

int Install(const std::vector<std::wstring>& arguments) {
    HxStandIn::Behaviour behaviour;
    if (!HxStandIn::ParseBehaviour(arguments, behaviour)) {
        PrintLine(L"unknown or incomplete behaviour argument");
        return 2;
    }
    std::wstring joined;
    for (const std::wstring& argument : arguments)
        joined += (joined.empty() ? L"" : L" ") + argument;
    return Report(L"install", HxStandIn::InstallStandIn(kHXServiceName, joined));
}

// Starts the service as the credential's service thread does; every trace line is shown here too.
int Start() {
    Corvani::Nuv::Platform::ServiceControlOptions options;
    options.trace = [](const std::wstring& line) {
        Corvani::Nuv::Logging::DroHelperTrace(line);
        PrintLine(L"DroHelperLib - " + line);
    };
    Corvani::Nuv::Platform::ServiceControl control(std::move(options));
    const int result = control.StartHXService();
    PrintLine(L"StartHXService returned " + std::to_wstring(result));
    return result == 1 ? 0 : 1;
}

void PrintUsage() {
    PrintLine(L"usage: hxsvcctl install [--start-pending MS] [--start-hint MS] [--fail-start] "
              L"[--stop-pending MS] [--stop-hint MS]");
    PrintLine(L"       hxsvcctl start | stop | state | remove");
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"install")
        return Install(std::vector<std::wstring>(argv + 2, argv + argc));
    if (command == L"start" && argc == 2)
        return Start();
    if (command == L"stop" && argc == 2)
        return Report(L"stop", HxStandIn::StopAndWait(kHXServiceName, kStopTimeoutMs));
    if (command == L"state" && argc == 2) {
        PrintLine(L"state: " + std::to_wstring(HxStandIn::CurrentState(kHXServiceName)));
        return 0;
    }
    if (command == L"remove" && argc == 2)
        return Report(L"remove", HxStandIn::RemoveStandIn(kHXServiceName));
    PrintUsage();
    return 2;
}
