// The splash's trace text, as support staff read it in CP.log: one line per ShowSplashScreen, whatever
// the setting.

#include "SplashScene.h"

#include "support/CapturedLog.h"
#include "support/FakeOutsideEffects.h"

#include <gtest/gtest.h>

namespace {

using namespace HxTest;

struct TraceRow {
    const char* name;
    std::optional<DWORD> setting;
};

class SplashTraceText : public testing::TestWithParam<TraceRow> {};

TEST_P(SplashTraceText, OneLinePerShowSplashScreen) {
    FakeKeyboardInput keyboard;
    SplashScene scene(GetParam().setting, nullptr, kShortPace);
    LogMark mark;
    scene.ShowSplashScreen();
    EXPECT_EQ(std::vector<std::string>{"NuvCredential::ShowSplashScreen | --"}, mark.Since());
}

INSTANTIATE_TEST_SUITE_P(Rows, SplashTraceText,
                         testing::Values(TraceRow{"Absent", std::nullopt}, TraceRow{"Zero", 0}, TraceRow{"Picture", 1},
                                         TraceRow{"Text", 2}),
                         [](const testing::TestParamInfo<TraceRow>& info) { return info.param.name; });

} // namespace
