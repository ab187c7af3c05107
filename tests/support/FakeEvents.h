#pragma once
// Event sinks standing in for LogonUI's: they count the calls the provider and the credential make.

#include "platform/CredentialProviderApi.h"

namespace HxTest {

class FakeProviderEvents final : public ICredentialProviderEvents {
public:
    IFACEMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ICredentialProviderEvents)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    IFACEMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refCount); }
    IFACEMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refCount); }
    IFACEMETHODIMP CredentialsChanged(UINT_PTR context) override {
        ++changes;
        lastContext = context;
        return S_OK;
    }

    LONG refCount = 1;
    int changes = 0;
    UINT_PTR lastContext = 0;
};

class FakeCredentialEvents final : public ICredentialProviderCredentialEvents {
public:
    explicit FakeCredentialEvents(HWND owner = reinterpret_cast<HWND>(0x1234)) : window(owner) {}

    IFACEMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ICredentialProviderCredentialEvents)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    IFACEMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refCount); }
    IFACEMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refCount); }
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

    LONG refCount = 1;
    HWND window;
    int windowRequests = 0;
};

} // namespace HxTest
