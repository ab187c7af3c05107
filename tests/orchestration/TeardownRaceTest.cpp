// A launch in flight meets LogonUI's calls: a kill, a close, the provider released, the tile selected
// and deselected. Whatever comes first, no UI process outlives the teardown, no handle is left behind,
// and a peer that never reads holds LogonUI's thread no longer than the write's bound.

#include "orchestration/Orchestration.h"
#include "support/FakeEvents.h"
#include "support/FakeOutsideEffects.h"
#include "support/HandleCount.h"
#include "support/WaitFor.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace Corvani::Nuv::CredentialProvider;
using HxTest::OrchestratedCredential;
using HxTest::StandInScript;

constexpr DWORD kPatience = 10000;
// Early in the trust check, late in it, and around the shell start.
constexpr DWORD kDelays[] = {0, 5, 20, 60, 150, 400};

struct TeardownRow {
    const char* name;
    std::function<void(OrchestratedCredential&)> teardown;
};

class TeardownDuringLaunch : public testing::TestWithParam<TeardownRow> {};

TEST_P(TeardownDuringLaunch, LeavesNoUIProcessAndNoHandle) {
    HxTest::FakeKeyboardInput keyboard;
    HxTest::FakePriorityControl priority;
    StandInScript script;
    const int handlesBefore = HxTest::CountOpenHandles();
    for (DWORD delay : kDelays) {
        OrchestratedCredential credential;
        credential->LaunchUI(1);
        Sleep(delay);
        GetParam().teardown(credential);
        ASSERT_TRUE(HxTest::WaitFor([] { return !g_executeUIThreadRunning; }, kPatience)) << delay;
        EXPECT_TRUE(HxTest::WaitFor([] { return HxTest::UIProcessIds().empty(); }, kPatience))
            << "a UI process outlived the teardown " << delay << " ms into the launch";
    }
    // The fixture's own kills have run; what remains open is what the launches and teardowns left.
    EXPECT_LE(HxTest::CountOpenHandles(), handlesBefore + 2);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TeardownDuringLaunch,
    testing::Values(TeardownRow{"Kill", [](OrchestratedCredential& c) { c->FindAndKillNuvUI(); }},
                    TeardownRow{"UnAdvise", [](OrchestratedCredential& c) { c.Provider()->UnAdvise(); }},
                    TeardownRow{"LastRelease",
                                [](OrchestratedCredential& c) {
                                    // The provider's own kill by name is part of what is tested here.
                                    HxTest::RealProcessTermination real;
                                    c.Provider()->UnAdvise();
                                    c.ReleaseProvider();
                                }}),
    [](const testing::TestParamInfo<TeardownRow>& info) { return info.param.name; });

// Selections and deselections while the asynchronous launch runs: one UI process at most, and none after
// the kill.
TEST(SelectionDuringLaunch, StartsOneUIProcessAtMost) {
    HxTest::FakeKeyboardInput keyboard;
    HxTest::FakePriorityControl priority;
    StandInScript script;
    OrchestratedCredential credential;
    credential->LaunchUI(1);
    for (int round = 0; round < 5; ++round) {
        BOOL autoLogon = FALSE;
        credential->SetSelected(&autoLogon);
        Sleep(30);
        credential->SetDeselected();
    }
    ASSERT_TRUE(HxTest::WaitFor([] { return !g_executeUIThreadRunning; }, kPatience));
    Sleep(1000);
    EXPECT_LE(HxTest::UIProcessIds().size(), 1u);
    credential->FindAndKillNuvUI();
    EXPECT_TRUE(HxTest::WaitFor([] { return HxTest::UIProcessIds().empty(); }, kPatience));
}

// The UI application accepts the connection and never reads: CLOSE's write gives up after its bound, the
// application is killed instead, and UnAdvise returns.
TEST(NeverReadingPeer, UnAdviseReturnsWithinTheWriteBoundAndKillsTheApplication) {
    StandInScript script(L"--never-read");
    OrchestratedCredential credential;
    credential->LaunchUI(0);
    ASSERT_TRUE(script.WaitForLine("START", kPatience));
    const DWORD pid = UIProcessId();
    ASSERT_NE(0u, pid);
    const ULONGLONG start = GetTickCount64();
    credential.Provider()->UnAdvise();
    const ULONGLONG held = GetTickCount64() - start;
    EXPECT_LT(held, 9000u) << "the write is bounded at 5 s, the server's stop at 5 s more only when stuck";
    EXPECT_TRUE(script.WaitForLine("NEVERREAD", 1000));
    EXPECT_EQ(0u, UIProcessId());
    EXPECT_TRUE(HxTest::WaitFor([] { return HxTest::UIProcessIds().empty(); }, kPatience));

    HxTest::FakeProviderEvents events;
    const ULONGLONG adviseStart = GetTickCount64();
    EXPECT_EQ(S_OK, credential.Provider()->Advise(&events, 1));
    EXPECT_LT(GetTickCount64() - adviseStart, 9000u);
    credential.Provider()->UnAdvise();
}

} // namespace
