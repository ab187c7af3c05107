// GetSerialization end to end: the logon buffer handed to LogonUI, with and without a "Negotiate" package.
// WithNegotiate.* runs in a child process that sees the test package (see main.cpp).

#include "support/CapturedLog.h"
#include "SectionFixtures.h"
#include "platform/ProviderClsid.h"
#include "platform/UniqueResource.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace HxTest;
using Corvani::Nuv::Platform::UniqueCoTaskMemory;

namespace {

struct Serialized {
    HRESULT result = E_FAIL;
    CREDENTIAL_PROVIDER_GET_SERIALIZATION_RESPONSE response = CPGSR_NO_CREDENTIAL_FINISHED;
    CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION serialization = {};
    UniqueCoTaskMemory buffer;
};

void Serialize(ICredentialProviderCredential* credential, Serialized& out) {
    out.result = credential->GetSerialization(&out.response, &out.serialization, nullptr, nullptr);
    out.buffer.reset(out.serialization.rgbSerialization);
}

std::wstring TextAt(const Serialized& out, size_t descriptor) {
    USHORT length = 0;
    ULONG64 offset = 0;
    std::memcpy(&length, out.serialization.rgbSerialization + descriptor, 2);
    std::memcpy(&offset, out.serialization.rgbSerialization + descriptor + 8, 8);
    return std::wstring(reinterpret_cast<const wchar_t*>(out.serialization.rgbSerialization + offset), length / 2);
}

ULONG MessageType(const Serialized& out) {
    ULONG type = 0;
    std::memcpy(&type, out.serialization.rgbSerialization, 4);
    return type;
}

class Tile : public ::testing::Test {
protected:
    void Create(CREDENTIAL_PROVIDER_USAGE_SCENARIO scenario) {
        ASSERT_EQ(S_OK, provider->SetUsageScenario(scenario, 0));
        GrantAll(AsNuv(provider.get()));
        ASSERT_EQ(S_OK, provider->GetCredentialAt(0, credential.put()));
        Nuv().SetCredential(L"CORP", L"alice", L"s3cret!");
    }
    NuvCredential& Nuv() { return *static_cast<NuvCredential*>(credential.get()); }

    ComPtr<ICredentialProvider> provider = MakeProvider();
    ComPtr<ICredentialProviderCredential> credential;
};

using WithoutNegotiate = Tile;
using WithNegotiate = Tile;

TEST_F(WithoutNegotiate, FailedLookupWipesAndReleasesThePackedBuffer) {
    Create(CPUS_LOGON);
    LogMark mark;
    Serialized out;
    Serialize(credential.get(), out);
    EXPECT_TRUE(FAILED(out.result));
    EXPECT_EQ(0x10000000, out.result & 0x10000000) << std::hex << out.result; // an NTSTATUS
    EXPECT_EQ(CPGSR_NO_CREDENTIAL_FINISHED, out.response);
    EXPECT_EQ(nullptr, out.serialization.rgbSerialization);
    EXPECT_EQ(0u, out.serialization.cbSerialization);
    const std::vector<std::string> lines = mark.Since();
    const std::vector<std::string> expected = {"NuvCredential::GetSerialization | 1", "NuvCredential::GetSerialization | 2",
                                               "NuvCredential::GetSerialization | 3",
                                               "NuvCredential::GetSerialization | ERROR"};
    EXPECT_EQ(expected, lines);
}

TEST_F(WithoutNegotiate, TooLongUserNameFailsBeforeAnythingIsPacked) {
    Create(CPUS_LOGON);
    Nuv().SetCredential(L"CORP", std::wstring(32768, L'a'), L"pw");
    LogMark mark;
    Serialized out;
    Serialize(credential.get(), out);
    EXPECT_EQ(static_cast<HRESULT>(0x80070216), out.result);
    EXPECT_EQ(nullptr, out.serialization.rgbSerialization);
    const std::vector<std::string> expected = {"NuvCredential::GetSerialization | 1",
                                               "NuvCredential::GetSerialization | ERROR"};
    EXPECT_EQ(expected, mark.Since());
}

TEST_F(WithNegotiate, LogonScreenGetsAnInteractiveLogon) {
    Create(CPUS_LOGON);
    LogMark mark;
    Serialized out;
    Serialize(credential.get(), out);
    ASSERT_EQ(S_OK, out.result);
    EXPECT_EQ(CPGSR_RETURN_CREDENTIAL_FINISHED, out.response);
    EXPECT_TRUE(IsEqualCLSID(CLSID_NuvProvider, out.serialization.clsidCredentialProvider));
    ASSERT_EQ(64u + 8 + 10 + 14, out.serialization.cbSerialization);
    EXPECT_EQ(2u, MessageType(out));
    EXPECT_EQ(L"CORP", TextAt(out, 8));
    EXPECT_EQ(L"alice", TextAt(out, 24));
    EXPECT_EQ(L"s3cret!", TextAt(out, 40));
    EXPECT_EQ(1u, mark.Count("NuvCredential::GetSerialization | 4"));
    // The credentials stay until the result is reported.
    EXPECT_EQ(L"s3cret!", NuvCredentialTestPeer::Password(Nuv()));
}

TEST_F(WithNegotiate, LongestUserNameIsPacked) {
    Create(CPUS_LOGON);
    Nuv().SetCredential(L"CORP", std::wstring(32767, L'a'), L"pw");
    Serialized out;
    Serialize(credential.get(), out);
    ASSERT_EQ(S_OK, out.result);
    EXPECT_EQ(64u + 8 + 65534 + 4, out.serialization.cbSerialization);
    EXPECT_EQ(std::wstring(32767, L'a'), TextAt(out, 24));
}

TEST_F(WithNegotiate, UnlockScreenGetsAnUnlockLogon) {
    Create(CPUS_UNLOCK_WORKSTATION);
    Serialized out;
    Serialize(credential.get(), out);
    ASSERT_EQ(S_OK, out.result);
    EXPECT_EQ(7u, MessageType(out));
}

TEST_F(WithNegotiate, CredUIMessageTypeIsZero) {
    Create(CPUS_LOGON);
    ASSERT_EQ(S_OK, Nuv().Initialize(CPUS_CREDUI));
    Serialized out;
    Serialize(credential.get(), out);
    ASSERT_EQ(S_OK, out.result);
    EXPECT_EQ(0u, MessageType(out));
}

TEST_F(WithNegotiate, BothLookupsNameTheSamePackage) {
    Create(CPUS_LOGON);
    Serialized first, second;
    Serialize(credential.get(), first);
    Serialize(credential.get(), second);
    ASSERT_EQ(S_OK, first.result);
    EXPECT_EQ(first.serialization.ulAuthenticationPackage, second.serialization.ulAuthenticationPackage);
}

} // namespace
