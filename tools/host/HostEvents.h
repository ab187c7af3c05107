#pragma once
// The host's own event sinks, as LogonUI hands them to the provider and to the credential.

#include "platform/CredentialProviderApi.h"

namespace HxHost {

class ProviderEvents final : public ICredentialProviderEvents {
public:
    IFACEMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    IFACEMETHODIMP_(ULONG) AddRef() override;
    IFACEMETHODIMP_(ULONG) Release() override;
    IFACEMETHODIMP CredentialsChanged(UINT_PTR adviseContext) override;

    LONG changes() const { return _changes; }

private:
    LONG _refCount = 1;
    volatile LONG _changes = 0;
};

class CredentialEvents final : public ICredentialProviderCredentialEvents {
public:
    explicit CredentialEvents(HWND owner) : _owner(owner) {}

    IFACEMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    IFACEMETHODIMP_(ULONG) AddRef() override;
    IFACEMETHODIMP_(ULONG) Release() override;
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
    LONG _refCount = 1;
    HWND _owner;
    LONG _windowRequests = 0;
};

} // namespace HxHost
