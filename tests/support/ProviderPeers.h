#pragma once
// Access to the provider's and the credential's private state, for the tests only.

#include "credential/NuvCredential.h"
#include "platform/ComPtr.h"
#include "provider/NuvProvider.h"

namespace Corvani::Nuv::CredentialProvider {

struct NuvProviderTestPeer {
    using Section = NuvProvider::SectionIndex;
    static constexpr Section DomainSection = NuvProvider::DomainSection;
    static constexpr Section UserSection = NuvProvider::UserSection;
    static constexpr Section PasswordSection = NuvProvider::PasswordSection;
    static constexpr Section UIInfoSection = NuvProvider::UIInfoSection;

    static NuvCredential* Credential(NuvProvider& provider) { return provider._credential.get(); }
    static void setCredentialChanged(NuvProvider& provider) { provider.setCredentialChanged(); }
    static bool ReadCredential(NuvProvider& provider) { return provider.ReadCredential(); }
    static void CreateMappedMemory(NuvProvider& provider) { provider.CreateMappedMemory(); }
    static const std::wstring& Password(const NuvProvider& provider) { return provider._password; }
    static const std::wstring& User(const NuvProvider& provider) { return provider._user; }

    static HANDLE Mapping(const NuvProvider& provider, Section section) {
        return provider._sections[section].mapping.get();
    }
    static void* View(const NuvProvider& provider, Section section) { return provider._sections[section].view.get(); }
};

struct NuvCredentialTestPeer {
    static void SetAutoLogon(NuvCredential& credential, LONG value) { credential._autoLogon = value; }
    static LONG AutoLogon(const NuvCredential& credential) { return credential._autoLogon; }
    static bool CredentialsFromSwitchUser(const NuvCredential& credential) {
        return credential._credentialsFromSwitchUser;
    }
    static void SetCredentialsFromSwitchUser(NuvCredential& credential, bool value) {
        credential._credentialsFromSwitchUser = value;
    }
    static const wchar_t* DescriptorLabel(const NuvCredential& credential, DWORD field) {
        return credential._fieldDescriptors[field].pszLabel;
    }
    static const std::wstring& Domain(const NuvCredential& credential) { return credential._domain; }
    static const std::wstring& User(const NuvCredential& credential) { return credential._user; }
    static const std::wstring& Password(const NuvCredential& credential) { return credential._password; }
    static bool LogonFailed(const NuvCredential& credential) { return credential._logonFailed; }
    static HANDLE ServerThread(NuvCredential& credential) {
        Platform::CriticalSectionLock lock(credential._pipeObjectsLock);
        return credential._pipeServerThread.get();
    }
    static void SetResolutionSupported(NuvCredential& credential, bool value) {
        credential._isResolutionSupported = value;
    }
};

} // namespace Corvani::Nuv::CredentialProvider

namespace HxTest {

// A provider made the way the class factory makes it, owned by the test.
inline Corvani::Nuv::Platform::ComPtr<ICredentialProvider> MakeProvider() {
    return Corvani::Nuv::Platform::ComPtr<ICredentialProvider>::attach(
        new Corvani::Nuv::CredentialProvider::NuvProvider());
}

inline Corvani::Nuv::CredentialProvider::NuvProvider& AsNuv(ICredentialProvider* provider) {
    return *static_cast<Corvani::Nuv::CredentialProvider::NuvProvider*>(provider);
}

} // namespace HxTest
