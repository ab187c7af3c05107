// What the child processes of the logging tests do; the parent reads the logs and the debugger output.

#include "ChildProcess.h"

#include "logging/TraceLog.h"
#include "platform/UniqueResource.h"
#include "support/ProviderPeers.h"

#include <string>
#include <thread>
#include <vector>
#include <windows.h>

namespace HxTest {

namespace {

using namespace Corvani::Nuv::Logging;

constexpr int kRaceThreads = 16;
constexpr int kRaceLinesPerThread = 60;

// Every logger gets a line, none of which may reach a file or the debugger output.
int WriteSilently() {
    WriteCPLog("silent-marker {\"pwd\":\"hunter2\"}");
    WritePipeServerLog("silent-marker server", "77");
    WritePipeClientLog("silent-marker client", "78");
    return 0;
}

// The main thread writes the process's first line; a second thread writes to all three logs.
int WriteFromTwoThreads() {
    WriteCPLog("threads | main first");
    std::thread worker([] {
        WriteCPLog("threads | worker");
        WritePipeServerLog("threads | server", "77");
        WritePipeClientLog("threads | client", "78");
    });
    worker.join();
    WriteCPLog("threads | main last");
    return 0;
}

void WriteRaceLines(int thread, HANDLE start) {
    WaitForSingleObject(start, INFINITE);
    for (int line = 0; line < kRaceLinesPerThread; ++line) {
        const std::string text = "race | t" + std::to_string(thread) + " n" + std::to_string(line);
        if (line % 3 == 0)
            WriteCPLog(text);
        else if (line % 3 == 1)
            WritePipeServerLog(text, "77");
        else
            WritePipeClientLog(text, "78");
    }
}

// Many threads write their first lines at the same moment: each logger and prefix must come into being once.
int RaceFirstLines() {
    Corvani::Nuv::Platform::UniqueHandle start(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::vector<std::thread> threads;
    for (int thread = 0; thread < kRaceThreads; ++thread)
        threads.emplace_back(WriteRaceLines, thread, start.get());
    Sleep(100);
    SetEvent(start.get());
    for (std::thread& thread : threads)
        thread.join();
    return 0;
}

// A line in each log, then the tile at the logon screen as LogonUI asks for it; 0 when the tile works.
int ShowTile() {
    WriteSilently();
    auto provider = MakeProvider();
    DWORD count = 0, defaultIndex = 0;
    BOOL autoLogon = FALSE;
    ICredentialProviderCredential* credential = nullptr;
    if (provider->SetUsageScenario(CPUS_LOGON, 0) != S_OK ||
        provider->GetCredentialCount(&count, &defaultIndex, &autoLogon) != S_OK || count != 1 ||
        provider->GetCredentialAt(0, &credential) != S_OK)
        return 3;
    wchar_t* title = nullptr;
    const bool titled = credential->GetStringValue(1, &title) == S_OK && title != nullptr;
    CoTaskMemFree(title);
    credential->Release();
    return titled ? 0 : 4;
}

} // namespace

int RunScenario(const std::wstring& scenario) {
    if (scenario == L"tile")
        return ShowTile();
    if (scenario == L"silent")
        return WriteSilently();
    if (scenario == L"threads")
        return WriteFromTwoThreads();
    if (scenario == L"race")
        return RaceFirstLines();
    return 2;
}

} // namespace HxTest
