#include "logonui/HostEvents.h"

#include "logonui/FieldText.h"

#include <algorithm>

namespace HxHost {

IFACEMETHODIMP ProviderEvents::CredentialsChanged(UINT_PTR adviseContext) {
    ++_changes;
    _verbosity.Detail(L"ICredentialProviderEvents::CredentialsChanged(context " + std::to_wstring(adviseContext) +
                      L")");
    _story.Mark(L"CredentialsChanged raised: LogonUI enumerates the tiles again");
    SetEvent(_changed.get());
    return S_OK;
}

bool ProviderEvents::ChangedSince(LONG before, DWORD milliseconds) const {
    if (_changes == before)
        WaitForSingleObject(_changed.get(), milliseconds);
    return _changes != before;
}

// The first interface is the second one's base.
IFACEMETHODIMP CredentialEvents::QueryInterface(REFIID riid, void** object) {
    return ComObject::QueryInterface(
        IsEqualIID(riid, IID_ICredentialProviderCredentialEvents) ? IID_ICredentialProviderCredentialEvents2 : riid,
        object);
}

IFACEMETHODIMP CredentialEvents::SetFieldState(ICredentialProviderCredential* tile, DWORD field,
                                               CREDENTIAL_PROVIDER_FIELD_STATE state) {
    return Tell(tile, field, L"SetFieldState", FieldStateName(state));
}

IFACEMETHODIMP CredentialEvents::SetFieldInteractiveState(ICredentialProviderCredential* tile, DWORD field,
                                                          CREDENTIAL_PROVIDER_FIELD_INTERACTIVE_STATE state) {
    return Tell(tile, field, L"SetFieldInteractiveState", InteractiveStateName(state));
}

IFACEMETHODIMP CredentialEvents::SetFieldString(ICredentialProviderCredential* tile, DWORD field, LPCWSTR text) {
    return Tell(tile, field, L"SetFieldString", IsPassword(field) ? PasswordText(text) : Quoted(text));
}

IFACEMETHODIMP CredentialEvents::SetFieldCheckbox(ICredentialProviderCredential* tile, DWORD field, BOOL checked,
                                                  LPCWSTR label) {
    return Tell(tile, field, L"SetFieldCheckbox", (checked ? L"checked, " : L"not checked, ") + Quoted(label));
}

IFACEMETHODIMP CredentialEvents::SetFieldBitmap(ICredentialProviderCredential* tile, DWORD field, HBITMAP bitmap) {
    return Tell(tile, field, L"SetFieldBitmap", BitmapText(bitmap));
}

IFACEMETHODIMP CredentialEvents::SetFieldComboBoxSelectedItem(ICredentialProviderCredential* tile, DWORD field,
                                                              DWORD item) {
    return Tell(tile, field, L"SetFieldComboBoxSelectedItem", L"item " + std::to_wstring(item));
}

IFACEMETHODIMP CredentialEvents::DeleteFieldComboBoxItem(ICredentialProviderCredential* tile, DWORD field,
                                                         DWORD item) {
    return Tell(tile, field, L"DeleteFieldComboBoxItem", L"item " + std::to_wstring(item));
}

IFACEMETHODIMP CredentialEvents::AppendFieldComboBoxItem(ICredentialProviderCredential* tile, DWORD field,
                                                         LPCWSTR item) {
    return Tell(tile, field, L"AppendFieldComboBoxItem", Quoted(item));
}

IFACEMETHODIMP CredentialEvents::SetFieldSubmitButton(ICredentialProviderCredential* tile, DWORD field,
                                                      DWORD adjacent) {
    return Tell(tile, field, L"SetFieldSubmitButton", L"beside field " + std::to_wstring(adjacent));
}

IFACEMETHODIMP CredentialEvents::OnCreatingWindow(HWND* owner) {
    if (!owner)
        return E_POINTER;
    ++_windowRequests;
    *owner = _owner;
    _verbosity.Detail(L"ICredentialProviderCredentialEvents::OnCreatingWindow -> host window");
    return S_OK;
}

IFACEMETHODIMP CredentialEvents::BeginFieldUpdates() {
    _story.Mark(L"BeginFieldUpdates");
    return S_OK;
}

IFACEMETHODIMP CredentialEvents::EndFieldUpdates() {
    _story.Mark(L"EndFieldUpdates");
    return S_OK;
}

IFACEMETHODIMP CredentialEvents::SetFieldOptions(ICredentialProviderCredential* tile, DWORD field,
                                                 CREDENTIAL_PROVIDER_CREDENTIAL_FIELD_OPTIONS options) {
    return Tell(tile, field, L"SetFieldOptions", FieldOptionsText(options));
}

void CredentialEvents::AddTile(ICredentialProviderCredential* tile) {
    std::lock_guard<std::mutex> guard(_lock);
    _tiles.push_back(tile);
}

void CredentialEvents::SetPasswordFields(std::vector<DWORD> fields) {
    std::lock_guard<std::mutex> guard(_lock);
    _passwordFields = std::move(fields);
}

bool CredentialEvents::IsPassword(DWORD field) {
    std::lock_guard<std::mutex> guard(_lock);
    return std::find(_passwordFields.begin(), _passwordFields.end(), field) != _passwordFields.end();
}

// "tile 0 field 6 SetFieldString: 15 characters (not shown)".
HRESULT CredentialEvents::Tell(ICredentialProviderCredential* tile, DWORD field, const wchar_t* call,
                               const std::wstring& value) {
    std::wstring who = L"a tile the host was not given";
    {
        std::lock_guard<std::mutex> guard(_lock);
        const auto known = std::find(_tiles.begin(), _tiles.end(), tile);
        if (known != _tiles.end())
            who = L"tile " + std::to_wstring(known - _tiles.begin());
    }
    _story.Mark(who + L" field " + std::to_wstring(field) + L" " + call + L": " + value);
    return S_OK;
}

} // namespace HxHost
