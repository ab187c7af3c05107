// The host's stand-in for a recognised face. LogonUI cannot reach into the provider, and neither can a
// host that loads it through COM; with --recognize the host creates the provider in-process instead, places
// the credentials in the sections as the product's service does, and lets the UI application stand-in
// send LOGON to the provider's pipe server, whose event reaches the tile as it does in LogonUI.

#include "common/ProgramDirectory.h"
#include "Console.h"
#include "CredentialSections.h"
#include "HostSession.h"
#include "credential/NuvCredential.h"
#include "ipc/NuvPipeClient.h"
#include "ipc/NuvPipeServer.h"
#include "platform/Registry.h"
#include "platform/UniqueResource.h"
#include "provider/NuvProvider.h"

#include <memory>

using Corvani::Nuv::CredentialProvider::NuvCredential;
using Corvani::Nuv::CredentialProvider::NuvProvider;
using Corvani::Nuv::IPC::NuvPipeClient;
using Corvani::Nuv::IPC::NuvPipeServer;
using Corvani::Nuv::Platform::UniqueHandle;

namespace HxHost {

namespace {

constexpr DWORD kStandInTimeoutMs = 20000;
constexpr DWORD kServerStopTimeoutMs = 5000;

bool FillSections(const HostOptions& options) {
    const DWORD errors[] = {HxFiller::FillSection(HxFiller::kDomainSection, options.domain),
                            HxFiller::FillSection(HxFiller::kUserSection, options.user),
                            HxFiller::FillSection(HxFiller::kPasswordSection, options.password)};
    for (DWORD error : errors)
        if (error != ERROR_SUCCESS) {
            PrintLine(L"  filling the credential sections failed with error " + std::to_wstring(error));
            return false;
        }
    PrintLine(L"Credential sections filled for " + options.domain + L"\\" + options.user + L" (password " +
              std::to_wstring(options.password.size()) + L" characters)");
    return true;
}

// The UI application stand-in sends LOGON to "\\.\pipe\CPPipeServer" + its own process id, then ends.
bool StartStandIn(PROCESS_INFORMATION& process) {
    std::wstring commandLine = L"\"" + HxTools::ProgramDirectory() + L"Corvani.Halvex.UI.exe\" -l 1033 --send LOGON,exit";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process) != FALSE;
}

void DeliverLogon(NuvCredential& credential) {
    PROCESS_INFORMATION info = {};
    if (!StartStandIn(info)) {
        PrintLine(L"  the UI application stand-in could not be started: error " + std::to_wstring(GetLastError()));
        return;
    }
    UniqueHandle process(info.hProcess), thread(info.hThread);
    PrintLine(L"UI application stand-in started, process id " + std::to_wstring(info.dwProcessId));
    // On the heap: should the loop not stop, the object it runs on must outlive this function.
    auto server = std::make_unique<NuvPipeServer>(info.dwProcessId);
    server->attach(&credential);
    UniqueHandle serverThread(CreateThread(nullptr, 0, NuvPipeServer::ThreadEntry, server.get(), 0, nullptr));
    WaitForSingleObject(process.get(), kStandInTimeoutMs);
    DWORD error = 0;
    NuvPipeClient(info.dwProcessId).SelfClose(error);
    if (WaitForSingleObject(serverThread.get(), kServerStopTimeoutMs) != WAIT_OBJECT_0) {
        PrintLine(L"  the pipe server did not stop; it is left running");
        server.release();
    }
}

} // namespace

bool HostSession::CreateProviderInProcess() {
    _inProcess = new NuvProvider();
    _provider = Corvani::Nuv::Platform::ComPtr<ICredentialProvider>::attach(_inProcess);
    PrintLine(L"Provider created in-process (--recognize: the host plays the face recognition)");
    return true;
}

void HostSession::RecognizeFace() {
    if (!FillSections(_options))
        return;
    const LONG changesBefore = _providerEvents.changes();
    DeliverLogon(*static_cast<NuvCredential*>(_credential.get()));
    if (_providerEvents.changes() == changesBefore) {
        PrintLine(L"  CredentialsChanged was not raised: another user than the locked one; LastLoggedOnProvider is "
                  L"now " + Corvani::Nuv::Platform::readLastLoggedOnProvider() +
                  L" and the locked session was disconnected");
        return;
    }
    // LogonUI enumerates the tile again and finds it asking for an immediate logon.
    ShowCredentialCount();
}

} // namespace HxHost
