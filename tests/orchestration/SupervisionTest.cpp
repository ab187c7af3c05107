// The supervision thread's routine run on a thread of the test, against the lock-screen stand-in: the
// waits it makes and what it sends, or does not send, when the tile is deselected or SHOW keeps failing.

#include "LockScreenScript.h"
#include "orchestration/Orchestration.h"
#include "support/CapturedLog.h"
#include "support/FakeOutsideEffects.h"
#include "support/ScopedOverride.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

namespace {

using namespace Corvani::Nuv::CredentialProvider;
using HxTest::OrchestratedCredential;
using HxTest::ScopedOverride;

// The routine on a thread of its own, as SetSelected starts it; the test deselects and waits for the end.
class SupervisionRun {
public:
    explicit SupervisionRun(NuvCredential& credential)
        : _thread(CreateThread(nullptr, 0, LaunchAndShowUI, &credential, 0, nullptr)) {}
    bool Ended(DWORD ms) { return WaitForSingleObject(_thread.get(), ms) == WAIT_OBJECT_0; }

private:
    Corvani::Nuv::Platform::UniqueHandle _thread;
};

// No key presses and no priority raised on the test machine. No helper apartment either: LogonUI
// promises none, and the supervision thread enters the one it needs itself (the lock screen is found
// through UI Automation in the road below only because it does).
struct Quiet {
    HxTest::FakeKeyboardInput keyboard;
    HxTest::FakePriorityControl priority;
};

TEST(Supervision, DeselectionDuringTheDismissalWaitEndsWithoutShow) {
    Quiet quiet;
    HxTest::StandInScript script;
    OrchestratedCredential credential;
    HxLockScreen::ScopedDesktop lockScreen(HxLockScreen::Desktop::LockScreenPage);
    ScopedOverride selected(IsHXCPSelected, true);
    SupervisionRun run(*credential);
    ASSERT_TRUE(script.WaitForLine("START", 10000));
    Sleep(500); // the thread now waits for the dismissal
    IsHXCPSelected = false;
    ASSERT_TRUE(run.Ended(5000));
    for (const std::string& line : script.Lines())
        EXPECT_EQ(std::string::npos, line.find("\"SHOW\"")) << line;
    EXPECT_NE(std::string::npos, script.Lines().front().find("hidden=1"));
}

// Nobody has touched the machine since the provider came up: the thread waits five times 200 ms for the
// lock screen before it decides that none is coming.
TEST(Supervision, NoInputSinceTheProviderCameUpWaitsForTheLockScreen) {
    Quiet quiet;
    HxTest::StandInScript script;
    OrchestratedCredential credential;
    HxLockScreen::ScopedDesktop noLockScreen(HxLockScreen::Desktop::SignInScreen);
    LASTINPUTINFO input = {sizeof(input), 0};
    GetLastInputInfo(&input);
    ScopedOverride lastProvider(IsNuvLastLoggedOn, true);
    ScopedOverride baseline(g_baselineInputTime, input.dwTime);
    ScopedOverride selected(IsHXCPSelected, true);
    const HxLockScreen::CountersSection lockScreen;
    const LONG askedBefore = lockScreen.Read().automationsCreated;
    const ULONGLONG began = GetTickCount64();
    SupervisionRun run(*credential);
    ASSERT_TRUE(script.WaitForLine("START", 15000));
    const ULONGLONG started = GetTickCount64();
    const LONG asked = lockScreen.Read().automationsCreated - askedBefore;
    ASSERT_TRUE(script.WaitForLine("RECV", 15000));
    IsHXCPSelected = false;
    ASSERT_TRUE(run.Ended(5000));
    // Before the start: the first look, the one before the waits, one after each of the five waits and the
    // last; a question on the sign-in screen makes three automation objects. Without the waits: three looks.
    EXPECT_GE(asked, 8 * 3);
    EXPECT_GE(started - began, 5 * 200u);
    EXPECT_NE(std::string::npos, script.Lines().front().find("hidden=0"));
}

// A launch that failed is not noticed: four SHOW attempts, then the hidden state's polling.
TEST(Supervision, FourFailedShowsThenTheHiddenState) {
    Quiet quiet;
    OrchestratedCredential credential;
    HxLockScreen::ScopedDesktop noLockScreen(HxLockScreen::Desktop::SignInScreen);
    ScopedOverride unsignedFile(g_uiExecutablePath, HxTest::BinDirectory() + L"..\\bin\\Corvani.Halvex.UI.exe");
    ScopedOverride lastProvider(IsNuvLastLoggedOn, false);
    ScopedOverride selected(IsHXCPSelected, true);
    HxTest::LogMark mark;
    SupervisionRun run(*credential);
    for (int i = 0; i < 400 && mark.Count("NuvCredential::LaunchAndShowUI | UI hidden and lock screen was removded, "
                                          "send SHOW to UI") == 0;
         ++i)
        Sleep(100);
    IsHXCPSelected = false;
    ASSERT_TRUE(run.Ended(10000));
    // Four attempts: the retry rule, seen only in the trace, for no pipe was there to be reached.
    EXPECT_EQ(4u, mark.Count("NuvCredential::LaunchAndShowUI | SendShow loop"));
    EXPECT_TRUE(quiet.keyboard.Sent().empty()); // no SHOW went through, so no key woke the screen
    EXPECT_TRUE(HxTest::UIProcessIds().empty());
}

} // namespace
