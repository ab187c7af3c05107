#pragma once
// Shared by the section tests: the four sections, and a provider at the unlock screen whose sections this
// process may open the way the filling component (LocalSystem on Windows) does.

#include "CredentialSections.h"
#include "SectionAccess.h"
#include "support/ProviderPeers.h"

#include <gtest/gtest.h>

namespace HxTest {

using namespace Corvani::Nuv::CredentialProvider;
using Corvani::Nuv::Platform::ComPtr;
using Corvani::Nuv::Platform::UniqueHandle;
using Corvani::Nuv::Platform::UniqueMappedView;
using Peer = NuvProviderTestPeer;


inline const Peer::Section kAllSections[] = {Peer::DomainSection, Peer::UserSection, Peer::PasswordSection, Peer::UIInfoSection};
inline const wchar_t* const kSectionNames[] = {HxFiller::kDomainSection, HxFiller::kUserSection, HxFiller::kPasswordSection,
                                        HxFiller::kUIInfoSection};

inline bool IsZeroed(const void* view) {
    const auto* bytes = static_cast<const BYTE*>(view);
    for (DWORD i = 0; i < HxFiller::kSectionSize; ++i)
        if (bytes[i] != 0)
            return false;
    return true;
}

// Stands in for LocalSystem: lets this process's user open the provider's sections as well.
inline void GrantAll(NuvProvider& provider) {
    for (Peer::Section section : kAllSections)
        if (HANDLE mapping = Peer::Mapping(provider, section); mapping && HxFiller::IsSystemOnlyDacl(mapping)) {
            ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), HxFiller::GrantCurrentUser(mapping));
        }
}

// A provider at the unlock screen, whose sections the test process may open like the filling component.
class UnlockProvider : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_UNLOCK_WORKSTATION, 0));
        GrantAll(Nuv());
    }
    NuvProvider& Nuv() { return AsNuv(provider.get()); }

    ComPtr<ICredentialProvider> provider = MakeProvider();
};

} // namespace HxTest
