// Whether the lock screen is up, for each desktop the stand-in can show, with and without the host's
// multithreaded apartment and the automation class; and that no automation object, element or condition
// outlives a question.

#include "LockScreenFixture.h"
#include "platform/UIAutomationApi.h"
#include "support/RegistryValue.h"

#include <objbase.h>

using namespace Corvani::Nuv::CredentialProvider;
using HxLockScreen::Desktop;
using HxTest::LockScreenTest;
using HxTest::TestNameOf;
using HxTest::WithHostApartment;

namespace {

struct AnswerCase {
    Desktop desktop;
    bool visible;
};

class AnswerForEachDesktop : public WithHostApartment, public testing::WithParamInterface<AnswerCase> {};

TEST_P(AnswerForEachDesktop, IsTheScriptedOne) {
    desktop.Set(GetParam().desktop);
    EXPECT_EQ(GetParam().visible, Ask());
}

INSTANTIATE_TEST_SUITE_P(LockScreen, AnswerForEachDesktop,
                         testing::Values(AnswerCase{Desktop::SignInScreen, false},
                                         AnswerCase{Desktop::NoSignInWindow, false}, // even with the desktop focused
                                         AnswerCase{Desktop::LockScreenPage, true},
                                         AnswerCase{Desktop::DesktopFocus, true},
                                         AnswerCase{Desktop::FocusLonger, false},
                                         AnswerCase{Desktop::FocusShorter, false},
                                         AnswerCase{Desktop::RootFails, false},
                                         AnswerCase{Desktop::ConditionFails, false},
                                         AnswerCase{Desktop::FocusFails, false},
                                         AnswerCase{Desktop::ClassNameFails, false}),
                         [](const testing::TestParamInfo<AnswerCase>& info) { return TestNameOf(info.param.desktop); });

TEST_F(WithHostApartment, EachQuestionSeesTheDesktopOfThatMoment) {
    const struct {
        Desktop desktop;
        bool visible;
    } steps[] = {{Desktop::LockScreenPage, true},
                 {Desktop::SignInScreen, false},
                 {Desktop::DesktopFocus, true},
                 {Desktop::NoSignInWindow, false},
                 {Desktop::LockScreenPage, true}};
    for (const auto& step : steps) {
        desktop.Set(step.desktop);
        EXPECT_EQ(step.visible, Ask()) << HxLockScreen::NameOf(step.desktop);
    }
}

TEST_F(WithHostApartment, IsWindows7IsFalseOnThisSystem) { EXPECT_FALSE(IsWindows7()); }

// The automation class made unavailable for the length of the test, then put back.
struct UnregisteredCase {
    const char* name;
    void (*apply)(HxTest::ScopedRegistryValue& server);
};

class WithoutAutomationClass : public WithHostApartment, public testing::WithParamInterface<UnregisteredCase> {};

TEST_P(WithoutAutomationClass, AnswersFalseUntilItIsBack) {
    desktop.Set(Desktop::LockScreenPage);
    {
        HxTest::ScopedRegistryValue server(HxTest::kAutomationServerKey, L"");
        GetParam().apply(server);
        EXPECT_FALSE(Ask());
        EXPECT_EQ(0, counters.Read().automations);
    }
    EXPECT_TRUE(Ask());
}

INSTANTIATE_TEST_SUITE_P(LockScreen, WithoutAutomationClass,
                         testing::Values(UnregisteredCase{"ServerValueRemoved",
                                                          [](HxTest::ScopedRegistryValue& server) { server.Remove(); }},
                                         UnregisteredCase{"ServerModuleMissing",
                                                          [](HxTest::ScopedRegistryValue& server) {
                                                              server.SetString(L"C:\\no-such-automation-server.dll");
                                                          }}),
                         [](const testing::TestParamInfo<UnregisteredCase>& info) { return info.param.name; });

// No multithreaded apartment anywhere in the process (the tests' own thread is single-threaded): the
// question's thread has no apartment to join and the answer is false, with the lock screen up.
TEST_F(LockScreenTest, WithoutTheHostsMultithreadedApartmentAnswersFalse) {
    desktop.Set(Desktop::LockScreenPage);
    const LONG createdBefore = counters.Read().automationsCreated;
    bool answer = true;
    HRESULT apartmentAfter = S_OK;
    HxTest::RunOnPlainThread([&] {
        answer = credential->IsLockScreenVisible();
        APTTYPE type;
        APTTYPEQUALIFIER qualifier;
        apartmentAfter = CoGetApartmentType(&type, &qualifier);
    });
    EXPECT_FALSE(answer);
    // The question did not initialise COM on its thread.
    EXPECT_EQ(CO_E_NOTINITIALIZED, apartmentAfter);
    EXPECT_EQ(createdBefore, counters.Read().automationsCreated);
}

TEST_F(WithHostApartment, TheQuestionsThreadJoinsTheHostsApartmentWithoutInitialisingCom) {
    desktop.Set(Desktop::LockScreenPage);
    bool answer = false;
    APTTYPE type = APTTYPE_STA;
    APTTYPEQUALIFIER qualifier = APTTYPEQUALIFIER_NONE;
    HxTest::RunOnPlainThread([&] {
        answer = credential->IsLockScreenVisible();
        CoGetApartmentType(&type, &qualifier);
    });
    EXPECT_TRUE(answer);
    EXPECT_EQ(APTTYPE_MTA, type);
    EXPECT_EQ(APTTYPEQUALIFIER_IMPLICIT_MTA, qualifier);
}

// Every question creates its automation objects afresh (one per lookup made) and releases them, with every
// element and condition, before it answers.
struct NothingKeptCase {
    Desktop desktop;
    LONG automationsPerQuestion;
};

class NothingOutlivesAQuestion : public WithHostApartment, public testing::WithParamInterface<NothingKeptCase> {};

TEST_P(NothingOutlivesAQuestion, OverManyQuestions) {
    desktop.Set(GetParam().desktop);
    const LONG createdBefore = counters.Read().automationsCreated;
    constexpr LONG kQuestions = 50;
    HxTest::RunOnPlainThread([&] {
        for (LONG i = 0; i < kQuestions; ++i)
            credential->IsLockScreenVisible();
    });
    const HxLockScreen::LiveObjects live = counters.Read();
    EXPECT_EQ(0, live.automations);
    EXPECT_EQ(0, live.elements);
    EXPECT_EQ(0, live.conditions);
    EXPECT_EQ(kQuestions * GetParam().automationsPerQuestion, live.automationsCreated - createdBefore);
}

INSTANTIATE_TEST_SUITE_P(LockScreen, NothingOutlivesAQuestion,
                         testing::Values(NothingKeptCase{Desktop::NoSignInWindow, 1},
                                         NothingKeptCase{Desktop::LockScreenPage, 2},
                                         NothingKeptCase{Desktop::DesktopFocus, 3},
                                         NothingKeptCase{Desktop::SignInScreen, 3},
                                         NothingKeptCase{Desktop::RootFails, 1},
                                         NothingKeptCase{Desktop::ConditionFails, 1},
                                         NothingKeptCase{Desktop::FocusFails, 3},
                                         NothingKeptCase{Desktop::ClassNameFails, 3}),
                         [](const testing::TestParamInfo<NothingKeptCase>& info) {
                             return TestNameOf(info.param.desktop);
                         });

// The element of each lookup is the caller's; the lookup of the page takes over the sign-in window's.
TEST_F(WithHostApartment, ElementsReturnedAreTheCallersAndThePageLookupReleasesTheWindow) {
    desktop.Set(Desktop::LockScreenPage);
    LONG withWindow = -1, withPage = -1, afterRelease = -1;
    bool pageFound = false;
    HxTest::RunOnPlainThread([&] {
        IUIAutomationElement* window = credential->GetTopLevelWindowByName();
        withWindow = counters.Read().elements;
        IUIAutomationElement* page = credential->GetChildWindowByName(window);
        withPage = counters.Read().elements;
        pageFound = page != nullptr;
        if (page)
            page->Release();
        afterRelease = counters.Read().elements;
    });
    EXPECT_TRUE(pageFound);
    EXPECT_EQ(1, withWindow);
    EXPECT_EQ(1, withPage);
    EXPECT_EQ(0, afterRelease);
}

TEST_F(WithHostApartment, TheFocusedDesktopElementIsTheCallers) {
    const struct {
        Desktop desktop;
        LONG aliveWithAnswer;
    } cases[] = {{Desktop::DesktopFocus, 1}, {Desktop::FocusLonger, 0}, {Desktop::FocusShorter, 0}};
    for (const auto& row : cases) {
        desktop.Set(row.desktop);
        LONG alive = -1, afterRelease = -1;
        HxTest::RunOnPlainThread([&] {
            IUIAutomationElement* focused = credential->GetChildPaneByName();
            alive = counters.Read().elements;
            if (focused)
                focused->Release();
            afterRelease = counters.Read().elements;
        });
        EXPECT_EQ(row.aliveWithAnswer, alive) << HxLockScreen::NameOf(row.desktop);
        EXPECT_EQ(0, afterRelease) << HxLockScreen::NameOf(row.desktop);
    }
}

} // namespace
