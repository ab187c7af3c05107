// The trust check against files signed at test time: a test root (installed into the machine Root store
// for the suite), the product's publisher and another one under it, an impostor root with a publisher of
// the same name, and a root that is never installed.

#include "credential/NuvCredential.h"
#include "platform/SignatureVerification.h"
#include "platform/SignerIdentity.h"
#include "platform/TrustCheck.h"
#include "platform/UniqueResource.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace Corvani::Nuv::Platform;

std::wstring ExecutablePath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length);
}

std::wstring FilesDirectory() {
    std::wstring directory = ExecutablePath();
    directory.resize(directory.find_last_of(L'\\') + 1);
    return directory + L"trust-files\\";
}

std::wstring File(const wchar_t* name) {
    return FilesDirectory() + name;
}

std::vector<BYTE> ReadBytes(const std::wstring& path) {
    std::ifstream stream(std::filesystem::path(path), std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

UniqueCertStore OpenMachineRootStore() {
    return UniqueCertStore(
        CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root"));
}

bool InstallRoot(const wchar_t* name) {
    const std::vector<BYTE> encoded = ReadBytes(File(name));
    const UniqueCertStore store = OpenMachineRootStore();
    return store && !encoded.empty() &&
           CertAddEncodedCertificateToStore(store.get(), X509_ASN_ENCODING, encoded.data(),
                                            static_cast<DWORD>(encoded.size()),
                                            CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
}

void RemoveRoot(const wchar_t* name) {
    const std::vector<BYTE> encoded = ReadBytes(File(name));
    const UniqueCertStore store = OpenMachineRootStore();
    if (!store || encoded.empty())
        return;
    UniqueCertContext wanted(
        CertCreateCertificateContext(X509_ASN_ENCODING, encoded.data(), static_cast<DWORD>(encoded.size())));
    if (!wanted)
        return;
    UniqueCertContext found(CertFindCertificateInStore(store.get(), X509_ASN_ENCODING, 0, CERT_FIND_EXISTING,
                                                       wanted.get(), nullptr));
    if (found)
        CertDeleteCertificateFromStore(found.release()); // the deletion takes over the context
}

class TrustCheckTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(InstallRoot(L"root.cer")) << "run through CTest, whose setup step creates the test files";
        ASSERT_TRUE(InstallRoot(L"impostor-root.cer"));
    }
    static void TearDownTestSuite() {
        RemoveRoot(L"root.cer");
        RemoveRoot(L"impostor-root.cer");
    }

    static bool Check(const wchar_t* host, const wchar_t* provider, const wchar_t* ui) {
        return static_cast<bool>(ValidateTrustCheckFiles({File(host), File(provider), File(ui)}));
    }
    static bool EmbeddedSignatureAccepted(const wchar_t* name) {
        const UniqueFileHandle file = OpenForVerification(File(name));
        return file && VerifyEmbeddedSignature(file.get(), File(name));
    }
};

TEST_F(TrustCheckTest, FilesAllSignedByTheProductPublisherPass) {
    EXPECT_TRUE(Check(L"host-signed.exe", L"provider-signed.dll", L"ui-signed.exe"));
    EXPECT_TRUE(
        Check(L"host-signed.exe", L"provider-signed.dll", L"ui-signed.exe")); // nothing kept between calls
}

TEST_F(TrustCheckTest, AnUnsignedOrModifiedUiExecutableFails) {
    EXPECT_FALSE(Check(L"host-signed.exe", L"provider-signed.dll", L"unsigned.exe"));
    EXPECT_FALSE(EmbeddedSignatureAccepted(L"ui-tampered.exe"));
    EXPECT_FALSE(Check(L"host-signed.exe", L"provider-signed.dll", L"ui-tampered.exe"));
}

TEST_F(TrustCheckTest, AUiExecutableOfAnotherPublisherFailsThoughItsSignatureIsValid) {
    EXPECT_TRUE(EmbeddedSignatureAccepted(L"ui-other.exe"));
    EXPECT_FALSE(Check(L"host-signed.exe", L"provider-signed.dll", L"ui-other.exe"));
}

TEST_F(TrustCheckTest, TheSamePublisherNameUnderAnotherRootIsAnotherPublisher) {
    EXPECT_TRUE(EmbeddedSignatureAccepted(L"ui-impostor.exe"));
    EXPECT_FALSE(Check(L"host-signed.exe", L"provider-signed.dll", L"ui-impostor.exe"));
}

// Whether the root is missing from the signature or travels inside it, an untrusted root fails the file.
TEST_F(TrustCheckTest, SignaturesUnderAnUntrustedRootFailEvenWhenThePublishersMatch) {
    EXPECT_FALSE(Check(L"host-signed.exe", L"provider-stranger.dll", L"ui-stranger.exe"));
    EXPECT_FALSE(Check(L"host-signed.exe", L"provider-stranger-full.dll", L"ui-stranger-full.exe"));
    EXPECT_FALSE(Check(L"host-stranger.exe", L"provider-signed.dll", L"ui-signed.exe"));

    // The signer is not accepted: its chain does not end in a trusted root.
    EXPECT_FALSE(ReadSignerIdentity(File(L"ui-stranger.exe")));
    EXPECT_FALSE(ReadSignerIdentity(File(L"ui-stranger-full.exe")));
    EXPECT_TRUE(ReadSignerIdentity(File(L"ui-signed.exe")));
}

TEST_F(TrustCheckTest, AnUntrustedHostOrProviderModuleFailsWhateverTheUiExecutable) {
    EXPECT_FALSE(Check(L"unsigned.exe", L"provider-signed.dll", L"ui-signed.exe"));
    EXPECT_FALSE(Check(L"host-signed.exe", L"provider-unsigned.dll", L"ui-signed.exe"));
    EXPECT_FALSE(Check(L"host-signed.exe", L"provider-tampered.dll", L"ui-signed.exe"));
}

TEST_F(TrustCheckTest, PathsThatCannotBeDeterminedFail) {
    const std::wstring host = File(L"host-signed.exe");
    const std::wstring provider = File(L"provider-signed.dll");
    EXPECT_FALSE(ValidateTrustCheckFiles({host, provider, L""}));
    EXPECT_FALSE(ValidateTrustCheckFiles({L"", provider, File(L"ui-signed.exe")}));
    EXPECT_FALSE(ValidateTrustCheckFiles({host, provider, L"trust-files\\ui-signed.exe"}));
    EXPECT_FALSE(ValidateTrustCheckFiles({host, provider, File(L"missing.exe")}));
}

TEST_F(TrustCheckTest, AFileUnderVerificationCannotBeRewritten) {
    const UniqueFileHandle held = OpenForVerification(File(L"ui-signed.exe"));
    ASSERT_TRUE(held);
    const UniqueFileHandle writer(CreateFileW(File(L"ui-signed.exe").c_str(), GENERIC_WRITE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_FALSE(writer);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(MoveFileW(File(L"ui-signed.exe").c_str(), File(L"ui-moved.exe").c_str()));
}

// What the check verified is what the launcher starts: until the caller lets go of the returned handle,
// the UI executable can be neither rewritten nor moved away; afterwards it can.
TEST_F(TrustCheckTest, TheVerifiedUiExecutableIsHeldUntilReleased) {
    const std::wstring path = File(L"ui-signed.exe");
    const auto writable = [&] {
        return static_cast<bool>(UniqueFileHandle(CreateFileW(path.c_str(), GENERIC_WRITE,
                                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    };
    UniqueFileHandle verified = wsValidateCert(path);
    ASSERT_TRUE(verified);
    EXPECT_FALSE(writable());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(MoveFileW(path.c_str(), File(L"ui-moved.exe").c_str()));
    verified.reset();
    EXPECT_TRUE(writable());
}

// This executable is signed by the product's test publisher and stands for both the host process and the
// provider module, since the check's code is linked into it.
TEST_F(TrustCheckTest, TheProcessChecksItsOwnImageItsModuleAndTheUiExecutablePath) {
    const TrustCheckFiles files = CurrentTrustCheckFiles(File(L"ui-signed.exe"));
    EXPECT_EQ(files.hostExecutable, ExecutablePath());
    EXPECT_EQ(files.providerModule, ExecutablePath());
    EXPECT_EQ(files.uiExecutable, File(L"ui-signed.exe"));
    EXPECT_TRUE(wsValidateCert(File(L"ui-signed.exe")));
    EXPECT_FALSE(wsValidateCert(File(L"ui-other.exe")));
    EXPECT_FALSE(wsValidateCert(L""));
}

} // namespace
