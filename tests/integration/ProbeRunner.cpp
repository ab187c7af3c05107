#include "ProbeRunner.h"

#include "platform/UniqueResource.h"
#include "support/TestPaths.h"

#include <windows.h>

using Corvani::Nuv::Platform::UniqueHandle;

namespace HxTest {

namespace {

constexpr DWORD kProbeTimeoutMs = 60000;

std::map<std::wstring, std::wstring> ParseLines(const std::wstring& text) {
    std::map<std::wstring, std::wstring> values;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        const std::wstring line = text.substr(start, end - start);
        const size_t equals = line.find(L'=');
        if (equals != std::wstring::npos)
            values[line.substr(0, equals)] = line.substr(equals + 1);
        start = end + 1;
    }
    return values;
}

// The desktop process may outlive the probe or end before it: wait for the probe's last line.
std::map<std::wstring, std::wstring> WaitForOutput(const std::wstring& outPath, HANDLE process) {
    const DWORD started = GetTickCount();
    for (;;) {
        auto values = ParseLines(ReadUtf8File(outPath));
        if (values.count(L"done") || GetTickCount() - started > kProbeTimeoutMs)
            return values;
        if (WaitForSingleObject(process, 100) == WAIT_OBJECT_0 && values.count(L"done") == 0)
            Sleep(100);
    }
}

} // namespace

std::map<std::wstring, std::wstring> RunProbe(const ProbeRun& run) {
    static int runNumber = 0;
    const std::wstring outPath = NewTempDirectory(L"hxprobe") + L"probe.txt";
    std::wstring commandLine = L"\"" + BinDirectory() + L"tile_probe.exe\" --dll \"" + run.dllPath + L"\" --out \"" +
                               outPath + L"\"" + (run.select ? L" --select" : L"");
    // Wine takes a process's language from the Unix locale it starts in, not from the Windows environment
    // block; a Unix program (env) started from here starts the probe in a fresh Wine process.
    if (!run.locale.empty())
        commandLine = L"/usr/bin/env LC_ALL=" + run.locale + L" LANG=" + run.locale + L" wine " + commandLine;
    else if (!run.desktopSize.empty())
        commandLine = L"explorer.exe /desktop=hxprobe" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                      std::to_wstring(++runNumber) + L"," + run.desktopSize + L" " + commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return {};
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    return WaitForOutput(outPath, process.get());
}

} // namespace HxTest
