// The trace lines of the lock-screen question, in order, as support staff read them in CP.log: one row per
// road through the question. (The Windows 7 line and the three allocation failures cannot be reached here.)

#include "LockScreenFixture.h"
#include "platform/UIAutomationApi.h"
#include "support/CapturedLog.h"
#include "support/RegistryValue.h"

#include <algorithm>
#include <memory>
#include <optional>

using HxLockScreen::Desktop;
using Lines = std::vector<std::string>;

namespace {

const std::string kVisible = "NuvCredential::IsLockScreenVisible | ";
const std::string kPresent = "NuvCredential::IsLockScreenPresent | ";
const std::string kTop = "NuvCredential::GetTopLevelWindowByName | ";
const std::string kChild = "NuvCredential::GetChildWindowByName | ";
const std::string kPane = "NuvCredential::GetChildPaneByName | ";

Lines Join(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const Lines kTopFound = {kTop + "--", kTop + "\\--"};
const Lines kChildSearched = {kChild + "--", kChild + "gAutomation == NULL", kChild + "property condition OK",
                              kChild + "\\--"};
const Lines kPaneAsked = {kPane + "--", kPane + "gAutomation == null", kPane + "\\--"};
const Lines kWindowNoPage = Join({{kVisible + "--"}, kTopFound, {kPresent + "windowsSignIn != NULL"},
                                  kChildSearched, {kPresent + "LockScreen NOT found"}});

// What the row asks: the whole question, or one lookup with the automation class or a condition failing.
enum class Ask { Question, ChildWindowWithoutClass, ChildWindowConditionFails, PaneWithoutClass };

struct TraceCase {
    const char* name;
    Desktop desktop;
    bool hostApartment;
    Ask ask;
    Lines expected;
};

const TraceCase kTraceCases[] = {
    {"LockScreenPage", Desktop::LockScreenPage, true, Ask::Question,
     Join({{kVisible + "--"}, kTopFound, {kPresent + "windowsSignIn != NULL"}, kChildSearched,
           {kPresent + "LockScreen found"}})},
    {"DesktopFocus", Desktop::DesktopFocus, true, Ask::Question,
     Join({kWindowNoPage, kPaneAsked, {kPresent + "LockScreen found"}})},
    {"FocusElsewhere", Desktop::FocusLonger, true, Ask::Question,
     Join({kWindowNoPage, kPaneAsked, {kPresent + "LockScreen NOT found"}})},
    {"NoSignInWindow", Desktop::NoSignInWindow, true, Ask::Question,
     Join({{kVisible + "--"}, kTopFound, {kPresent + "ERROR Windows sign-in NOT found"}})},
    {"NoHostApartment", Desktop::LockScreenPage, false, Ask::Question,
     {kVisible + "--", kTop + "--", kTop + "ERROR Failed to create gAutomation", kTop + "\\--",
      kPresent + "ERROR Windows sign-in NOT found"}},
    {"RootFails", Desktop::RootFails, true, Ask::Question,
     {kVisible + "--", kTop + "--", kTop + "ERROR Failed to get root element", kTop + "\\--",
      kPresent + "ERROR Windows sign-in NOT found"}},
    {"ConditionFails", Desktop::ConditionFails, true, Ask::Question,
     {kVisible + "--", kTop + "--", kTop + "ERROR Failed to create property condition", kTop + "\\--",
      kPresent + "ERROR Windows sign-in NOT found"}},
    {"FocusFails", Desktop::FocusFails, true, Ask::Question,
     Join({kWindowNoPage,
           {kPane + "--", kPane + "gAutomation == null", kPane + "ERROR Failed to GetFocusedElement", kPane + "\\--",
            kPresent + "LockScreen NOT found"}})},
    {"ClassNameFails", Desktop::ClassNameFails, true, Ask::Question,
     Join({kWindowNoPage,
           {kPane + "--", kPane + "gAutomation == null", kPane + "ERROR Failed to get_CurrentClassName",
            kPane + "\\--", kPresent + "LockScreen NOT found"}})},
    {"ChildWindowWithoutClass", Desktop::SignInScreen, true, Ask::ChildWindowWithoutClass,
     {kChild + "--", kChild + "gAutomation == NULL", kChild + "ERROR Failed to fcreate gAutomation", kChild + "\\--"}},
    {"ChildWindowConditionFails", Desktop::SignInScreen, true, Ask::ChildWindowConditionFails,
     {kChild + "--", kChild + "gAutomation == NULL", kChild + "ERROR Failed to create property condition",
      kChild + "\\--"}},
    {"PaneWithoutClass", Desktop::DesktopFocus, true, Ask::PaneWithoutClass,
     {kPane + "--", kPane + "gAutomation == null", kPane + "ERROR Failed to create gAutomation", kPane + "\\--"}},
};

class LockScreenTrace : public HxTest::LockScreenTest, public testing::WithParamInterface<TraceCase> {
protected:
    // The messages the row's lookups write, from a thread that never initialises COM.
    Lines Run(const TraceCase& row) {
        std::optional<HxTest::LogMark> mark;
        HxTest::RunOnPlainThread([&] {
            std::optional<HxTest::ScopedRegistryValue> server;
            IUIAutomationElement* window = nullptr;
            if (row.ask == Ask::ChildWindowWithoutClass || row.ask == Ask::ChildWindowConditionFails)
                window = credential->GetTopLevelWindowByName();
            if (row.ask == Ask::ChildWindowWithoutClass || row.ask == Ask::PaneWithoutClass) {
                server.emplace(HxTest::kAutomationServerKey, L"");
                server->Remove();
            }
            if (row.ask == Ask::ChildWindowConditionFails)
                desktop.Set(Desktop::ConditionFails);
            mark.emplace();
            switch (row.ask) {
            case Ask::Question:
                credential->IsLockScreenVisible();
                break;
            case Ask::ChildWindowWithoutClass:
            case Ask::ChildWindowConditionFails:
                if (IUIAutomationElement* page = credential->GetChildWindowByName(window))
                    page->Release();
                break;
            case Ask::PaneWithoutClass:
                if (IUIAutomationElement* focused = credential->GetChildPaneByName())
                    focused->Release();
                break;
            }
        });
        Lines lines = mark ? mark->Since() : Lines();
        lines.erase(std::remove(lines.begin(), lines.end(), std::string()), lines.end());
        return lines;
    }
};

TEST_P(LockScreenTrace, WritesTheLinesOfItsRoad) {
    const TraceCase& row = GetParam();
    std::unique_ptr<HxTest::MultithreadedApartment> apartment;
    if (row.hostApartment) {
        apartment = std::make_unique<HxTest::MultithreadedApartment>();
        ASSERT_TRUE(apartment->Ready());
    }
    desktop.Set(row.desktop);
    EXPECT_EQ(row.expected, Run(row));
}

INSTANTIATE_TEST_SUITE_P(LockScreen, LockScreenTrace, testing::ValuesIn(kTraceCases),
                         [](const testing::TestParamInfo<TraceCase>& info) { return info.param.name; });

} // namespace
