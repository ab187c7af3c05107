// GetSerialization's argument and size checks and ReportResult's handling of the logon result. The package
// lookup itself needs an LSA package named "Negotiate" and is tested in the serialization tests.

#include "support/ScopedOverride.h"
#include "support/ProviderPeers.h"
#include "platform/UniqueResource.h"

#include <gtest/gtest.h>

using namespace Corvani::Nuv::CredentialProvider;
using Corvani::Nuv::Platform::ComPtr;
using HxTest::MakeProvider;

namespace {

constexpr NTSTATUS kStatusLogonFailure = static_cast<NTSTATUS>(0xC000006D);
constexpr NTSTATUS kStatusAccountRestriction = static_cast<NTSTATUS>(0xC000006E);

class SerializationTest : public ::testing::Test {
protected:
    void Create(CREDENTIAL_PROVIDER_USAGE_SCENARIO scenario) {
        ASSERT_EQ(S_OK, provider->SetUsageScenario(scenario, 0));
        ASSERT_EQ(S_OK, provider->GetCredentialAt(0, credential.put()));
    }
    NuvCredential& Nuv() { return *static_cast<NuvCredential*>(credential.get()); }

    ComPtr<ICredentialProvider> provider = MakeProvider();
    ComPtr<ICredentialProviderCredential> credential;
};

TEST_F(SerializationTest, TooLongTextFailsWithArithmeticOverflow) {
    Create(CPUS_LOGON);
    Nuv().SetCredential(L"corp", std::wstring(32768, L'u'), L"pw");
    NuvCredentialTestPeer::SetAutoLogon(Nuv(), 1);
    CREDENTIAL_PROVIDER_GET_SERIALIZATION_RESPONSE response = CPGSR_NO_CREDENTIAL_FINISHED;
    CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION serialization = {};
    EXPECT_EQ(static_cast<HRESULT>(0x80070216), credential->GetSerialization(&response, &serialization, nullptr, nullptr));
    EXPECT_EQ(CPGSR_NO_CREDENTIAL_FINISHED, response); // left unchanged
    EXPECT_EQ(nullptr, serialization.rgbSerialization);
    // The auto-logon request is spent even by a failed serialization.
    EXPECT_EQ(0, NuvCredentialTestPeer::AutoLogon(Nuv()));
}

TEST_F(SerializationTest, UnlockScenarioAfterAutoLogonReportsNoAutoLogonOnSelection) {
    Create(CPUS_UNLOCK_WORKSTATION);
    NuvCredentialTestPeer::SetAutoLogon(Nuv(), 1);
    CREDENTIAL_PROVIDER_GET_SERIALIZATION_RESPONSE response = CPGSR_NO_CREDENTIAL_FINISHED;
    CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION serialization = {};
    Nuv().SetCredential(L"corp", std::wstring(40000, L'u'), L"pw");
    credential->GetSerialization(&response, &serialization, nullptr, nullptr);
    HxTest::ScopedOverride notSelected(IsHXCPSelected, false);
    BOOL autoLogon = TRUE;
    ASSERT_EQ(S_OK, credential->SetSelected(&autoLogon));
    EXPECT_FALSE(autoLogon);
    credential->SetDeselected();
}

TEST_F(SerializationTest, NullOutPointersAreRejected) {
    Create(CPUS_LOGON);
    CREDENTIAL_PROVIDER_GET_SERIALIZATION_RESPONSE response;
    CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION serialization = {};
    EXPECT_EQ(E_INVALIDARG, credential->GetSerialization(nullptr, &serialization, nullptr, nullptr));
    EXPECT_EQ(E_INVALIDARG, credential->GetSerialization(&response, nullptr, nullptr, nullptr));
}

TEST_F(SerializationTest, WrongPasswordKeepsTheUserAndRemembersTheFailure) {
    Create(CPUS_UNLOCK_WORKSTATION);
    Nuv().SetCredential(L"corp", L"alice", L"wrong");
    LPWSTR text = reinterpret_cast<LPWSTR>(1);
    CREDENTIAL_PROVIDER_STATUS_ICON icon = CPSI_ERROR;
    EXPECT_EQ(S_OK, credential->ReportResult(kStatusLogonFailure, 0, &text, &icon));
    EXPECT_EQ(nullptr, text);
    EXPECT_EQ(CPSI_NONE, icon);
    EXPECT_EQ(L"corp", NuvCredentialTestPeer::Domain(Nuv()));
    EXPECT_EQ(L"alice", NuvCredentialTestPeer::User(Nuv()));
    EXPECT_EQ(L"", NuvCredentialTestPeer::Password(Nuv()));
    EXPECT_TRUE(NuvCredentialTestPeer::LogonFailed(Nuv()));
}

TEST_F(SerializationTest, AnyOtherResultForgetsAllThreeTexts) {
    Create(CPUS_LOGON);
    for (NTSTATUS status : {static_cast<NTSTATUS>(0), kStatusAccountRestriction}) {
        Nuv().SetCredential(L"corp", L"alice", L"secret");
        EXPECT_EQ(S_OK, credential->ReportResult(status, kStatusLogonFailure, nullptr, nullptr));
        EXPECT_EQ(L"", NuvCredentialTestPeer::Domain(Nuv()));
        EXPECT_EQ(L"", NuvCredentialTestPeer::User(Nuv()));
        EXPECT_EQ(L"", NuvCredentialTestPeer::Password(Nuv()));
        EXPECT_FALSE(NuvCredentialTestPeer::LogonFailed(Nuv()));
    }
}

TEST_F(SerializationTest, SuccessAfterFailureLeavesTheFailureFlagAlone) {
    Create(CPUS_UNLOCK_WORKSTATION);
    Nuv().SetCredential(L"corp", L"alice", L"wrong");
    credential->ReportResult(kStatusLogonFailure, 0, nullptr, nullptr);
    credential->ReportResult(0, 0, nullptr, nullptr);
    EXPECT_TRUE(NuvCredentialTestPeer::LogonFailed(Nuv()));
}

} // namespace
