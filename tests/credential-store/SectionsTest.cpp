// The provider's credential sections: their access control, reading and decrypting, wiping, and the
// handles they take.

#include "support/CapturedLog.h"
#include "SectionFixtures.h"
#include "support/HandleCount.h"

#include <gtest/gtest.h>

using namespace HxTest;

namespace {

// The UI-info section outlives every provider of the process: once an earlier test let this process's
// user in, its DACL is no longer the provider's own, and only the other three are checked.
bool SectionExists(const wchar_t* name) {
    UniqueHandle section(OpenFileMappingW(FILE_MAP_READ, FALSE, name));
    return section || GetLastError() == ERROR_ACCESS_DENIED;
}

TEST(Sections, CreatedForLocalSystemOnlyAndNotInheritable) {
    const bool uiInfoExisted = SectionExists(HxFiller::kUIInfoSection);
    ComPtr<ICredentialProvider> provider = MakeProvider();
    ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_UNLOCK_WORKSTATION, 0));
    for (Peer::Section section : kAllSections) {
        const HANDLE mapping = Peer::Mapping(AsNuv(provider.get()), section);
        ASSERT_NE(nullptr, mapping);
        if (section == Peer::UIInfoSection && uiInfoExisted)
            continue;
        EXPECT_TRUE(HxFiller::IsSystemOnlyDacl(mapping)) << HxFiller::DaclText(mapping).c_str();
        DWORD flags = 0;
        ASSERT_TRUE(GetHandleInformation(mapping, &flags));
        EXPECT_EQ(0u, flags & HANDLE_FLAG_INHERIT);
    }
    // Nobody else, this process's user included, may open them.
    UniqueHandle other(OpenFileMappingW(FILE_MAP_READ, FALSE, HxFiller::kDomainSection));
    EXPECT_FALSE(other);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    GrantAll(AsNuv(provider.get())); // the UI-info section outlives the provider; later tests reopen it
}

TEST(Sections, LogonScreenWithoutSectionsReadsNothingAndCreatesThem) {
    LogMark mark;
    ComPtr<ICredentialProvider> provider = MakeProvider();
    ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_LOGON, 0));
    EXPECT_FALSE(g_credentialsFromSwitchUser);
    EXPECT_EQ(3u, mark.Count("NuvProvider::ReadMemoryMappedFile | Could not open file mapping object. Error: 2"));
    for (Peer::Section section : kAllSections) {
        EXPECT_NE(nullptr, Peer::Mapping(AsNuv(provider.get()), section));
        EXPECT_NE(nullptr, Peer::View(AsNuv(provider.get()), section));
    }
    EXPECT_EQ(0u, mark.Count("NuvProvider::CreateMemoryMappedFile | Could not create file mapping object. Error: 5"));
    GrantAll(AsNuv(provider.get()));
}

TEST_F(UnlockProvider, ExistingSectionsAreOpenedWithoutAFailureLine) {
    LogMark mark;
    ComPtr<ICredentialProvider> second = MakeProvider();
    ASSERT_EQ(S_OK, second->SetUsageScenario(CPUS_UNLOCK_WORKSTATION, 0));
    for (const std::string& message : mark.Since())
        EXPECT_EQ(std::string::npos, message.find("Could not")) << message;
    EXPECT_EQ(4u, mark.Count("NuvProvider::CreateMemoryMappedFile | "));
    // Both providers map the same sections.
    static_cast<BYTE*>(Peer::View(Nuv(), Peer::UIInfoSection))[0] = 0x5A;
    EXPECT_EQ(0x5A, static_cast<BYTE*>(Peer::View(AsNuv(second.get()), Peer::UIInfoSection))[0]);
    static_cast<BYTE*>(Peer::View(Nuv(), Peer::UIInfoSection))[0] = 0;
}

TEST_F(UnlockProvider, ReadsWhatTheFillingComponentWrote) {
    ASSERT_EQ(0u, HxFiller::FillSection(HxFiller::kDomainSection, L"CORP"));
    ASSERT_EQ(0u, HxFiller::FillSection(HxFiller::kUserSection, L"alice"));
    ASSERT_EQ(0u, HxFiller::FillSection(HxFiller::kPasswordSection, L"p\x00E4ss w\x00F6rd"));
    EXPECT_TRUE(Peer::ReadCredential(Nuv()));
    EXPECT_EQ(L"alice", Peer::User(Nuv()));
    EXPECT_EQ(L"p\x00E4ss w\x00F6rd", Peer::Password(Nuv()));
}

TEST_F(UnlockProvider, EmptyUserSectionMeansNoCredentials) {
    ASSERT_EQ(0u, HxFiller::FillSection(HxFiller::kDomainSection, L"CORP"));
    ASSERT_EQ(0u, HxFiller::FillSection(HxFiller::kPasswordSection, L"pw"));
    LogMark mark;
    EXPECT_FALSE(Peer::ReadCredential(Nuv()));
    EXPECT_EQ(1u, mark.Count("NuvProvider::Decrypt | Decryption error. LastError: 13"));
    ASSERT_EQ(0u, HxFiller::FillSection(HxFiller::kUserSection, L""));
    EXPECT_FALSE(Peer::ReadCredential(Nuv())); // an empty text is no user either
}

TEST_F(UnlockProvider, PlaintextWithoutTerminatorIsReadWholeAndNoFurther) {
    ASSERT_EQ(0u, HxFiller::FillSection(HxFiller::kDomainSection, L"CORP"));
    ASSERT_EQ(0u, HxFiller::FillSection(HxFiller::kUserSection, L"alice", {false, false}));
    ASSERT_EQ(0u, HxFiller::FillSection(HxFiller::kPasswordSection, L"x", {false, false}));
    EXPECT_TRUE(Peer::ReadCredential(Nuv()));
    EXPECT_EQ(L"alice", Peer::User(Nuv()));
    EXPECT_EQ(L"x", Peer::Password(Nuv()));
}

TEST_F(UnlockProvider, MachineScopeBlobsAreReadToo) {
    ASSERT_EQ(0u, HxFiller::FillSection(HxFiller::kDomainSection, L"CORP", {true, true}));
    ASSERT_EQ(0u, HxFiller::FillSection(HxFiller::kUserSection, L"bob", {true, true}));
    EXPECT_TRUE(Peer::ReadCredential(Nuv()));
    EXPECT_EQ(L"bob", Peer::User(Nuv()));
}

TEST_F(UnlockProvider, ReReadingTheSectionsLeaksNoHandle) {
    ASSERT_EQ(0u, HxFiller::FillSection(HxFiller::kDomainSection, L"CORP"));
    ASSERT_EQ(0u, HxFiller::FillSection(HxFiller::kUserSection, L"alice"));
    Peer::ReadCredential(Nuv());
    const int before = CountOpenHandles();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 20; ++i)
        Peer::ReadCredential(Nuv());
    EXPECT_EQ(before, CountOpenHandles());
}

TEST_F(UnlockProvider, DestructionWipesAllFourAndKeepsTheUIInfoSection) {
    ASSERT_EQ(0u, HxFiller::FillSection(HxFiller::kDomainSection, L"CORP"));
    ASSERT_EQ(0u, HxFiller::FillSection(HxFiller::kUserSection, L"alice"));
    ASSERT_EQ(0u, HxFiller::FillSection(HxFiller::kPasswordSection, L"pw"));
    // The test's own views stand in for the other component's.
    UniqueHandle handles[4];
    UniqueMappedView views[4];
    for (int i = 0; i < 4; ++i) {
        handles[i].reset(OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kSectionNames[i]));
        ASSERT_TRUE(handles[i]);
        views[i].reset(MapViewOfFile(handles[i].get(), FILE_MAP_ALL_ACCESS, 0, 0, HxFiller::kSectionSize));
        static_cast<BYTE*>(views[i].get())[700] = 0x77;
    }
    provider.reset();
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(IsZeroed(views[i].get())) << i;
    for (auto& view : views)
        view.reset();
    for (auto& handle : handles)
        handle.reset();
    // Domain, user and password are gone with the last handle; the UI-info section is still open.
    for (int i = 0; i < 3; ++i) {
        UniqueHandle gone(OpenFileMappingW(FILE_MAP_READ, FALSE, kSectionNames[i]));
        EXPECT_FALSE(gone) << i;
    }
    DWORD error = 0;
    UniqueHandle uiInfo = HxFiller::OpenForFilling(HxFiller::kUIInfoSection, error);
    EXPECT_TRUE(uiInfo);
}

} // namespace
