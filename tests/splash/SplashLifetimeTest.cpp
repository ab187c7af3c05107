// How the splash ends: not by Alt+F4, by WM_CLOSE, by its keep-alive after the last press, by the close
// routine and by a later credential construction; and the keep-alive presses of each Show.

#include "SplashScene.h"

#include "support/FakeOutsideEffects.h"

#include <gtest/gtest.h>

namespace {

using namespace HxTest;
using Corvani::Nuv::CredentialProvider::g_splashScreen;
using Corvani::Nuv::CredentialProvider::g_splashThreadId;
using Corvani::Nuv::Platform::UniqueHandle;

// A keep-alive that outlasts what the test does to the window, so that only the test can close it.
constexpr SplashKeepAlivePace kLongPace{40, 100};
constexpr DWORD kInputSettleMilliseconds = 1000;
constexpr DWORD kCloseTimeoutMilliseconds = 5000;

void SendKey(WORD key, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

// Real input into this test's own X screen: the window must have the keyboard.
bool PressAltF4On(HWND window) {
    SetForegroundWindow(window);
    if (!WaitFor([window] { return GetForegroundWindow() == window; }, kCloseTimeoutMilliseconds))
        return false;
    SendKey(VK_MENU, 0);
    SendKey(VK_F4, 0);
    SendKey(VK_F4, KEYEVENTF_KEYUP);
    SendKey(VK_MENU, KEYEVENTF_KEYUP);
    return true;
}

HANDLE WindowThreadCopy() {
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), g_splashScreen.threadHandle.get(), GetCurrentProcess(), &copy, SYNCHRONIZE,
                    FALSE, 0);
    return copy;
}

bool ThreadEnded(HANDLE thread) { return WaitForSingleObject(thread, kCloseTimeoutMilliseconds) == WAIT_OBJECT_0; }

size_t ShiftPresses(const std::vector<FakeKeyboardInput::Press>& sent) {
    size_t downs = 0;
    for (const FakeKeyboardInput::Press& press : sent)
        downs += press.input.ki.wVk == VK_SHIFT && !(press.input.ki.dwFlags & KEYEVENTF_KEYUP);
    return downs;
}

// Control row first: the same keys close an ordinary window, so they do reach the window that has them.
TEST(AltF4, ClosesAnOrdinaryWindow) {
    PumpedWindow ordinary;
    ASSERT_TRUE(PressAltF4On(ordinary.get()));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(ordinary.get()); }, kCloseTimeoutMilliseconds));
}

TEST(AltF4, DoesNotCloseTheSplash) {
    FakeKeyboardInput keyboard;
    SplashScene scene(2, nullptr, kLongPace);
    scene.ShowSplashScreen();
    const HWND splash = scene.Window();
    ASSERT_TRUE(PressAltF4On(splash));
    Sleep(kInputSettleMilliseconds);
    EXPECT_TRUE(IsWindow(splash));
    EXPECT_TRUE(IsWindowVisible(splash));
}

struct CloseRow {
    const char* name;
    std::function<void(SplashScene&)> close;
    bool threadHandleKept; // the keep-alive closes through WM_CLOSE and leaves the handle for the module's close
};

class WhatClosesTheSplash : public testing::TestWithParam<CloseRow> {};

TEST_P(WhatClosesTheSplash, WindowGoneAndWindowThreadEnded) {
    const CloseRow& row = GetParam();
    FakeKeyboardInput keyboard;
    SplashScene scene(2, nullptr, kLongPace);
    scene.ShowSplashScreen();
    const HWND splash = scene.Window();
    ASSERT_TRUE(IsWindowVisible(splash));
    UniqueHandle windowThread(WindowThreadCopy());
    row.close(scene);
    EXPECT_TRUE(WaitFor([splash] { return !IsWindow(splash); }, kCloseTimeoutMilliseconds));
    EXPECT_TRUE(ThreadEnded(windowThread.get()));
    EXPECT_EQ(row.threadHandleKept, static_cast<bool>(g_splashScreen.threadHandle));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WhatClosesTheSplash,
    testing::Values(
        CloseRow{"WmClose", [](SplashScene& s) { SendMessageW(s.Window(), WM_CLOSE, 0, 0); }, true},
        CloseRow{"CloseRoutineOfTheModule", [](SplashScene&) { g_splashScreen.Close(); }, false},
        CloseRow{"LaterCredentialConstruction", [](SplashScene& s) { s.ConstructAgain(); }, false}),
    [](const testing::TestParamInfo<CloseRow>& info) { return info.param.name; });

TEST(SplashReset, LeavesNoWindowAndNoWindowThreadBehind) {
    FakeKeyboardInput keyboard;
    SplashScene scene(2, nullptr, kLongPace);
    scene.ShowSplashScreen();
    scene.ConstructAgain();
    EXPECT_EQ(nullptr, scene.Window());
    EXPECT_EQ(0, g_splashScreen.windowCreated);
    EXPECT_EQ(0u, g_splashThreadId);
}

struct KeepAliveRow {
    const char* name;
    int shows;
};

class KeepAlive : public testing::TestWithParam<KeepAliveRow> {};

// Every Show starts one keep-alive: each presses Shift its count of times, and the first to finish
// closes the window.
TEST_P(KeepAlive, PressesShiftForEachShowThenClosesTheWindow) {
    const KeepAliveRow& row = GetParam();
    FakeKeyboardInput keyboard;
    PumpedWindow logonWindow;
    SplashScene scene(2, logonWindow.get(), kShortPace);
    for (int show = 0; show < row.shows; ++show)
        scene.ShowSplashScreen();
    const HWND splash = scene.Window();
    const size_t presses = static_cast<size_t>(row.shows) * kShortPace.presses;

    size_t pressesWhenClosed = 0;
    ASSERT_TRUE(WaitFor(
        [&] {
            pressesWhenClosed = ShiftPresses(keyboard.Sent());
            return !IsWindow(splash);
        },
        kShortPace.presses * kShortPace.intervalMilliseconds + 10000));
    EXPECT_GE(pressesWhenClosed, kShortPace.presses) << "the window stays up for the first keep-alive's presses";
    ASSERT_TRUE(scene.WaitForSplashThreadsToEnd(10000));

    const std::vector<FakeKeyboardInput::Press> sent = keyboard.Sent();
    EXPECT_EQ(presses, ShiftPresses(sent));
    ASSERT_EQ(presses * 2, sent.size()) << "a down and an up event per press, nothing else";
    for (size_t i = 0; i < sent.size(); ++i)
        EXPECT_EQ(i % 2 == 1, (sent[i].input.ki.dwFlags & KEYEVENTF_KEYUP) != 0) << "event " << i;
}

INSTANTIATE_TEST_SUITE_P(Rows, KeepAlive, testing::Values(KeepAliveRow{"OneShow", 1}, KeepAliveRow{"TwoShows", 2}),
                         [](const testing::TestParamInfo<KeepAliveRow>& info) { return info.param.name; });

TEST(KeepAlive, WithoutLogonWindowPressesNothingAndStillClosesTheWindow) {
    FakeKeyboardInput keyboard;
    SplashScene scene(2, nullptr, kShortPace);
    scene.ShowSplashScreen();
    const HWND splash = scene.Window();
    EXPECT_TRUE(WaitFor([splash] { return !IsWindow(splash); }, 10000));
    EXPECT_TRUE(keyboard.Sent().empty());
}

} // namespace
