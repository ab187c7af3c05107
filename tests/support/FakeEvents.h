#pragma once
// Event sinks standing in for LogonUI's: they count the calls the provider and the credential make.

#include "platform/ComObject.h"
#include "platform/CredentialProviderApi.h"

namespace HxTest {

// Test fakes live on the stack: the test keeps the creation reference, so the count never reaches 0.
class FakeProviderEvents final
    : public Corvani::Nuv::Platform::ComObject<FakeProviderEvents, ICredentialProviderEvents> {
public:
    IFACEMETHODIMP CredentialsChanged(UINT_PTR context) override {
        ++changes;
        lastContext = context;
        return S_OK;
    }

    int changes = 0;
    UINT_PTR lastContext = 0;
};

class FakeCredentialEvents final
    : public Corvani::Nuv::Platform::ComObject<FakeCredentialEvents, ICredentialProviderCredentialEvents> {
public:
    explicit FakeCredentialEvents(HWND owner = reinterpret_cast<HWND>(0x1234)) : window(owner) {}

    IFACEMETHODIMP SetFieldState(ICredentialProviderCredential*, DWORD, CREDENTIAL_PROVIDER_FIELD_STATE) override {
        return S_OK;
    }
    IFACEMETHODIMP SetFieldInteractiveState(ICredentialProviderCredential*, DWORD,
                                            CREDENTIAL_PROVIDER_FIELD_INTERACTIVE_STATE) override {
        return S_OK;
    }
    IFACEMETHODIMP SetFieldString(ICredentialProviderCredential*, DWORD, LPCWSTR) override { return S_OK; }
    IFACEMETHODIMP SetFieldCheckbox(ICredentialProviderCredential*, DWORD, BOOL, LPCWSTR) override { return S_OK; }
    IFACEMETHODIMP SetFieldBitmap(ICredentialProviderCredential*, DWORD, HBITMAP) override { return S_OK; }
    IFACEMETHODIMP SetFieldComboBoxSelectedItem(ICredentialProviderCredential*, DWORD, DWORD) override {
        return S_OK;
    }
    IFACEMETHODIMP DeleteFieldComboBoxItem(ICredentialProviderCredential*, DWORD, DWORD) override { return S_OK; }
    IFACEMETHODIMP AppendFieldComboBoxItem(ICredentialProviderCredential*, DWORD, LPCWSTR) override { return S_OK; }
    IFACEMETHODIMP SetFieldSubmitButton(ICredentialProviderCredential*, DWORD, DWORD) override { return S_OK; }
    IFACEMETHODIMP OnCreatingWindow(HWND* owner) override {
        ++windowRequests;
        *owner = window;
        return S_OK;
    }

    HWND window;
    int windowRequests = 0;
};

} // namespace HxTest
