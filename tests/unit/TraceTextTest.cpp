// The trace lines the provider and the tile write, in order, as support staff read them in CP.log.

#include "support/ScopedOverride.h"
#include "support/CapturedLog.h"
#include "support/FakeEvents.h"
#include "support/ProviderPeers.h"
#include "platform/Registry.h"
#include "platform/SecurityDescriptor.h"
#include "support/RegistryValue.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace Corvani::Nuv::CredentialProvider;
using Corvani::Nuv::Platform::ComPtr;
using HxTest::LogMark;
using HxTest::MakeProvider;

namespace {

using Lines = std::vector<std::string>;

TEST(TraceText, ConstructionAndUnsupportedScenario) {
    LogMark mark;
    ComPtr<ICredentialProvider> provider = MakeProvider();
    provider->SetUsageScenario(CPUS_CHANGE_PASSWORD, 0);
    provider->SetUsageScenario(CPUS_PLAP, 0);
    const Lines expected = {"-------------------------------------------------------",
                            "NuvProvider::NuvProvider | constructor",
                            "NuvProvider::NuvProvider | constructor finished",
                            "NuvProvider::SetUsageScenario | CPUS set to 3",
                            "NuvProvider::SetUsageScenario | END",
                            "NuvProvider::SetUsageScenario | CPUS set to 5",
                            "NuvProvider::SetUsageScenario | END"};
    Lines lines = mark.Since();
    // The logger's own first line ("Initializing CP.log logger") carries no CP.log message.
    lines.erase(std::remove(lines.begin(), lines.end(), std::string()), lines.end());
    EXPECT_EQ(expected, lines);
}

TEST(TraceText, UnlockScenarioCreatesAndInitializesTheCredential) {
    ComPtr<ICredentialProvider> provider = MakeProvider();
    LogMark mark;
    provider->SetUsageScenario(CPUS_UNLOCK_WORKSTATION, 0);
    Lines lines = mark.Since();
    // The section steps between "Initializing Credential" and "Initialize | 1" belong to the credential store.
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const std::string& line) { return line.rfind("NuvProvider::Create", 0) == 0; }),
                lines.end());
    const Lines expected = {"NuvProvider::SetUsageScenario | CPUS set to 2",
                            "NuvProvider::SetUsageScenario | Creating Credential",
                            "NuvCredential::NuvCredential | ",
                            "NuvCredential::NuvCredential | constructor finished",
                            "NuvProvider::SetUsageScenario | Initializing Credential",
                            "NuvCredential::Initialize | 1",
                            "NuvCredential::Initialize | END",
                            "NuvProvider::SetUsageScenario | Credential was initialized OK",
                            "NuvProvider::SetUsageScenario | END"};
    EXPECT_EQ(expected, lines);
}

TEST(TraceText, AdviseCountSelectionAndUnAdvise) {
    HxTest::ScopedRegistryValue lastProvider(Corvani::Nuv::Platform::kLogonUIKey,
                                             Corvani::Nuv::Platform::kLastLoggedOnProviderValue);
    lastProvider.SetString(L"{00000000-0000-0000-0000-000000000000}");
    ComPtr<ICredentialProvider> provider = MakeProvider();
    provider->SetUsageScenario(CPUS_UNLOCK_WORKSTATION, 0);
    ComPtr<ICredentialProviderCredential> credential;
    provider->GetCredentialAt(0, credential.put());
    HxTest::FakeProviderEvents events;
    HxTest::FakeCredentialEvents credentialEvents;
    HxTest::ScopedOverride noWindowYet(g_parentWindow, HWND{});

    LogMark mark;
    provider->Advise(&events, 1);
    provider->Advise(&events, 1);
    DWORD count = 0, defaultIndex = 0;
    BOOL autoLogon = FALSE;
    provider->GetCredentialCount(&count, &defaultIndex, &autoLogon);
    credential->Advise(&credentialEvents);
    NuvCredentialTestPeer::SetAutoLogon(*static_cast<NuvCredential*>(credential.get()), 1);
    credential->SetSelected(&autoLogon);
    credential->SetDeselected();
    credential->UnAdvise();
    provider->UnAdvise();

    const Lines expected = {
        "NuvProvider::Advise | 1",
        "NuvProvider::Advise | 3",
        "NuvCredential::FindAndKillNuvUI | _hNuvUI was null, nothing to kill, nothing to be worried :)",
        "NuvCredential::CloseAndReleaseIPCObjects | ",
        "NuvCredential::FindAndKillNuvUI | _hNuvUI was null, nothing to kill, nothing to be worried :)",
        "NuvCredential::CloseAndReleaseIPCObjects | ",
        "NuvProvider::Advise | 1",
        "NuvProvider::Advise | 2",
        "NuvProvider::Advise | 3",
        "NuvCredential::FindAndKillNuvUI | _hNuvUI was null, nothing to kill, nothing to be worried :)",
        "NuvCredential::CloseAndReleaseIPCObjects | ",
        "NuvCredential::FindAndKillNuvUI | _hNuvUI was null, nothing to kill, nothing to be worried :)",
        "NuvCredential::CloseAndReleaseIPCObjects | ",
        "NuvProvider::GetCredentialCount | 1",
        "NuvProvider::GetCredentialCount | 2 0",
        "NuvCredential::Advise | ",
        "NuvCredential::Advise | OnCreatingWindow",
        "NuvCredential::Advise | AFTER OnCreatingWindow",
        "NuvCredential::SetSelected | autologon set to 1",
        "NuvCredential::SetDeselected  | 1",
        "NuvCredential::UnAdvise | --",
        "NuvCredential::UnAdvise | IsHXCPSelected is NOT being set to false, to avoid deselect all the time in W7",
        "NuvProvider::UnAdvise | ",
        "NuvProvider::UnAdvise | CloseNuvUI",
        "NuvProvider::UnAdvise | releasing",
        "NuvProvider::UnAdvise | END",
    };
    const Lines lines = mark.Since();
    EXPECT_EQ(expected, lines);
}

// Sections of another owner waiting at the logon screen: read as empty, and not used when the provider
// would create them.
TEST(TraceText, SectionsOfAnotherOwnerAreNotUsed) {
    Corvani::Nuv::Platform::SddlSecurityAttributes security(L"O:S-1-5-21-0-0-0-2000D:(A;;GA;;;WD)");
    std::vector<Corvani::Nuv::Platform::UniqueHandle> sections;
    for (const wchar_t* name : {L"Global\\hxd", L"Global\\hxu", L"Global\\hxp"})
        sections.emplace_back(CreateFileMappingW(INVALID_HANDLE_VALUE, security.get(), PAGE_READWRITE, 0, 1024, name));
    LogMark mark;
    ComPtr<ICredentialProvider> provider = MakeProvider();
    provider->SetUsageScenario(CPUS_LOGON, 0);
    const std::string refused = "the section's owner S-1-5-21-0-0-0-2000 is not LocalSystem, the section is not used";
    const std::string read = "NuvProvider::ReadMemoryMappedFile | ", create = "NuvProvider::CreateMemoryMappedFile | ";
    const Lines expected = {read + refused,   read + refused,   read + refused,
                            create + refused, create + refused, create + refused};
    Lines lines = mark.Since();
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const std::string& line) { return line.find(" owner ") == std::string::npos; }),
                lines.end());
    EXPECT_EQ(expected, lines);
}

TEST(TraceText, LastLoggedOnUserNamesOnlyItsSteps) {
    HxTest::ScopedRegistryValue lastUser(Corvani::Nuv::Platform::kLogonUIKey, L"LastLoggedOnSAMUser");
    lastUser.SetString(L".\\dave");
    wchar_t machine[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    GetComputerNameW(machine, &size);
    LogMark mark;
    EXPECT_TRUE(isLastLoggedOnUser(machine, L"dave"));
    const Lines expected = {"NuvPipeServer::isLastLoggedOnUser | readStringValueFromRegistry",
                            "NuvPipeServer::isLastLoggedOnUser | recognizedUser",
                            "NuvPipeServer::isLastLoggedOnUser | machineName",
                            "NuvPipeServer::isLastLoggedOnUser | recognizedUserInThisMachine"};
    EXPECT_EQ(expected, mark.Since());
}

} // namespace
