// What the UI application's events do outside the tile, the service start, and the faults that the
// worker threads make live: events after the provider is gone, a client that holds the server.

#include "ipc/CPEvent.h"
#include "ipc/NuvPipeClient.h"
#include "orchestration/Orchestration.h"
#include "StandInInstaller.h"
#include "support/CapturedLog.h"
#include "support/FakeEvents.h"
#include "support/FakeOutsideEffects.h"
#include "support/ProviderPeers.h"
#include "support/ScopedOverride.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using namespace Corvani::Nuv::CredentialProvider;
using HxTest::OrchestratedCredential;
using HxTest::ScopedOverride;
using Corvani::Nuv::Platform::UniqueFileHandle;

struct KeyEvent {
    WORD vk;
    DWORD flags;
};

TEST(Events, DeselectPressesShiftThenEscapeHalfASecondLater) {
    OrchestratedCredential credential;
    HxTest::FakeKeyboardInput keyboard;
    ScopedOverride window(g_parentWindow, GetDesktopWindow());
    CPCloseEvent deselect;
    credential->processEvent(&deselect);
    const auto sent = keyboard.Sent();
    const KeyEvent expected[] = {{VK_SHIFT, 0}, {VK_SHIFT, KEYEVENTF_KEYUP}, {VK_ESCAPE, 0}, {VK_ESCAPE, KEYEVENTF_KEYUP}};
    ASSERT_EQ(4u, sent.size());
    for (size_t i = 0; i < 4; ++i) {
        const KEYBDINPUT& key = sent[i].input.ki;
        EXPECT_EQ(static_cast<DWORD>(INPUT_KEYBOARD), sent[i].input.type);
        EXPECT_EQ(expected[i].vk, key.wVk);
        EXPECT_EQ(expected[i].flags, key.dwFlags); // never KEYEVENTF_SCANCODE or KEYEVENTF_UNICODE
        EXPECT_EQ(MapVirtualKeyW(expected[i].vk, MAPVK_VK_TO_VSC), key.wScan);
        EXPECT_EQ(0u, key.time);
    }
    EXPECT_GE(sent[2].milliseconds - sent[1].milliseconds, 500);
}

TEST(Events, NoLogonScreenWindowNoKeys) {
    OrchestratedCredential credential;
    HxTest::FakeKeyboardInput keyboard;
    ScopedOverride window(g_parentWindow, HWND{});
    CPCloseEvent deselect;
    CPINPUTEvent input;
    credential->processEvent(&deselect);
    credential->processEvent(&input);
    EXPECT_TRUE(keyboard.Sent().empty());
}

TEST(Events, InputBringsTheApplicationWindowToTheFront) {
    HxTest::StandInScript script;
    OrchestratedCredential credential;
    HxTest::FakeKeyboardInput keyboard;
    credential->LaunchUI(0);
    ASSERT_TRUE(script.WaitForLine("WINDOW created", 10000));
    const HWND ours = CreateWindowExW(0, L"STATIC", L"test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                      nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(ours);
    Sleep(300);
    const auto activations = [&script] {
        const auto lines = script.Lines();
        return std::count(lines.begin(), lines.end(), std::string("WINDOW foreground"));
    };
    const auto before = activations();
    CPINPUTEvent input;
    credential->processEvent(&input);
    for (int i = 0; i < 50 && activations() == before; ++i)
        Sleep(50);
    EXPECT_EQ(before + 1, activations());
    DestroyWindow(ours);
}

TEST(ServiceLauncher, OneStartAtATimeAndNothingOnASmallScreen) {
    ASSERT_EQ(0u, HxStandIn::InstallStandIn(L"Halvex", L"--start-pending 1500 --start-hint 1000"));
    HxStandIn::StopAndWait(L"Halvex", 5000);
    OrchestratedCredential credential;
    HxTest::FakePriorityControl priority;
    HxTest::LogMark mark;
    credential->LaunchService();
    credential->LaunchService();
    EXPECT_EQ(1u, mark.Count("NuvCredential::LaunchService | HXService is already started or _launchServiceThread "
                             "already running"));
    for (int i = 0; i < 200 && g_launchServiceThreadRunning; ++i)
        Sleep(50);
    EXPECT_FALSE(g_launchServiceThreadRunning);
    EXPECT_EQ(1u, mark.Count("NuvCredential::ExecuteHXService | ++ after StartHXService retValue: 1"));
    EXPECT_EQ(std::vector<DWORD>{REALTIME_PRIORITY_CLASS}, priority.classes);

    NuvCredentialTestPeer::SetResolutionSupported(*credential, false);
    HxTest::LogMark small;
    credential->LaunchService();
    EXPECT_EQ((std::vector<std::string>{"NuvCredential::LaunchService | 1",
                                        "NuvCredential::LaunchService | Aborting due to unsupported resolution"}),
              small.Since());
    EXPECT_EQ(1u, priority.classes.size());
    NuvCredentialTestPeer::SetResolutionSupported(*credential, true);
    HxStandIn::StopAndWait(L"Halvex", 5000);
}

// The pipe thread outlives the provider: a LOGON after UnAdvise or after the last Release is ignored.
TEST(Faults, LogonAfterUnAdviseOrReleaseTouchesNothing) {
    OrchestratedCredential credential;
    HxTest::FakeProviderEvents events;
    credential.Provider()->Advise(&events, 1);
    credential.Provider()->UnAdvise();
    CPLogonEvent logon;
    credential->processEvent(&logon);
    EXPECT_EQ(0, events.changes);
    credential.ReleaseProvider();
    HxTest::LogMark mark;
    credential->processEvent(&logon);
    EXPECT_EQ(1u, mark.Count("NuvCredential::OnAuthenticationDataReady | the provider is gone, LOGON ignored"));
}

// A client that connects and then does nothing holds the server's loop for a bounded time only: the loop
// ends by itself, although SELF_CLOSE finds the pipe busy, and replacing the server meanwhile never
// destroys the object the loop runs on.
TEST(Faults, SilentClientNeverHoldsTheServerForGood) {
    OrchestratedCredential credential;
    const DWORD pid = 4242;
    credential->CreateIPCObjects(pid);
    Corvani::Nuv::Platform::UniqueHandle thread;
    DuplicateHandle(GetCurrentProcess(), NuvCredentialTestPeer::ServerThread(*credential), GetCurrentProcess(),
                    thread.put(), 0, FALSE, DUPLICATE_SAME_ACCESS);
    UniqueFileHandle silent;
    for (int i = 0; i < 100 && !silent; ++i, Sleep(20))
        silent.reset(CreateFileW(L"\\\\.\\pipe\\CPPipeServer4242", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(silent);
    const ULONGLONG start = GetTickCount64();
    credential->CloseAndReleaseIPCObjects(); // SELF_CLOSE finds the pipe busy; waits at most 5 s
    EXPECT_LT(GetTickCount64() - start, 8000u);
    credential->CreateIPCObjects(pid + 1); // the old loop's server stays alive for it
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread.get(), 12000));
    DWORD error = 0;
    Corvani::Nuv::IPC::NuvPipeClient(pid + 1).SelfClose(error);
}

} // namespace
