// The UI launcher against the signed UI application stand-in: what it is started with, how often, and how
// it is closed and killed.

#include "orchestration/Orchestration.h"
#include "ipc/PipeNames.h"
#include "platform/OutsideEffects.h"
#include "support/PipePeer.h"
#include "support/CapturedLog.h"
#include "support/FakeOutsideEffects.h"
#include "support/ScopedOverride.h"
#include "support/TestPaths.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using namespace Corvani::Nuv::CredentialProvider;
using HxTest::OrchestratedCredential;
using HxTest::ScopedOverride;
using HxTest::StandInScript;

constexpr DWORD kPatience = 10000;

// The program's start, after which, before the launcher goes on, a process of another party creates both
// pipe names of the new process; before it, whether the verified file could be opened for writing. The
// program starts without a console: the launcher ends it at once, and Wine leaves the console host of a
// console program ended while its console is still being made (holding the test run's output open).
class SquattedStart final : public Corvani::Nuv::Platform::ScopedFake<Corvani::Nuv::Platform::ProgramStart> {
public:
    BOOL Start(SHELLEXECUTEINFOW& info) override {
        writableBeforeStart = static_cast<bool>(Corvani::Nuv::Platform::UniqueFileHandle(
            CreateFileW(info.lpFile, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
        std::wstring commandLine = L"\"" + std::wstring(info.lpFile) + L"\" " +
                                   (info.lpParameters != nullptr ? info.lpParameters : L"");
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr,
                            &startup, &process))
            return FALSE;
        Corvani::Nuv::Platform::UniqueHandle thread(process.hThread);
        info.hProcess = process.hProcess;
        squatter = std::make_unique<HxTest::PipeSquatter>(std::vector<std::wstring>{
            Corvani::Nuv::IPC::ProviderPipeName(process.dwProcessId), Corvani::Nuv::IPC::UIPipeName(process.dwProcessId)});
        return TRUE;
    }
    bool writableBeforeStart = true;
    std::unique_ptr<HxTest::PipeSquatter> squatter;
};

struct LaunchCase {
    LANGID language;
    bool hidden;
    const char* startLine;
};

class LaunchParameters : public testing::TestWithParam<LaunchCase> {};

TEST_P(LaunchParameters, ReachTheApplication) {
    StandInScript script;
    OrchestratedCredential credential;
    ScopedOverride language(g_uiLanguage, GetParam().language);
    ScopedOverride hidden(g_startUIHidden, GetParam().hidden);
    HxTest::LogMark mark;
    credential->LaunchUI(0);
    ASSERT_TRUE(_hNuvUI);
    ASSERT_TRUE(script.WaitForLine("START", kPatience));
    EXPECT_EQ(GetParam().startLine, script.Lines().front().substr(script.Lines().front().find(" lang")));
    EXPECT_EQ(1u, mark.Count(std::string("NuvCredential::ExecuteUIEXE | ** launching NuvUI before execute file. "
                                         "langOptions: ") + (GetParam().hidden ? " -l 1031 -h " : " -l 1033")));
}

INSTANTIATE_TEST_SUITE_P(Launcher, LaunchParameters,
                         testing::Values(LaunchCase{1031, true, " lang=1031 hidden=1"},
                                         LaunchCase{1033, false, " lang=1033 hidden=0"}));

TEST(Launcher, AsynchronousLaunchFollowedBySynchronousStartsOneProcess) {
    StandInScript script;
    OrchestratedCredential credential;
    credential->LaunchUI(1);
    credential->LaunchUI(0);
    ASSERT_TRUE(script.WaitForLine("START", kPatience));
    for (int i = 0; i < 100 && g_executeUIThreadRunning; ++i)
        Sleep(50);
    Sleep(300);
    EXPECT_EQ(1u, HxTest::UIProcessIds().size());
    size_t starts = 0;
    for (const std::string& line : script.Lines())
        starts += line.rfind("START", 0) == 0;
    EXPECT_EQ(1u, starts);
}

TEST(Launcher, KillingAnExitedApplicationClearsItsHandle) {
    StandInScript script;
    OrchestratedCredential credential;
    HxTest::LogMark launch;
    credential->LaunchUI(0);
    ASSERT_TRUE(_hNuvUI) << testing::PrintToString(launch.Since());
    ASSERT_TRUE(script.WaitForLine("START", kPatience));
    DWORD error = 0;
    ASSERT_TRUE(credential->PipeClient().Close(error)); // the stand-in ends after CLOSE
    ASSERT_NE(STILL_ACTIVE, HxTest::ExitCodeAfter(_hNuvUI.get(), kPatience));
    credential->FindAndKillNuvUI();
    EXPECT_FALSE(_hNuvUI);
    EXPECT_EQ(0u, UIProcessId());
}

// Names taken before the provider creates them: nothing is served and nothing sent to them, the UI
// application is ended, and neither the launch nor the calls after it wait beyond their bounds.
TEST(Launcher, PipeNamesTakenByAnotherProcessEndTheApplication) {
    StandInScript script;
    OrchestratedCredential credential;
    SquattedStart start;
    HxTest::LogMark mark;
    const ULONGLONG began = GetTickCount64();
    credential->LaunchUI(0);
    ASSERT_TRUE(start.squatter && start.squatter->Ready());
    EXPECT_FALSE(start.writableBeforeStart);
    EXPECT_FALSE(_hNuvUI);
    EXPECT_FALSE(credential->SendShowMessage());
    credential->FindAndKillNuvUI();
    EXPECT_LT(GetTickCount64() - began, 3 * kPatience);
    for (int wait = 0; wait < 100 && !HxTest::UIProcessIds().empty(); ++wait)
        Sleep(100);
    EXPECT_TRUE(HxTest::UIProcessIds().empty());
    EXPECT_TRUE(start.squatter->Received().empty());
    EXPECT_EQ(1u, mark.Count("NuvCredential::CreateIPCObjects | the provider pipe is not ours, the UI application is closed"));
}

// The provider's destructor ends every process of that name with 9; the credential ends its own with 0.
TEST(Launcher, KillingByNameEndsEveryProcessWithNineTheCredentialOnlyItsOwnWithZero) {
    StandInScript script;
    OrchestratedCredential credential;
    Corvani::Nuv::Platform::UniqueHandle stranger = HxTest::StartStandInDirectly(L"--stay-on-close");
    ASSERT_TRUE(stranger);
    credential->LaunchUI(0);
    ASSERT_TRUE(_hNuvUI);
    Corvani::Nuv::Platform::UniqueHandle own;
    DuplicateHandle(GetCurrentProcess(), _hNuvUI.get(), GetCurrentProcess(), own.put(), 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    credential->FindAndKillNuvUI();
    EXPECT_EQ(0u, HxTest::ExitCodeAfter(own.get(), kPatience));
    EXPECT_EQ(STILL_ACTIVE, HxTest::ExitCodeAfter(stranger.get(), 200));
    HxTest::RealProcessTermination real;
    KillNuvUIProcesses();
    EXPECT_EQ(9u, HxTest::ExitCodeAfter(stranger.get(), kPatience));
}

TEST(Launcher, CloseAsksTheApplicationAndKillsOneThatDoesNotAnswer) {
    {
        StandInScript script;
        OrchestratedCredential credential;
        credential->LaunchUI(0);
        ASSERT_TRUE(script.WaitForLine("START", kPatience));
        credential->CloseNuvUI();
        EXPECT_TRUE(script.WaitForLine("RECV", kPatience));
        EXPECT_EQ(0u, HxTest::ExitCodeAfter(_hNuvUI.get(), kPatience)); // it ended by itself
        EXPECT_TRUE(_hNuvUI);                                             // kept until the next kill
    }
    StandInScript silent(L"--no-reply");
    OrchestratedCredential credential;
    credential->LaunchUI(0);
    ASSERT_TRUE(silent.WaitForLine("START", kPatience));
    HxTest::LogMark mark;
    credential->CloseNuvUI();
    EXPECT_EQ(1u, mark.Count("NuvCredential::CloseNuvUI | ERROR sending close meesage"));
    EXPECT_FALSE(_hNuvUI);
}

// A file that verifies but cannot be started: no process, and the pipe of process id 0 is served.
TEST(Launcher, FailedStartLeavesNoProcessAndServesProcessIdZero) {
    const std::wstring directory = HxTest::NewTempDirectory(L"unstartable");
    const std::wstring path = directory + L"\\Corvani.Halvex.UI.exe";
    ASSERT_TRUE(CopyFileW((HxTest::BinDirectory() + L"Corvani.Halvex.CredentialProvider.dll").c_str(), path.c_str(),
                          FALSE));
    OrchestratedCredential credential;
    ScopedOverride unstartable(g_uiExecutablePath, path);
    credential->LaunchUI(0);
    EXPECT_FALSE(_hNuvUI);
    // Waiting for a pipe fails at once while no instance exists: the server's thread may not have made one.
    bool served = false;
    for (int poll = 0; poll < 100 && !served; ++poll, Sleep(20))
        served = WaitNamedPipeW(L"\\\\.\\pipe\\CPPipeServer0", 2000);
    EXPECT_TRUE(served);
}

TEST(Launcher, UnsignedApplicationIsRefusedAndNothingStarts) {
    const std::wstring directory = HxTest::NewTempDirectory(L"unsigned");
    const std::wstring path = directory + L"\\Corvani.Halvex.UI.exe";
    ASSERT_TRUE(CopyFileW((HxTest::BinDirectory() + L"..\\bin\\Corvani.Halvex.UI.exe").c_str(), path.c_str(), FALSE));
    OrchestratedCredential credential;
    ScopedOverride unsignedFile(g_uiExecutablePath, path);
    HxTest::LogMark mark;
    credential->LaunchUI(0);
    EXPECT_FALSE(_hNuvUI);
    EXPECT_TRUE(HxTest::UIProcessIds().empty());
    EXPECT_EQ(1u, mark.Count("NuvCredential::ExecuteUIEXE | ** ERROR: UI EXE verification Failed"));
}

// The launcher's trace lines of one start, in order; banner lines end in the time.
TEST(Launcher, TraceLinesOfOneStart) {
    StandInScript script;
    OrchestratedCredential credential;
    ScopedOverride language(g_uiLanguage, LANGID{1033});
    ScopedOverride hidden(g_startUIHidden, false);
    credential->FindAndKillNuvUI();
    HxTest::LogMark mark;
    credential->LaunchUI(0);
    const std::string pid = std::to_string(GetProcessId(_hNuvUI.get()));
    credential->FindAndKillNuvUI();
    const char* const expected[] = {
        "NuvCredential::LaunchUI | 0",
        "NuvCredential::LaunchUI | SYNC mode",
        "NuvCredential::ExecuteUIEXE | ******************************************************** ",
        "NuvCredential::ExecuteUIEXE | ** launching NuvUI",
        "NuvCredential::ExecuteUIEXE | ** launching NuvUI before execute file. langOptions:  -l 1033",
        "NuvCredential::ExecuteUIEXE | ** launching NuvUI after execute file",
        "NuvCredential::CreateIPCObjects | UI PID: ",
        "NuvCredential::CreateIPCObjects | 2",
        "NuvCredential::CreateIPCObjects | 3",
        "NuvCredential::CreateIPCObjects | END",
        "NuvCredential::ExecuteUIEXE | ** after CreateIPCObjects",
        "NuvCredential::ExecuteUIEXE | ** finished *********************************************** ",
        "NuvCredential::LaunchUI | SYNC mode after execute",
        "NuvCredential::FindAndKillNuvUI | WARN NuvUI terminated, should not be necessary!!!",
        "NuvCredential::CloseAndReleaseIPCObjects | ",
    };
    const std::vector<std::string> lines = mark.Since();
    ASSERT_EQ(std::size(expected), lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(0u, lines[i].rfind(expected[i], 0)) << lines[i];
    EXPECT_EQ("NuvCredential::CreateIPCObjects | UI PID: " + pid, lines[6]);
}

} // namespace
