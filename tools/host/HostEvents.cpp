#include "HostEvents.h"

#include "Console.h"

namespace HxHost {

IFACEMETHODIMP ProviderEvents::CredentialsChanged(UINT_PTR adviseContext) {
    ++_changes;
    Detail(L"ICredentialProviderEvents::CredentialsChanged(context " + std::to_wstring(adviseContext) + L")");
    _timeline.Mark(L"CredentialsChanged raised: LogonUI enumerates the tiles again");
    return S_OK;
}

IFACEMETHODIMP CredentialEvents::SetFieldState(ICredentialProviderCredential*, DWORD, CREDENTIAL_PROVIDER_FIELD_STATE) {
    return S_OK;
}
IFACEMETHODIMP CredentialEvents::SetFieldInteractiveState(ICredentialProviderCredential*, DWORD,
                                                          CREDENTIAL_PROVIDER_FIELD_INTERACTIVE_STATE) {
    return S_OK;
}
IFACEMETHODIMP CredentialEvents::SetFieldString(ICredentialProviderCredential*, DWORD, LPCWSTR) { return S_OK; }
IFACEMETHODIMP CredentialEvents::SetFieldCheckbox(ICredentialProviderCredential*, DWORD, BOOL, LPCWSTR) {
    return S_OK;
}
IFACEMETHODIMP CredentialEvents::SetFieldBitmap(ICredentialProviderCredential*, DWORD, HBITMAP) { return S_OK; }
IFACEMETHODIMP CredentialEvents::SetFieldComboBoxSelectedItem(ICredentialProviderCredential*, DWORD, DWORD) {
    return S_OK;
}
IFACEMETHODIMP CredentialEvents::DeleteFieldComboBoxItem(ICredentialProviderCredential*, DWORD, DWORD) {
    return S_OK;
}
IFACEMETHODIMP CredentialEvents::AppendFieldComboBoxItem(ICredentialProviderCredential*, DWORD, LPCWSTR) {
    return S_OK;
}
IFACEMETHODIMP CredentialEvents::SetFieldSubmitButton(ICredentialProviderCredential*, DWORD, DWORD) {
    return S_OK;
}

IFACEMETHODIMP CredentialEvents::OnCreatingWindow(HWND* owner) {
    if (!owner)
        return E_POINTER;
    ++_windowRequests;
    *owner = _owner;
    Detail(L"ICredentialProviderCredentialEvents::OnCreatingWindow -> host window");
    return S_OK;
}

} // namespace HxHost
