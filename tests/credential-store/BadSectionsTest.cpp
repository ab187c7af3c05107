// Credential sections that another party left in a bad state before the provider came: a DACL that shuts
// the provider out, one that lets everybody in, a section smaller than 1024 bytes, and a blob protected
// for somebody else. Each is traced as the section rules trace, no handle is left open beyond what each
// provider keeps, and the tile still works.

#include "configuration/TileCheck.h"

#include "CredentialSections.h"
#include "SectionAccess.h"
#include "platform/UniqueResource.h"
#include "support/CapturedLog.h"
#include "support/HandleCount.h"
#include "support/ProviderPeers.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include <string>
#include <vector>

using namespace Corvani::Nuv::CredentialProvider;
using Corvani::Nuv::Platform::ComPtr;
using Corvani::Nuv::Platform::UniqueHandle;
using Corvani::Nuv::Platform::UniqueLocalMemory;
using Corvani::Nuv::Platform::UniqueMappedView;

namespace {

// The domain section, created first by "another party" with the given DACL and size.
UniqueHandle CreateDomainSection(const wchar_t* sddl, DWORD size) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr))
        return UniqueHandle();
    UniqueLocalMemory owner(descriptor);
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor, FALSE};
    return UniqueHandle(
        CreateFileMappingW(INVALID_HANDLE_VALUE, &attributes, PAGE_READWRITE, 0, size, HxFiller::kDomainSection));
}

// A blob that this account cannot open without what it was protected with: it stands in for a blob of
// another user's key, which Wine's single account cannot make.
std::vector<BYTE> ForeignBlob(const std::wstring& text) {
    DATA_BLOB plain = {static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)),
                       reinterpret_cast<BYTE*>(const_cast<wchar_t*>(text.c_str()))};
    BYTE secret[] = "another account's key";
    DATA_BLOB entropy = {sizeof(secret), secret};
    DATA_BLOB blob = {};
    if (!CryptProtectData(&plain, L"hx", &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &blob))
        return {};
    UniqueLocalMemory owner(blob.pbData);
    return std::vector<BYTE>(blob.pbData, blob.pbData + blob.cbData);
}

struct SectionCase {
    const char* name;
    const wchar_t* sddl;
    DWORD size;
    bool foreignBlob;
    std::vector<std::string> unlockLines; // the failure lines of CreateMappedMemory and of reading the domain
};

const std::string kZeroSection = "NuvProvider::Decrypt | Decryption error. LastError: 13";

TEST(BadSections, EachIsTracedAndTheTileStillWorks) {
    const std::string cannotCreate = "NuvProvider::CreateMemoryMappedFile | Could not create file mapping object. Error: 5";
    const std::string cannotOpen = "NuvProvider::ReadMemoryMappedFile | Could not open file mapping object. Error: 5";
    const SectionCase cases[] = {
        {"DACL of another account", L"D:(A;;GA;;;S-1-5-21-1-2-3-1001)", 1024, false, {cannotCreate, cannotOpen}},
        {"DACL open to everybody", L"D:(A;;GA;;;WD)", 1024, false, {kZeroSection}},
        // Wine maps 1024 bytes of it (the section takes a whole page); Windows refuses the view.
        {"512 bytes", L"D:(A;;GA;;;WD)", 512, false, {kZeroSection}},
        {"blob of another account", L"D:(A;;GA;;;WD)", 1024, true, {kZeroSection}},
        {"blob of another account, again", L"D:(A;;GA;;;WD)", 1024, true, {kZeroSection}},
    };
    // Warm-up: the UI-info section stays for the life of the process, created for LocalSystem; this
    // process's user stands in for LocalSystem from here on.
    ASSERT_EQ("", HxConfigTest::TileProblem());
    ASSERT_EQ(0u, HxFiller::GrantCurrentUser(HxFiller::kUIInfoSection));
    const int kept = HxConfigTest::HandlesKeptPerProvider();
    ASSERT_LE(kept, 1); // more would be a leak of its own
    int handles = HxTest::CountOpenHandles();
    for (const SectionCase& c : cases) {
        {
            UniqueHandle domain = CreateDomainSection(c.sddl, c.size);
            ASSERT_TRUE(domain) << c.name;
            HxTest::LogMark mark;
            ComPtr<ICredentialProvider> provider = HxTest::MakeProvider();
            ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_UNLOCK_WORKSTATION, 0)) << c.name;
            if (c.foreignBlob) {
                ASSERT_EQ(0u, HxFiller::WriteSection(domain.get(), ForeignBlob(L"CORP"))) << c.name;
            }
            EXPECT_FALSE(NuvProviderTestPeer::ReadCredential(HxTest::AsNuv(provider.get()))) << c.name;
            // The user and password sections, new and empty, fail their decryption after the domain's.
            std::vector<std::string> expected = c.unlockLines;
            expected.insert(expected.end(), 2, kZeroSection);
            std::vector<std::string> failures;
            for (const std::string& line : mark.Since())
                if (line.find("Could not") != std::string::npos || line.find("error") != std::string::npos)
                    failures.push_back(line);
            EXPECT_EQ(expected, failures) << c.name;
            EXPECT_EQ("", HxConfigTest::TileProblem()) << c.name;
        }
        handles += 2 * kept; // the case's provider and the tile check's
        EXPECT_EQ(handles, HxTest::CountOpenHandles()) << c.name;
    }
}

} // namespace
