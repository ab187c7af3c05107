#pragma once
// The ICredentialProvider object LogonUI drives: one tile, the default and auto-logon decisions, and the
// shared-memory sections through which the recognised user's credentials arrive.

#include "platform/ComObject.h"
#include "platform/ComPtr.h"
#include "platform/CriticalSection.h"
#include "platform/CredentialProviderApi.h"
#include "platform/SecureText.h"
#include "platform/UniqueResource.h"

#include <array>
#include <atomic>
#include <string>

namespace Corvani::Nuv::CredentialProvider {

class NuvCredential;

// Set by SetUsageScenario(CPUS_LOGON): the sections held a switched-to user's credentials.
extern bool g_credentialsFromSwitchUser;
// Tick count of the last input event, taken when a provider is constructed.
extern DWORD g_lastInputTime;

class NuvProvider final : public Platform::ComObject<NuvProvider, ICredentialProvider> {
public:
    NuvProvider();

    // ICredentialProvider
    IFACEMETHODIMP SetUsageScenario(CREDENTIAL_PROVIDER_USAGE_SCENARIO cpus, DWORD flags) override;
    IFACEMETHODIMP SetSerialization(const CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION* serialization) override;
    IFACEMETHODIMP Advise(ICredentialProviderEvents* events, UINT_PTR adviseContext) override;
    IFACEMETHODIMP UnAdvise() override;
    IFACEMETHODIMP GetFieldDescriptorCount(DWORD* count) override;
    IFACEMETHODIMP GetFieldDescriptorAt(DWORD index, CREDENTIAL_PROVIDER_FIELD_DESCRIPTOR** descriptor) override;
    IFACEMETHODIMP GetCredentialCount(DWORD* count, DWORD* defaultIndex, BOOL* autoLogonWithDefault) override;
    IFACEMETHODIMP GetCredentialAt(DWORD index, ICredentialProviderCredential** credential) override;

    // A recognised face: hand the credentials to the tile, or disconnect a session locked by another user.
    void setCredentialChanged();

private:
    friend Platform::ComObject<NuvProvider, ICredentialProvider>; // the last Release destroys it
    ~NuvProvider();

    // Credential sections.
    void CreateMappedMemory();
    // One shared-memory section: its name, the provider's handle of it and its view.
    struct Section {
        const wchar_t* name;
        Platform::UniqueHandle mapping;
        Platform::UniqueMappedView view;
    };
    enum SectionIndex { DomainSection, UserSection, PasswordSection, UIInfoSection, SectionCount };
    void CreateMemoryMappedFile(Section& section);
    bool ReadCredential();
    std::wstring ReadMemoryMappedFile(Section& section);
    bool IsOurs(Platform::UniqueHandle& mapping, const char* operation);
    std::wstring Decrypt(void* view);
    void SetCredential();
    void CleanCredential();
    // A copy of the texts last read, taken under _credentialStoreLock.
    void CopyCredentials(Platform::SecretCredentials& copy);

    HRESULT ApplyUsageScenario(CREDENTIAL_PROVIDER_USAGE_SCENARIO cpus);
    HRESULT AdviseEvents(ICredentialProviderEvents* events, UINT_PTR adviseContext);
    HRESULT UnAdviseEvents();
    HRESULT CountCredentials(DWORD& count, DWORD& defaultIndex, BOOL& autoLogonWithDefault);
    HRESULT CreateCredentialIfNeeded();
    void InitializeCredentialSource();
    void DisconnectLockedSession();
    // _providerEvents is shared with the pipe thread that raises CredentialsChanged.
    Platform::ComPtr<ICredentialProviderEvents> ProviderEvents();
    void SetProviderEvents(ICredentialProviderEvents* events);

    Platform::ComPtr<ICredentialProviderEvents> _providerEvents;
    Platform::CriticalSection _providerEventsLock;
    UINT_PTR _adviseContext = 0;
    // Written by SetUsageScenario, read by the pipe thread of a LOGON. Atomic.
    std::atomic<CREDENTIAL_PROVIDER_USAGE_SCENARIO> _usageScenario{CPUS_INVALID};
    Platform::ComPtr<NuvCredential> _credential; // the creation reference
    // The sections, their views and the texts read from them: read by the pipe thread of a LOGON
    // (setCredentialChanged) and by LogonUI's thread (SetUsageScenario, the destructor); every access
    // holds _credentialStoreLock, which is never held while the credential's own lock is taken.
    Platform::CriticalSection _credentialStoreLock;
    std::array<Section, SectionCount> _sections{
        {{L"Global\\hxd", {}, {}}, {L"Global\\hxu", {}, {}}, {L"Global\\hxp", {}, {}}, {L"Global\\hxui", {}, {}}}};
    std::wstring _domain;
    std::wstring _user;
    std::wstring _password;

    friend struct NuvProviderTestPeer;
};

// Whether the recognised domain and user are the user whose session LogonUI remembers as the last one.
bool isLastLoggedOnUser(const std::wstring& domain, const std::wstring& user);

} // namespace Corvani::Nuv::CredentialProvider
