// The tile's reaction to the UI application's events.

#include "ipc/CPEvent.h"
#include "platform/Registry.h"
#include "support/CapturedLog.h"
#include "support/FakeEvents.h"
#include "support/FakeOutsideEffects.h"
#include "support/ScopedOverride.h"
#include "support/ProviderPeers.h"
#include "support/RegistryValue.h"

#include <gtest/gtest.h>

using namespace Corvani::Nuv::CredentialProvider;
using Corvani::Nuv::Platform::ComPtr;
using HxTest::LogMark;
using HxTest::MakeProvider;

namespace {

class UnknownEvent : public CPEvent {
public:
    UnknownEvent() : CPEvent(7) {}
};

class EventHandlingTest : public ::testing::Test {
protected:
    void SetUp() override {
        lastProvider.SetString(L"{00000000-0000-0000-0000-000000000000}");
        ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_LOGON, 0));
        ASSERT_EQ(S_OK, provider->Advise(&events, 3));
        credential = NuvProviderTestPeer::Credential(HxTest::AsNuv(provider.get()));
    }
    void TearDown() override {
        if (provider)
            provider->UnAdvise();
    }

    HxTest::ScopedRegistryValue lastProvider{Corvani::Nuv::Platform::kLogonUIKey,
                                             Corvani::Nuv::Platform::kLastLoggedOnProviderValue};
    HxTest::FakeProviderEvents events;
    ComPtr<ICredentialProvider> provider = MakeProvider();
    NuvCredential* credential = nullptr;
};

TEST_F(EventHandlingTest, LogonEventAsksForAutoLogonBeforeTheProviderSignals) {
    CPLogonEvent logon;
    credential->processEvent(&logon);
    EXPECT_EQ(1, NuvCredentialTestPeer::AutoLogon(*credential));
    EXPECT_EQ(1, events.changes); // at the logon screen the provider always hands over

    // LogonUI, told that the credential changed, finds the tile default and asking for an immediate logon.
    DWORD count = 0, defaultIndex = 9;
    BOOL autoLogon = FALSE;
    ASSERT_EQ(S_OK, provider->GetCredentialCount(&count, &defaultIndex, &autoLogon));
    EXPECT_EQ(0u, defaultIndex);
    EXPECT_TRUE(autoLogon);
}

TEST_F(EventHandlingTest, EachLogonEventHandsOverOnce) {
    CPLogonEvent logon;
    credential->processEvent(&logon);
    credential->processEvent(&logon);
    EXPECT_EQ(2, events.changes);
}

TEST_F(EventHandlingTest, UnknownEventOnlyLeavesItsFirstLine) {
    LogMark mark;
    UnknownEvent unknown;
    credential->processEvent(&unknown);
    EXPECT_EQ(std::vector<std::string>{"NuvCredential::processEvent | "}, mark.Since());
    EXPECT_EQ(0, NuvCredentialTestPeer::AutoLogon(*credential));
    EXPECT_EQ(0, events.changes);
}

// DESELECT presses Shift then Escape into LogonUI, UIINPUT Shift alone; neither touches the credentials.
TEST_F(EventHandlingTest, CloseAndInputEventsPressKeysAndLeaveTheCredentialsAlone) {
    HxTest::FakeKeyboardInput keyboard;
    HxTest::ScopedOverride window(g_parentWindow, GetDesktopWindow());
    CPCloseEvent close;
    CPINPUTEvent input;
    credential->processEvent(&close);
    credential->processEvent(&input);
    std::vector<WORD> downs;
    for (const HxTest::FakeKeyboardInput::Press& press : keyboard.Sent())
        if (!(press.input.ki.dwFlags & KEYEVENTF_KEYUP))
            downs.push_back(press.input.ki.wVk);
    EXPECT_EQ((std::vector<WORD>{VK_SHIFT, VK_ESCAPE, VK_SHIFT}), downs);
    EXPECT_EQ(0, NuvCredentialTestPeer::AutoLogon(*credential));
    EXPECT_EQ(0, events.changes);
}

// Auto-logon is asked for only with credentials handed to an advised provider: a LOGON that reached
// nobody leaves the next GetCredentialCount and SetSelected as they were.
struct IgnoredLogonRow {
    const char* name;
    void (*before)(ComPtr<ICredentialProvider>& provider);
};

class IgnoredLogon : public EventHandlingTest, public testing::WithParamInterface<IgnoredLogonRow> {};

TEST_P(IgnoredLogon, LeavesAutoLogonUnset) {
    GetParam().before(provider);
    CPLogonEvent logon;
    credential->processEvent(&logon);
    EXPECT_EQ(0, NuvCredentialTestPeer::AutoLogon(*credential));
    EXPECT_EQ(0, events.changes);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IgnoredLogon,
    testing::Values(IgnoredLogonRow{"AfterUnAdvise", [](ComPtr<ICredentialProvider>& p) { p->UnAdvise(); }},
                    IgnoredLogonRow{"ProviderGone",
                                    [](ComPtr<ICredentialProvider>& p) {
                                        p->UnAdvise();
                                        p.reset();
                                    }}),
    [](const testing::TestParamInfo<IgnoredLogonRow>& info) { return info.param.name; });

} // namespace
