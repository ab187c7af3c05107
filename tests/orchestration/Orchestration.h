#pragma once
// What the orchestration tests share: a credential made the way LogonUI gets it, the UI application
// stand-in's record of what it received and did, and the processes of the UI application.

#include "credential/NuvCredential.h"
#include "platform/ComPtr.h"
#include "platform/UniqueResource.h"

#include <string>
#include <vector>

namespace HxTest {

// A logon-screen provider and its credential; the UI application it launched is killed at the end.
class OrchestratedCredential {
public:
    OrchestratedCredential();
    ~OrchestratedCredential();
    Corvani::Nuv::CredentialProvider::NuvCredential& operator*() const { return *_credential; }
    Corvani::Nuv::CredentialProvider::NuvCredential* operator->() const { return _credential; }
    ICredentialProvider* Provider() const { return _provider.get(); }
    void ReleaseProvider() { _provider.reset(); }

private:
    Corvani::Nuv::Platform::ComPtr<ICredentialProvider> _provider;
    Corvani::Nuv::CredentialProvider::NuvCredential* _credential;
};

// Options for every UI application stand-in started while this object lives (the provider passes its
// environment on); its record goes to a file of its own.
class StandInScript {
public:
    explicit StandInScript(const std::wstring& extraOptions = L"");
    ~StandInScript();
    std::vector<std::string> Lines() const;
    // Waits up to `ms` for a line starting with `prefix`.
    bool WaitForLine(const std::string& prefix, DWORD ms) const;

private:
    std::wstring _record;
};

// Process ids of the running UI application processes.
std::vector<DWORD> UIProcessIds();

// Starts the UI application stand-in beside the test executable as the provider would not: directly.
Corvani::Nuv::Platform::UniqueHandle StartStandInDirectly(const std::wstring& options);

// Waits up to `ms` for the process to end; its exit code, or STILL_ACTIVE.
DWORD ExitCodeAfter(HANDLE process, DWORD ms);

} // namespace HxTest
