// A recognised user's credentials going from the sections to the tile: waiting at the logon screen after a
// switch of user, arriving at the unlock screen for the locked user, or for another user.

#include "support/FakeOutsideEffects.h"
#include "platform/SecurityDescriptor.h"
#include "support/ScopedOverride.h"
#include "support/CapturedLog.h"
#include "SectionFixtures.h"
#include "platform/ProviderClsid.h"
#include "platform/Registry.h"
#include "support/FakeEvents.h"
#include "support/RegistryValue.h"

#include <gtest/gtest.h>

using namespace HxTest;
using Corvani::Nuv::Platform::kLastLoggedOnProviderValue;
using Corvani::Nuv::Platform::kLogonUIKey;

namespace {

constexpr wchar_t kOtherProvider[] = L"{00000000-0000-0000-0000-000000000000}";

void FillAll(const wchar_t* domain, const wchar_t* user, const wchar_t* password) {
    ASSERT_EQ(0u, HxFiller::FillSection(HxFiller::kDomainSection, domain));
    ASSERT_EQ(0u, HxFiller::FillSection(HxFiller::kUserSection, user));
    ASSERT_EQ(0u, HxFiller::FillSection(HxFiller::kPasswordSection, password));
}

// Whether the named section still holds something that decrypts.
bool SectionHoldsText(const wchar_t* name) {
    DWORD error = 0;
    UniqueHandle section = HxFiller::OpenForFilling(name, error);
    UniqueMappedView view(section ? MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, HxFiller::kSectionSize)
                                  : nullptr);
    return view && !IsZeroed(view.get());
}

NuvCredential& CredentialOf(ICredentialProvider* provider) { return *Peer::Credential(AsNuv(provider)); }

class HandOff : public UnlockProvider {
protected:
    void SetUp() override {
        UnlockProvider::SetUp();
        lastProvider.SetString(kOtherProvider);
        lastUser.SetString(L"Corp\\Alice");
        ASSERT_EQ(S_OK, provider->Advise(&events, 99));
    }
    void TearDown() override { provider->UnAdvise(); }

    ScopedRegistryValue lastProvider{kLogonUIKey, kLastLoggedOnProviderValue};
    ScopedRegistryValue lastUser{kLogonUIKey, L"LastLoggedOnSAMUser"};
    FakeProviderEvents events;
};

TEST_F(HandOff, LockedUserGetsTheCredentialsAndLogonUIIsTold) {
    FillAll(L"CORP", L"alice", L"s3cret");
    Peer::setCredentialChanged(Nuv());
    EXPECT_EQ(1, events.changes);
    EXPECT_EQ(99u, events.lastContext);
    EXPECT_EQ(L"alice", NuvCredentialTestPeer::User(CredentialOf(provider.get())));
    EXPECT_EQ(L"s3cret", NuvCredentialTestPeer::Password(CredentialOf(provider.get())));
    EXPECT_TRUE(IsZeroed(Peer::View(Nuv(), Peer::PasswordSection)));
    EXPECT_TRUE(SectionHoldsText(HxFiller::kUserSection));
    EXPECT_EQ(kOtherProvider, Corvani::Nuv::Platform::readLastLoggedOnProvider());
}

TEST_F(HandOff, OtherUserDisconnectsTheLockedSession) {
    FillAll(L"CORP", L"bob", L"hunter2");
    LogMark mark;
    HxTest::FakeSessionControl session;
    Peer::setCredentialChanged(Nuv());
    EXPECT_EQ(0, events.changes);
    EXPECT_EQ(1, session.disconnects);
    EXPECT_EQ(1u, mark.Count("NuvProvider::setCredentialChanged | before WTSDisconnectSession"));
    EXPECT_EQ(Corvani::Nuv::CredentialProvider::kProviderClsidText,
              Corvani::Nuv::Platform::readLastLoggedOnProvider());
    // The credentials stay in the sections for the logon screen; the tile got nothing.
    EXPECT_TRUE(SectionHoldsText(HxFiller::kPasswordSection));
    EXPECT_EQ(L"", NuvCredentialTestPeer::User(CredentialOf(provider.get())));
    // No trace line names the users.
    for (const std::string& message : mark.Since()) {
        EXPECT_EQ(std::string::npos, message.find("bob")) << message;
        EXPECT_EQ(std::string::npos, message.find("alice")) << message;
    }
}

TEST_F(HandOff, UnreadableSectionsCountAsAnotherUser) {
    LogMark mark;
    Peer::setCredentialChanged(Nuv()); // the sections hold only zeros
    EXPECT_EQ(0, events.changes);
    EXPECT_EQ(3u, mark.Count("NuvProvider::Decrypt | Decryption error. LastError: 13"));
    EXPECT_EQ(Corvani::Nuv::CredentialProvider::kProviderClsidText,
              Corvani::Nuv::Platform::readLastLoggedOnProvider());
}

TEST_F(HandOff, WipedPasswordSectionReadsEmptyAfterwards) {
    FillAll(L"CORP", L"alice", L"s3cret");
    Peer::setCredentialChanged(Nuv());
    LogMark mark;
    EXPECT_TRUE(Peer::ReadCredential(Nuv()));
    EXPECT_EQ(L"", Peer::Password(Nuv()));
    EXPECT_EQ(1u, mark.Count("NuvProvider::Decrypt | Decryption error. LastError: 13"));
}

TEST(SwitchOfUser, WaitingCredentialsAreSignedInAtOnce) {
    ScopedRegistryValue lastProvider(kLogonUIKey, kLastLoggedOnProviderValue);
    lastProvider.SetString(kOtherProvider);
    HxFiller::CreatedSections sections;
    ASSERT_EQ(0u, HxFiller::CreateSections(sections, true));
    FillAll(L"CORP", L"alice", L"s3cret");
    UniqueMappedView password(MapViewOfFile(sections.password.get(), FILE_MAP_READ, 0, 0, HxFiller::kSectionSize));

    LogMark mark;
    HxTest::ScopedOverride restoredAfterwards(g_credentialsFromSwitchUser, false);
    ComPtr<ICredentialProvider> provider = MakeProvider();
    ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_LOGON, 0));
    EXPECT_TRUE(g_credentialsFromSwitchUser);
    EXPECT_EQ(0u, mark.Count("NuvProvider::CreateMappedMemory | "));
    EXPECT_TRUE(IsZeroed(password.get()));
    NuvCredential& credential = CredentialOf(provider.get());
    EXPECT_EQ(L"CORP", NuvCredentialTestPeer::Domain(credential));
    EXPECT_EQ(L"s3cret", NuvCredentialTestPeer::Password(credential));
    EXPECT_EQ(1, NuvCredentialTestPeer::AutoLogon(credential));

    DWORD count = 0, defaultIndex = 9;
    BOOL autoLogon = FALSE;
    EXPECT_EQ(S_OK, provider->GetCredentialCount(&count, &defaultIndex, &autoLogon));
    EXPECT_EQ(0u, defaultIndex);
    EXPECT_TRUE(autoLogon);
}

TEST(SwitchOfUser, EmptyUserSectionHandsNothingOver) {
    HxFiller::CreatedSections sections;
    ASSERT_EQ(0u, HxFiller::CreateSections(sections, true));
    ASSERT_EQ(0u, HxFiller::FillSection(HxFiller::kDomainSection, L"CORP"));
    ASSERT_EQ(0u, HxFiller::FillSection(HxFiller::kPasswordSection, L"s3cret"));
    LogMark mark;
    ComPtr<ICredentialProvider> provider = MakeProvider();
    ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_LOGON, 0));
    EXPECT_FALSE(g_credentialsFromSwitchUser);
    EXPECT_EQ(1u, mark.Count("NuvProvider::CreateMappedMemory | "));
    EXPECT_EQ(0, NuvCredentialTestPeer::AutoLogon(CredentialOf(provider.get())));
    EXPECT_EQ(L"", NuvCredentialTestPeer::Password(CredentialOf(provider.get())));
}

TEST(RecognisedAtLogon, CredentialsGoToTheTileWithoutAnyUserCheck) {
    ScopedRegistryValue lastUser(kLogonUIKey, L"LastLoggedOnSAMUser");
    lastUser.SetString(L"corp\\somebody-else");
    ComPtr<ICredentialProvider> provider = MakeProvider();
    ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_LOGON, 0));
    GrantAll(AsNuv(provider.get()));
    FakeProviderEvents events;
    ASSERT_EQ(S_OK, provider->Advise(&events, 5));
    FillAll(L"CORP", L"carol", L"pw");
    Peer::setCredentialChanged(AsNuv(provider.get()));
    EXPECT_EQ(1, events.changes);
    EXPECT_EQ(L"carol", NuvCredentialTestPeer::User(CredentialOf(provider.get())));
    provider->UnAdvise();
}

} // namespace

namespace {

// Sections that somebody created before the provider are used only when their owner is the product's
// other party (LocalSystem): a section of another account reads as holding no credential and is left as
// it is. Wine records the owner that a security descriptor names, so this process plays every owner (its
// own objects' owner is what the other tests' sections have); that another account cannot name
// LocalSystem as the owner only Windows shows.
TEST(SwitchOfUser, WaitingSectionsAreUsedOnlyWhenTheOwnerIsTheExpectedOne) {
    struct Row {
        const wchar_t* owner;
        bool used;
    };
    const Row rows[] = {{L"S-1-5-21-0-0-0-2000", false}, {L"S-1-5-18", true}};
    for (const Row& row : rows) {
        const std::wstring sddl = std::wstring(L"O:") + row.owner + L"D:(A;;GA;;;WD)";
        Corvani::Nuv::Platform::SddlSecurityAttributes security(sddl.c_str());
        UniqueHandle sections[3];
        const wchar_t* names[] = {HxFiller::kDomainSection, HxFiller::kUserSection, HxFiller::kPasswordSection};
        for (int index = 0; index < 3; ++index) {
            sections[index].reset(CreateFileMappingW(INVALID_HANDLE_VALUE, security.get(), PAGE_READWRITE, 0,
                                                     HxFiller::kSectionSize, names[index]));
            ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), GetLastError()) << names[index];
        }
        FillAll(L"CORP", L"alice", L"s3cret");
        HxTest::ScopedOverride restoredAfterwards(g_credentialsFromSwitchUser, false);
        ComPtr<ICredentialProvider> provider = MakeProvider();
        ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_LOGON, 0));
        EXPECT_EQ(row.used, g_credentialsFromSwitchUser) << row.owner;
        EXPECT_EQ(row.used ? L"alice" : L"", NuvCredentialTestPeer::User(CredentialOf(provider.get())));
        EXPECT_NE(row.used, SectionHoldsText(HxFiller::kPasswordSection)) << row.owner;
    }
}

} // namespace
