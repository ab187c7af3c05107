// What the splash puts on a 1920 x 1080 X screen, for each value of "SPLASHSCREEN_ENABLE".

#include "SplashScene.h"
#include "XScreenShot.h"

#include "support/FakeOutsideEffects.h"

#include <gtest/gtest.h>

namespace {

using namespace HxTest;

constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kTextColour = RGB(35, 113, 184);
constexpr DWORD kPictureTimeoutMilliseconds = 10000;

// The box around the centre that holds the product name; everything outside it must be white.
constexpr RECT kTextBox = {960 - 220, 540 - 80, 960 + 220, 540 + 80};

struct Ink {
    RECT bounds = {LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN}; // of every pixel that is not white
    int textColourPixels = 0;
    int nonWhiteOutsideTextBox = 0;
};

Ink InkOf(const XScreenShot& shot) {
    Ink ink;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const COLORREF pixel = shot.At(x, y);
            if (pixel == kWhite)
                continue;
            ink.bounds = {std::min(ink.bounds.left, LONG(x)), std::min(ink.bounds.top, LONG(y)),
                          std::max(ink.bounds.right, LONG(x)), std::max(ink.bounds.bottom, LONG(y))};
            const POINT point = {x, y};
            if (!PtInRect(&kTextBox, point))
                ++ink.nonWhiteOutsideTextBox;
            if (pixel == kTextColour)
                ++ink.textColourPixels;
        }
    }
    return ink;
}

// The picture's pixels that differ from the screen when its top left lies at (left, top); -1 without a picture.
int PictureMismatches(const XScreenShot& shot, int left, int top) {
    int width = 0, height = 0;
    const std::vector<COLORREF> picture = SplashPicturePixels(width, height);
    if (picture.empty() || left + width > shot.width || top + height > shot.height)
        return -1;
    int mismatches = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            mismatches += shot.At(left + x, top + y) != picture[static_cast<size_t>(y) * width + x];
    return mismatches;
}

int NonWhiteOutside(const XScreenShot& shot, const RECT& inside) {
    int count = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            count += !PtInRect(&inside, POINT{x, y}) && shot.At(x, y) != kWhite;
    return count;
}

// The window is painted by its own thread and reaches the X server a moment later: photograph until the
// screen shows what the row expects, and judge the last picture.
XScreenShot ShotOnceSettled(const std::function<bool(const XScreenShot&)>& settled) {
    XScreenShot shot;
    WaitFor(
        [&] {
            shot = TakeXScreenShot();
            return shot.error.empty() && settled(shot);
        },
        kPictureTimeoutMilliseconds);
    return shot;
}

TEST(SplashScreenSize, TheTestsRunOnA1920By1080Screen) {
    EXPECT_EQ(kScreenWidth, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(kScreenHeight, GetSystemMetrics(SM_CYSCREEN));
    const XScreenShot shot = TakeXScreenShot();
    ASSERT_EQ("", shot.error);
    EXPECT_EQ(kScreenWidth, shot.width);
    EXPECT_EQ(kScreenHeight, shot.height);
}

TEST(SplashPicture, TextModeIsTheProductNameInBlueCentredOnWhite) {
    FakeKeyboardInput keyboard;
    SplashScene scene(2, nullptr, kShortPace);
    scene.ShowSplashScreen();
    const XScreenShot shot = ShotOnceSettled([](const XScreenShot& s) { return InkOf(s).textColourPixels > 0; });
    ASSERT_EQ("", shot.error);
    const Ink ink = InkOf(shot);
    EXPECT_GT(ink.textColourPixels, 100) << "the strokes of a 60-pixel font hold many pixels of the text colour";
    EXPECT_EQ(0, ink.nonWhiteOutsideTextBox) << "the whole screen is white around the name";
    const LONG inkWidth = ink.bounds.right - ink.bounds.left + 1;
    const LONG inkHeight = ink.bounds.bottom - ink.bounds.top + 1;
    RecordProperty("ink", std::to_string(ink.bounds.left) + "," + std::to_string(ink.bounds.top) + " to " +
                              std::to_string(ink.bounds.right) + "," + std::to_string(ink.bounds.bottom) + ", " +
                              std::to_string(ink.textColourPixels) + " pixels of the text colour");
    EXPECT_NEAR(960, (ink.bounds.left + ink.bounds.right) / 2, 6);
    EXPECT_NEAR(540, (ink.bounds.top + ink.bounds.bottom) / 2, 15);
    EXPECT_GT(inkWidth, 100);
    EXPECT_LT(inkWidth, 400);
    EXPECT_GT(inkHeight, 25);
    EXPECT_LE(inkHeight, 60);
}

TEST(SplashPicture, PictureModeDrawsBitmap101WithItsTopLeftAt835And393) {
    FakeKeyboardInput keyboard;
    SplashScene scene(1, nullptr, kShortPace);
    scene.ShowSplashScreen();
    const XScreenShot shot = ShotOnceSettled([](const XScreenShot& s) { return PictureMismatches(s, 835, 393) == 0; });
    ASSERT_EQ("", shot.error);
    EXPECT_EQ(0, PictureMismatches(shot, 835, 393));
    EXPECT_EQ(0, NonWhiteOutside(shot, RECT{835, 393, 835 + 250, 393 + 294})) << "white around the picture";
    EXPECT_NE(0, PictureMismatches(shot, 836, 393)) << "one pixel to the side no longer matches";
    EXPECT_NE(0, PictureMismatches(shot, 835, 394)) << "one pixel lower no longer matches";
}

struct SettingRow {
    const char* name;
    std::optional<DWORD> setting;
    bool windowShown;
};

class SettingDecidesTheWindow : public testing::TestWithParam<SettingRow> {};

TEST_P(SettingDecidesTheWindow, OfShowSplashScreen) {
    const SettingRow& row = GetParam();
    FakeKeyboardInput keyboard;
    PumpedWindow logonWindow;
    ScopedOverride noWindowThreadYet(Corvani::Nuv::CredentialProvider::g_splashThreadId, DWORD{0});
    SplashScene scene(row.setting, logonWindow.get(), kShortPace);
    scene.ShowSplashScreen();
    const HWND shown = FindWindowW(L"HXSplashScreen", nullptr);
    EXPECT_EQ(row.windowShown, shown != nullptr && IsWindowVisible(shown));
    EXPECT_EQ(row.windowShown, Corvani::Nuv::CredentialProvider::g_splashThreadId != 0) << "window thread started";
    if (!row.windowShown) {
        Sleep(kShortPace.intervalMilliseconds * 2);
        EXPECT_TRUE(keyboard.Sent().empty()) << "no keep-alive presses";
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, SettingDecidesTheWindow,
                         testing::Values(SettingRow{"Absent", std::nullopt, false}, SettingRow{"Zero", 0, false},
                                         SettingRow{"Picture", 1, true}, SettingRow{"Text", 2, true}),
                         [](const testing::TestParamInfo<SettingRow>& info) { return info.param.name; });

} // namespace
