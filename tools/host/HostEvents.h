#pragma once
// The host's own event sinks, as LogonUI hands them to the provider and to the credential.

#include "Timeline.h"
#include "platform/ComObject.h"
#include "platform/CredentialProviderApi.h"

#include <atomic>

namespace HxHost {

// Members of the host session: the session keeps the creation reference, so the count never reaches 0.
class ProviderEvents final : public Corvani::Nuv::Platform::ComObject<ProviderEvents, ICredentialProviderEvents> {
public:
    explicit ProviderEvents(Timeline& timeline) : _timeline(timeline) {}

    IFACEMETHODIMP CredentialsChanged(UINT_PTR adviseContext) override;

    LONG changes() const { return _changes; }

private:
    Timeline& _timeline;
    std::atomic<LONG> _changes{0};
};

class CredentialEvents final
    : public Corvani::Nuv::Platform::ComObject<CredentialEvents, ICredentialProviderCredentialEvents> {
public:
    explicit CredentialEvents(HWND owner) : _owner(owner) {}

    IFACEMETHODIMP SetFieldState(ICredentialProviderCredential*, DWORD, CREDENTIAL_PROVIDER_FIELD_STATE) override;
    IFACEMETHODIMP SetFieldInteractiveState(ICredentialProviderCredential*, DWORD,
                                            CREDENTIAL_PROVIDER_FIELD_INTERACTIVE_STATE) override;
    IFACEMETHODIMP SetFieldString(ICredentialProviderCredential*, DWORD, LPCWSTR) override;
    IFACEMETHODIMP SetFieldCheckbox(ICredentialProviderCredential*, DWORD, BOOL, LPCWSTR) override;
    IFACEMETHODIMP SetFieldBitmap(ICredentialProviderCredential*, DWORD, HBITMAP) override;
    IFACEMETHODIMP SetFieldComboBoxSelectedItem(ICredentialProviderCredential*, DWORD, DWORD) override;
    IFACEMETHODIMP DeleteFieldComboBoxItem(ICredentialProviderCredential*, DWORD, DWORD) override;
    IFACEMETHODIMP AppendFieldComboBoxItem(ICredentialProviderCredential*, DWORD, LPCWSTR) override;
    IFACEMETHODIMP SetFieldSubmitButton(ICredentialProviderCredential*, DWORD, DWORD) override;
    IFACEMETHODIMP OnCreatingWindow(HWND* owner) override;

    LONG windowRequests() const { return _windowRequests; }

private:
    HWND _owner;
    LONG _windowRequests = 0;
};

} // namespace HxHost
