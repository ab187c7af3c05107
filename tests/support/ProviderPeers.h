#pragma once
// Access to the provider's and the credential's private state, for the tests only.

#include "credential/NuvCredential.h"
#include "platform/ComPtr.h"
#include "provider/NuvProvider.h"

namespace Corvani::Nuv::CredentialProvider {

struct NuvProviderTestPeer {
    static NuvCredential* Credential(NuvProvider& provider) { return provider._credential.get(); }
    static void setCredentialChanged(NuvProvider& provider) { provider.setCredentialChanged(); }
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
    static const std::wstring& User(const NuvCredential& credential) { return credential._user; }
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
