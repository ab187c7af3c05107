// NuvCredential as LogonUI sees it: fields, texts, the tile picture, events and selection.

#include "support/ScopedOverride.h"
#include "support/ProviderPeers.h"
#include "platform/UniqueResource.h"
#include "support/FakeEvents.h"

#include "support/FakeOutsideEffects.h"

#include <gtest/gtest.h>

using namespace Corvani::Nuv::CredentialProvider;
using Corvani::Nuv::Platform::ComPtr;
using Corvani::Nuv::Platform::UniqueCoTaskString;
using Corvani::Nuv::Platform::UniqueGdiObject;
using HxTest::MakeProvider;

namespace {

class CredentialTest : public ::testing::Test {
protected:
    void SetUp() override { credential = CreateCredential(provider.get(), CPUS_LOGON); }

    static ComPtr<ICredentialProviderCredential> CreateCredential(ICredentialProvider* owner,
                                                                  CREDENTIAL_PROVIDER_USAGE_SCENARIO scenario) {
        ComPtr<ICredentialProviderCredential> result;
        EXPECT_EQ(S_OK, owner->SetUsageScenario(scenario, 0));
        EXPECT_EQ(S_OK, owner->GetCredentialAt(0, result.put()));
        return result;
    }

    NuvCredential& Nuv() { return *static_cast<NuvCredential*>(credential.get()); }

    ComPtr<ICredentialProvider> provider = MakeProvider();
    ComPtr<ICredentialProviderCredential> credential;
};

TEST_F(CredentialTest, FieldsAreDisplayedInBothStatesAndNeverInteractive) {
    for (DWORD field = 0; field < 3; ++field) {
        CREDENTIAL_PROVIDER_FIELD_STATE state = CPFS_HIDDEN;
        CREDENTIAL_PROVIDER_FIELD_INTERACTIVE_STATE interactive = CPFIS_FOCUSED;
        ASSERT_EQ(S_OK, credential->GetFieldState(field, &state, &interactive));
        EXPECT_EQ(CPFS_DISPLAY_IN_BOTH, state);
        EXPECT_EQ(CPFIS_NONE, interactive);
    }
    CREDENTIAL_PROVIDER_FIELD_STATE state;
    CREDENTIAL_PROVIDER_FIELD_INTERACTIVE_STATE interactive;
    EXPECT_EQ(E_INVALIDARG, credential->GetFieldState(3, &state, &interactive));
    EXPECT_EQ(E_INVALIDARG, credential->GetFieldState(0, nullptr, &interactive));
    EXPECT_EQ(E_INVALIDARG, credential->GetFieldState(0, &state, nullptr));
}

TEST_F(CredentialTest, TextsComeFromTheLocalizationModules) {
    // The affiliate module overrides the first title only; the rest comes from the core module.
    const wchar_t* expected[] = {L"Face sign-in", L"Halvex Partner Edition", L"Sign in with your face"};
    for (DWORD field = 0; field < 3; ++field) {
        UniqueCoTaskString text;
        ASSERT_EQ(S_OK, credential->GetStringValue(field, text.put()));
        EXPECT_STREQ(expected[field], text.get());
    }
    LPWSTR text = nullptr;
    EXPECT_EQ(E_INVALIDARG, credential->GetStringValue(3, &text));
    EXPECT_EQ(E_INVALIDARG, credential->GetStringValue(0, nullptr));
}

TEST_F(CredentialTest, NoFieldAcceptsText) {
    for (DWORD field = 0; field < 4; ++field)
        EXPECT_EQ(E_INVALIDARG, credential->SetStringValue(field, L"typed"));
    UniqueCoTaskString text;
    ASSERT_EQ(S_OK, credential->GetStringValue(1, text.put()));
    EXPECT_STREQ(L"Halvex Partner Edition", text.get());
}

TEST_F(CredentialTest, OnlyTheTileImageHasABitmap) {
    HBITMAP raw = nullptr;
    ASSERT_EQ(S_OK, credential->GetBitmapValue(0, &raw));
    UniqueGdiObject bitmap(raw);
    BITMAP info = {};
    ASSERT_NE(0, GetObjectW(bitmap.get(), sizeof(info), &info));
    EXPECT_EQ(128, info.bmWidth); // the affiliate picture wins over the core one
    EXPECT_EQ(128, info.bmHeight);

    raw = nullptr;
    EXPECT_EQ(E_INVALIDARG, credential->GetBitmapValue(1, &raw));
    EXPECT_EQ(nullptr, raw);
    EXPECT_EQ(E_INVALIDARG, credential->GetBitmapValue(0, nullptr));
}

TEST_F(CredentialTest, UnsupportedFieldKindsAnswerAsTheTileHasNone) {
    BOOL checked = FALSE;
    LPWSTR label = nullptr;
    DWORD value = 0, other = 0;
    EXPECT_EQ(E_NOTIMPL, credential->GetCheckboxValue(0, &checked, &label));
    EXPECT_EQ(E_NOTIMPL, credential->SetCheckboxValue(0, TRUE));
    EXPECT_EQ(S_OK, credential->GetSubmitButtonValue(0, &value));
    EXPECT_EQ(S_OK, credential->GetComboBoxValueCount(0, &value, &other));
    EXPECT_EQ(S_OK, credential->GetComboBoxValueAt(0, 0, &label));
    EXPECT_EQ(S_OK, credential->SetComboBoxSelectedValue(0, 0));
    EXPECT_EQ(S_OK, credential->CommandLinkClicked(0));
}

TEST_F(CredentialTest, OwnerWindowIsAskedForOncePerProcess) {
    HxTest::ScopedOverride noWindowYet(g_parentWindow, HWND{});
    HxTest::FakeCredentialEvents events(reinterpret_cast<HWND>(0x4321));
    ASSERT_EQ(S_OK, credential->Advise(&events));
    EXPECT_EQ(1, events.windowRequests);
    EXPECT_EQ(reinterpret_cast<HWND>(0x4321), g_parentWindow);
    EXPECT_EQ(2, events.RefCount());

    ComPtr<ICredentialProvider> secondProvider = MakeProvider();
    ComPtr<ICredentialProviderCredential> second = CreateCredential(secondProvider.get(), CPUS_UNLOCK_WORKSTATION);
    HxTest::FakeCredentialEvents secondEvents;
    ASSERT_EQ(S_OK, second->Advise(&secondEvents));
    EXPECT_EQ(0, secondEvents.windowRequests);

    EXPECT_EQ(S_OK, credential->UnAdvise());
    EXPECT_EQ(1, events.RefCount());
    EXPECT_EQ(S_OK, second->UnAdvise());
    EXPECT_EQ(1, secondEvents.RefCount());
}

// A selection while the supervision thread runs leaves it to that thread; one after it ended (the person
// picked another tile and came back) starts a new one, which finds the UI application and shows it.
TEST_F(CredentialTest, SelectionAfterTheSupervisionEndedStartsAnotherNeverTwoAtOnce) {
    HxTest::FakePriorityControl priority;
    HxTest::FakeKeyboardInput keyboard;
    BOOL autoLogon = TRUE;
    ASSERT_EQ(S_OK, credential->SetSelected(&autoLogon));
    EXPECT_FALSE(autoLogon);
    EXPECT_TRUE(IsHXCPSelected);
    const HANDLE first = g_launchAndShowUIThread.get();
    ASSERT_NE(nullptr, first);
    ASSERT_EQ(S_OK, credential->SetSelected(&autoLogon));
    EXPECT_EQ(first, g_launchAndShowUIThread.get()) << "a second thread while the first runs";

    Corvani::Nuv::Platform::UniqueHandle firstThread;
    DuplicateHandle(GetCurrentProcess(), first, GetCurrentProcess(), firstThread.put(), SYNCHRONIZE, FALSE, 0);
    ASSERT_EQ(S_OK, credential->SetDeselected());
    EXPECT_FALSE(IsHXCPSelected);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(firstThread.get(), 20000));

    ASSERT_EQ(S_OK, credential->SetSelected(&autoLogon));
    EXPECT_TRUE(IsHXCPSelected);
    ASSERT_NE(nullptr, g_launchAndShowUIThread.get());
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(g_launchAndShowUIThread.get(), 0)) << "no supervision runs";

    // UnAdvise leaves the selection flag alone.
    EXPECT_EQ(S_OK, credential->UnAdvise());
    EXPECT_TRUE(IsHXCPSelected);
    credential->SetDeselected();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(g_launchAndShowUIThread.get(), 20000));
}

TEST_F(CredentialTest, RecognisedFaceSelectionAsksForAutoLogonAndStartsNothing) {
    NuvCredentialTestPeer::SetAutoLogon(Nuv(), 1);
    HxTest::ScopedOverride notSelected(IsHXCPSelected, false);
    BOOL autoLogon = FALSE;
    ASSERT_EQ(S_OK, credential->SetSelected(&autoLogon));
    EXPECT_TRUE(autoLogon);
    EXPECT_FALSE(IsHXCPSelected);
}

TEST(SwitchedUserCredential, InitializesWithAutoLogon) {
    // A credential constructed while the sections held a switched-to user's credentials.
    ComPtr<ICredentialProvider> provider = MakeProvider();
    {
        HxTest::ScopedOverride switchedUser(g_credentialsFromSwitchUser, true);
        ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_UNLOCK_WORKSTATION, 0));
    }
    ComPtr<ICredentialProviderCredential> credential;
    ASSERT_EQ(S_OK, provider->GetCredentialAt(0, credential.put()));
    NuvCredential& nuv = *static_cast<NuvCredential*>(credential.get());
    EXPECT_TRUE(NuvCredentialTestPeer::CredentialsFromSwitchUser(nuv));
    EXPECT_EQ(1, NuvCredentialTestPeer::AutoLogon(nuv));

    HxTest::ScopedOverride notSelected(IsHXCPSelected, false);
    BOOL autoLogon = FALSE;
    ASSERT_EQ(S_OK, credential->SetSelected(&autoLogon));
    EXPECT_TRUE(autoLogon);
    EXPECT_FALSE(IsHXCPSelected);
}

TEST(CredentialPaths, UIExecutableLiesInTheProviderDirectory) {
    ComPtr<ICredentialProvider> provider = MakeProvider();
    ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_LOGON, 0));
    const std::wstring directory = Corvani::Nuv::Platform::GetModuleDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(L'\\', directory.back());
    EXPECT_EQ(directory + L"\\Corvani.Halvex.UI.exe", g_uiExecutablePath.Get());
}

} // namespace
