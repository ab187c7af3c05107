// Whether a recognised user is the user of the locked session.

#include "platform/Registry.h"
#include "provider/NuvProvider.h"
#include "support/RegistryValue.h"

#include <gtest/gtest.h>

using Corvani::Nuv::CredentialProvider::isLastLoggedOnUser;
using Corvani::Nuv::Platform::kLastLoggedOnSAMUserValue;
using Corvani::Nuv::Platform::kLogonUIKey;

namespace {

std::wstring ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    GetComputerNameW(name, &size);
    return name;
}

class LastLoggedOnUserTest : public ::testing::Test {
protected:
    HxTest::ScopedRegistryValue lastUser{kLogonUIKey, kLastLoggedOnSAMUserValue};
};

TEST_F(LastLoggedOnUserTest, DomainAndUserMatchIgnoringLetterCase) {
    lastUser.SetString(L"Corp\\Alice");
    EXPECT_TRUE(isLastLoggedOnUser(L"CORP", L"alice"));
    EXPECT_TRUE(isLastLoggedOnUser(L"corp", L"ALICE"));
    EXPECT_FALSE(isLastLoggedOnUser(L"corp", L"alice2"));
    EXPECT_FALSE(isLastLoggedOnUser(L"corp2", L"alice"));
    EXPECT_FALSE(isLastLoggedOnUser(L"", L""));
}

TEST_F(LastLoggedOnUserTest, OnlyLettersAToZAreFolded) {
    lastUser.SetString(L"corp\\j\x00F6rg");
    EXPECT_TRUE(isLastLoggedOnUser(L"CORP", L"J\x00F6RG"));
    EXPECT_FALSE(isLastLoggedOnUser(L"corp", L"j\x00D6rg"));
}

TEST_F(LastLoggedOnUserTest, LocalAccountMatchesDotBackslashForm) {
    const std::wstring machine = ComputerName();
    ASSERT_FALSE(machine.empty());
    lastUser.SetString(L".\\Bob");
    EXPECT_TRUE(isLastLoggedOnUser(machine, L"bob"));
    EXPECT_FALSE(isLastLoggedOnUser(L"OTHERHOST", L"bob"));
    EXPECT_FALSE(isLastLoggedOnUser(machine, L"bobby"));
}

TEST_F(LastLoggedOnUserTest, MissingRegistryValueMatchesNobody) {
    lastUser.Remove();
    EXPECT_FALSE(isLastLoggedOnUser(L"corp", L"alice"));
    EXPECT_FALSE(isLastLoggedOnUser(ComputerName(), L""));
}

} // namespace
