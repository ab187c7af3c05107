// NuvProvider as LogonUI drives it: scenarios, descriptors, the credential count and the recognised-face
// hand-off.

#include "support/ScopedOverride.h"
#include "support/ProviderPeers.h"
#include "platform/ProviderClsid.h"
#include "platform/Registry.h"
#include "platform/UniqueResource.h"
#include "support/CapturedLog.h"
#include "support/FakeEvents.h"
#include "support/RegistryValue.h"

#include <gtest/gtest.h>

using namespace Corvani::Nuv::CredentialProvider;
using Corvani::Nuv::Platform::ComPtr;
using Corvani::Nuv::Platform::kLastLoggedOnProviderValue;
using Corvani::Nuv::Platform::kLogonUIKey;
using Corvani::Nuv::Platform::UniqueCoTaskMemory;
using Corvani::Nuv::Platform::UniqueCoTaskString;
using HxTest::AsNuv;
using HxTest::MakeProvider;
using HxTest::ScopedRegistryValue;

namespace {

struct CredentialCount {
    DWORD count = 99;
    DWORD defaultIndex = 99;
    BOOL autoLogon = 99;
};

CredentialCount GetCount(ICredentialProvider* provider) {
    CredentialCount result;
    EXPECT_EQ(S_OK, provider->GetCredentialCount(&result.count, &result.defaultIndex, &result.autoLogon));
    return result;
}

class ProviderTest : public ::testing::Test {
protected:
    void SetUp() override { lastProvider.SetString(L"{00000000-0000-0000-0000-000000000000}"); }

    ScopedRegistryValue lastProvider{kLogonUIKey, kLastLoggedOnProviderValue};
    ComPtr<ICredentialProvider> provider = MakeProvider();
};

TEST_F(ProviderTest, UnsupportedScenariosCreateNoCredential) {
    EXPECT_EQ(E_NOTIMPL, provider->SetUsageScenario(CPUS_CHANGE_PASSWORD, 0));
    EXPECT_EQ(E_NOTIMPL, provider->SetUsageScenario(CPUS_CREDUI, 0));
    EXPECT_EQ(E_INVALIDARG, provider->SetUsageScenario(CPUS_INVALID, 0));
    EXPECT_EQ(E_INVALIDARG, provider->SetUsageScenario(CPUS_PLAP, 0));
    EXPECT_EQ(E_INVALIDARG, provider->SetUsageScenario(static_cast<CREDENTIAL_PROVIDER_USAGE_SCENARIO>(77), 0));
    EXPECT_EQ(nullptr, NuvProviderTestPeer::Credential(AsNuv(provider.get())));

    ComPtr<ICredentialProviderCredential> credential;
    EXPECT_EQ(E_UNEXPECTED, provider->GetCredentialAt(0, credential.put()));
    EXPECT_FALSE(credential);
}

TEST_F(ProviderTest, SecondScenarioReusesTheCredential) {
    HxTest::LogMark mark;
    ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_LOGON, 0));
    NuvCredential* first = NuvProviderTestPeer::Credential(AsNuv(provider.get()));
    ASSERT_NE(nullptr, first);
    ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_UNLOCK_WORKSTATION, 0));
    EXPECT_EQ(first, NuvProviderTestPeer::Credential(AsNuv(provider.get())));
    // Created once, initialized twice; the second initialization left the raw labels in place.
    EXPECT_EQ(1u, mark.Count("NuvProvider::SetUsageScenario | Creating Credential"));
    EXPECT_EQ(2u, mark.Count("NuvCredential::Initialize | 1"));
    EXPECT_STREQ(L"8000-Tile Image", NuvCredentialTestPeer::DescriptorLabel(*first, 0));
}

TEST_F(ProviderTest, CredentialAtGivesTheCallerItsOwnReference) {
    ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_LOGON, 0));
    ComPtr<ICredentialProviderCredential> credential;
    ASSERT_EQ(S_OK, provider->GetCredentialAt(0, credential.put()));
    EXPECT_EQ(3u, credential->AddRef()); // the provider's creation reference, ours, and this one
    credential->Release();

    ICredentialProviderCredential* other = reinterpret_cast<ICredentialProviderCredential*>(1);
    EXPECT_EQ(E_INVALIDARG, provider->GetCredentialAt(1, &other));
    EXPECT_EQ(E_INVALIDARG, provider->GetCredentialAt(0, nullptr));
}

TEST_F(ProviderTest, FieldDescriptorsCarryLocalizedLabels) {
    DWORD count = 0;
    ASSERT_EQ(S_OK, provider->GetFieldDescriptorCount(&count));
    ASSERT_EQ(3u, count);

    const struct {
        CREDENTIAL_PROVIDER_FIELD_TYPE type;
        const wchar_t* label;
    } expected[] = {{CPFT_TILE_IMAGE, L"Face sign-in"}, {CPFT_LARGE_TEXT, L"Title"}, {CPFT_SMALL_TEXT, L"Title"}};
    for (DWORD i = 0; i < count; ++i) {
        CREDENTIAL_PROVIDER_FIELD_DESCRIPTOR* raw = nullptr;
        ASSERT_EQ(S_OK, provider->GetFieldDescriptorAt(i, &raw));
        UniqueCoTaskMemory owner(raw);
        UniqueCoTaskString label(raw->pszLabel);
        EXPECT_EQ(i, raw->dwFieldID);
        EXPECT_EQ(expected[i].type, raw->cpft);
        EXPECT_STREQ(expected[i].label, raw->pszLabel);
        EXPECT_TRUE(IsEqualGUID(GUID_NULL, raw->guidFieldType));
    }

    CREDENTIAL_PROVIDER_FIELD_DESCRIPTOR* raw = reinterpret_cast<CREDENTIAL_PROVIDER_FIELD_DESCRIPTOR*>(1);
    EXPECT_EQ(E_INVALIDARG, provider->GetFieldDescriptorAt(3, &raw));
    EXPECT_EQ(E_INVALIDARG, provider->GetFieldDescriptorAt(0, nullptr));
}

TEST_F(ProviderTest, NotDefaultWhenAnotherProviderWasLast) {
    ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_UNLOCK_WORKSTATION, 0));
    CredentialCount result = GetCount(provider.get());
    EXPECT_EQ(1u, result.count);
    EXPECT_EQ(1u, result.defaultIndex); // the number 1, not CREDENTIAL_PROVIDER_NO_DEFAULT
    EXPECT_FALSE(result.autoLogon);

    // The class-id text is compared case-sensitively.
    lastProvider.SetString(L"{5e0c9a41-7d2b-4f63-9a18-2c6b8e4f0d37}");
    result = GetCount(provider.get());
    EXPECT_EQ(1u, result.defaultIndex);
    EXPECT_FALSE(result.autoLogon);
}

TEST_F(ProviderTest, DefaultWhenThisProviderWasLast) {
    lastProvider.SetString(kProviderClsidText);
    CredentialCount result = GetCount(provider.get()); // no credential yet
    EXPECT_EQ(0u, result.defaultIndex);
    EXPECT_FALSE(result.autoLogon);

    ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_UNLOCK_WORKSTATION, 0));
    result = GetCount(provider.get());
    EXPECT_EQ(0u, result.defaultIndex);
    EXPECT_FALSE(result.autoLogon);
}

TEST_F(ProviderTest, RecognisedFaceMakesTheTileDefaultWithAutoLogon) {
    ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_UNLOCK_WORKSTATION, 0));
    NuvCredentialTestPeer::SetAutoLogon(*NuvProviderTestPeer::Credential(AsNuv(provider.get())), 1);
    const CredentialCount result = GetCount(provider.get());
    EXPECT_EQ(0u, result.defaultIndex);
    EXPECT_TRUE(result.autoLogon);
}

TEST_F(ProviderTest, SwitchedUserAtLogonAsksForImmediateLogon) {
    ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_LOGON, 0));
    HxTest::ScopedOverride switchedUser(g_credentialsFromSwitchUser, true);
    CredentialCount result = GetCount(provider.get());
    EXPECT_EQ(1u, result.count);
    EXPECT_EQ(0u, result.defaultIndex);
    EXPECT_TRUE(result.autoLogon);
}

TEST_F(ProviderTest, CredentialCountRejectsNullOutPointers) {
    DWORD count = 0, defaultIndex = 0;
    BOOL autoLogon = FALSE;
    EXPECT_EQ(E_INVALIDARG, provider->GetCredentialCount(nullptr, &defaultIndex, &autoLogon));
    EXPECT_EQ(E_INVALIDARG, provider->GetCredentialCount(&count, nullptr, &autoLogon));
    EXPECT_EQ(E_INVALIDARG, provider->GetCredentialCount(&count, &defaultIndex, nullptr));
    EXPECT_EQ(E_INVALIDARG, provider->GetFieldDescriptorCount(nullptr));
}

TEST_F(ProviderTest, AdviseHoldsTheEventsUntilUnAdvise) {
    HxTest::FakeProviderEvents events;
    ASSERT_EQ(S_OK, provider->Advise(&events, 42));
    EXPECT_EQ(2, events.RefCount());
    ASSERT_EQ(S_OK, provider->Advise(&events, 43)); // the first reference is given back
    EXPECT_EQ(2, events.RefCount());
    ASSERT_EQ(S_OK, provider->UnAdvise());
    EXPECT_EQ(1, events.RefCount());
    ASSERT_EQ(S_OK, provider->UnAdvise());
    EXPECT_EQ(1, events.RefCount());
}

TEST_F(ProviderTest, RecognisedFaceBeforeAdviseDoesNothing) {
    ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_UNLOCK_WORKSTATION, 0));
    NuvProviderTestPeer::setCredentialChanged(AsNuv(provider.get()));
    EXPECT_EQ(L"{00000000-0000-0000-0000-000000000000}", Corvani::Nuv::Platform::readLastLoggedOnProvider());
}

TEST_F(ProviderTest, RecognisedFaceAtLogonRaisesCredentialsChanged) {
    HxTest::FakeProviderEvents events;
    ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_LOGON, 0));
    ASSERT_EQ(S_OK, provider->Advise(&events, 42));
    NuvProviderTestPeer::setCredentialChanged(AsNuv(provider.get()));
    EXPECT_EQ(1, events.changes);
    EXPECT_EQ(42u, events.lastContext);
    EXPECT_EQ(L"{00000000-0000-0000-0000-000000000000}", Corvani::Nuv::Platform::readLastLoggedOnProvider());
    provider->UnAdvise();
}

TEST_F(ProviderTest, OtherUserAtUnlockHandsTheTileToTheLogonScreen) {
    // The sections yield no user, which never matches the locked user: the provider makes itself
    // LogonUI's last provider and disconnects the session, without CredentialsChanged.
    ScopedRegistryValue lastUser(kLogonUIKey, L"LastLoggedOnSAMUser");
    lastUser.SetString(L"corp\\alice");
    HxTest::FakeProviderEvents events;
    ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_UNLOCK_WORKSTATION, 0));
    ASSERT_EQ(S_OK, provider->Advise(&events, 42));
    NuvProviderTestPeer::setCredentialChanged(AsNuv(provider.get()));
    EXPECT_EQ(0, events.changes);
    EXPECT_EQ(std::wstring(kProviderClsidText), Corvani::Nuv::Platform::readLastLoggedOnProvider());
    EXPECT_EQ(78u, lastProvider.StoredSize()); // 38 characters and the terminator
    provider->UnAdvise();
}

} // namespace
