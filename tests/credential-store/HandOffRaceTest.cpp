// A LOGON arriving on the pipe thread while LogonUI's thread serializes and reports results: every logon
// buffer holds one recognised user's credentials, never a mix of two, and the heap stays sound.
// Race.* runs in a child process that sees the test package and writes no trace log (see main.cpp).

#include "SectionFixtures.h"
#include "ipc/NuvPipeClient.h"
#include "ipc/PipeNames.h"
#include "platform/UniqueResource.h"
#include "support/FakeEvents.h"

#include <atomic>
#include <cstring>
#include <gtest/gtest.h>
#include <thread>

using namespace HxTest;

namespace {

constexpr int kLogons = 10000;
constexpr DWORD kUIProcessId = 77001; // a server for a UI process nobody runs
constexpr wchar_t kLogonCommand[] = L"{\"Command\": \"LOGON\",\"Payload\": []}";

struct User {
    std::wstring domain, user, password;
};

const User kUsers[] = {{L"CORPA", L"alice", L"alice-secret-1"}, {L"DOMAINB", L"bob", L"bob-password-22"}};

std::wstring TextAt(const BYTE* buffer, size_t descriptor) {
    USHORT length = 0;
    ULONG64 offset = 0;
    std::memcpy(&length, buffer + descriptor, 2);
    std::memcpy(&offset, buffer + descriptor + 8, 8);
    return std::wstring(reinterpret_cast<const wchar_t*>(buffer + offset), length / 2);
}

// Everything empty (after a result was reported) or exactly one user's three texts.
bool IsOneSet(const User& seen) {
    if (seen.domain.empty() && seen.user.empty() && seen.password.empty())
        return true;
    for (const User& user : kUsers)
        if (seen.domain == user.domain && seen.user == user.user && seen.password == user.password)
            return true;
    return false;
}

// LogonUI's side: serialize, check, report success; until told to stop.
void SerializeUntil(ICredentialProviderCredential& credential, const std::atomic<bool>& stop, int& serialized,
                    int& mixed) {
    while (!stop) {
        CREDENTIAL_PROVIDER_GET_SERIALIZATION_RESPONSE response = CPGSR_NO_CREDENTIAL_FINISHED;
        CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION serialization = {};
        if (SUCCEEDED(credential.GetSerialization(&response, &serialization, nullptr, nullptr))) {
            Corvani::Nuv::Platform::UniqueCoTaskMemory owner(serialization.rgbSerialization);
            const BYTE* buffer = serialization.rgbSerialization;
            ++serialized;
            if (!IsOneSet({TextAt(buffer, 8), TextAt(buffer, 24), TextAt(buffer, 40)}))
                ++mixed;
        }
        credential.ReportResult(0, 0, nullptr, nullptr);
    }
}

// The UI application's side: the server serves one connection at a time, so a LOGON that finds no
// instance between two connections is sent again.
bool Deliver(const std::wstring& pipe) {
    Corvani::Nuv::IPC::NuvPipeClient uiApplication;
    DWORD error = 0;
    for (int attempt = 0; attempt < 100; ++attempt, Sleep(1))
        if (uiApplication.SendCommand(kLogonCommand, pipe, error))
            return true;
    return false;
}

TEST(Race, LogonsRacingSerializationHandOverOneUserAtATime) {
    ComPtr<ICredentialProvider> provider = MakeProvider();
    ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_LOGON, 0));
    GrantAll(AsNuv(provider.get()));
    FakeProviderEvents events;
    ASSERT_EQ(S_OK, provider->Advise(&events, 1));
    NuvCredential& credential = *Peer::Credential(AsNuv(provider.get()));
    credential.CreateIPCObjects(kUIProcessId);

    std::vector<BYTE> blobs[2][3];
    for (int u = 0; u < 2; ++u) {
        const std::wstring texts[] = {kUsers[u].domain, kUsers[u].user, kUsers[u].password};
        for (int t = 0; t < 3; ++t)
            blobs[u][t] = HxFiller::ProtectText(texts[t]);
    }
    const wchar_t* names[] = {HxFiller::kDomainSection, HxFiller::kUserSection, HxFiller::kPasswordSection};
    UniqueHandle sections[3];
    for (int t = 0; t < 3; ++t) {
        DWORD error = 0;
        sections[t] = HxFiller::OpenForFilling(names[t], error);
        ASSERT_TRUE(sections[t]) << error;
    }

    std::atomic<bool> stop{false};
    int serialized = 0, mixed = 0;
    std::thread logonUI([&] { SerializeUntil(credential, stop, serialized, mixed); });
    const std::wstring pipe = Corvani::Nuv::IPC::ProviderPipeName(kUIProcessId);
    int delivered = 0;
    for (int logon = 0; logon < kLogons; ++logon) {
        for (int t = 0; t < 3; ++t)
            ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), HxFiller::WriteSection(sections[t].get(), blobs[logon % 2][t]));
        delivered += Deliver(pipe);
    }
    stop = true;
    logonUI.join();
    credential.CloseAndReleaseIPCObjects();
    provider->UnAdvise();

    EXPECT_EQ(kLogons, delivered);
    EXPECT_EQ(kLogons, events.changes);
    EXPECT_GT(serialized, 0);
    EXPECT_EQ(0, mixed) << "of " << serialized << " logon buffers";
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
}

} // namespace
