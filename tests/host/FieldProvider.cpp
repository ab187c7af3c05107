// A credential provider as LogonUI meets them in the field, for the host's tests: a V2 provider that needs
// the user array (a tile per user, none without it) and answers E_NOTIMPL to Advise; every field type, the
// provider's logo and label by their GUIDs, field options; a selected tile sets fields through the second
// events interface; status texts on failure. After the users' tiles comes the "Other user" tile, the
// default: it hangs in GetSerialization, and with HX_FIELD_PROVIDER_CRASH set GetCredentialAt crashes on it.

#include "platform/ComObject.h"
#include "platform/ComPtr.h"
#include "platform/CredentialProviderApi.h"
#include "platform/NegotiatePackage.h"

#include <propkey.h>
#include <shlguid.h>

#include <cstring>
#include <new>
#include <string>
#include <tuple>
#include <vector>

using Corvani::Nuv::Platform::ComObject;
using Corvani::Nuv::Platform::ComPtr;

namespace {

// {6A4D2C10-93B7-4E21-8F5A-1D7C3B9E0A42}
constexpr CLSID kClsid = {0x6a4d2c10, 0x93b7, 0x4e21, {0x8f, 0x5a, 0x1d, 0x7c, 0x3b, 0x9e, 0x0a, 0x42}};
constexpr DWORD kHangMilliseconds = 10 * 60 * 1000;

enum : DWORD { kLogo, kLabel, kPicture, kName, kStatus, kUserName, kPassword, kRemember, kDomain, kForgot, kSubmit };
struct Field {
    CREDENTIAL_PROVIDER_FIELD_TYPE type;
    const wchar_t* label;
    const GUID& guid;
    CREDENTIAL_PROVIDER_CREDENTIAL_FIELD_OPTIONS options;
};
const Field kFields[] = {
    {CPFT_TILE_IMAGE, L"Logo", CPFG_CREDENTIAL_PROVIDER_LOGO, CPCFO_ENABLE_TOUCH_KEYBOARD_AUTO_INVOKE},
    {CPFT_SMALL_TEXT, L"Label", CPFG_CREDENTIAL_PROVIDER_LABEL, CPCFO_NONE},
    {CPFT_TILE_IMAGE, L"Picture", GUID_NULL, CPCFO_NONE},
    {CPFT_LARGE_TEXT, L"Name", GUID_NULL, CPCFO_NONE},
    {CPFT_SMALL_TEXT, L"Status", GUID_NULL, CPCFO_NONE},
    {CPFT_EDIT_TEXT, L"User name", CPFG_LOGON_USERNAME, CPCFO_NONE},
    {CPFT_PASSWORD_TEXT, L"Password", CPFG_LOGON_PASSWORD, CPCFO_ENABLE_PASSWORD_REVEAL},
    {CPFT_CHECKBOX, L"Remember me", GUID_NULL, CPCFO_NONE},
    {CPFT_COMBOBOX, L"Domain", GUID_NULL, CPCFO_NONE},
    {CPFT_COMMAND_LINK, L"I forgot my password", GUID_NULL, CPCFO_NONE},
    {CPFT_SUBMIT_BUTTON, L"Submit", GUID_NULL, CPCFO_NONE}};
constexpr DWORD kFieldCount = ARRAYSIZE(kFields);
const wchar_t* const kDomains[] = {L"CORP", L"WINEHOST", L"Other"};

HRESULT Copy(const std::wstring& text, LPWSTR* out) { return SHStrDupW(text.c_str(), out); }

struct User {
    std::wstring sid, name, qualifiedName; // no SID: the "Other user" tile
};

class Tile final
    : public ComObject<Tile, ICredentialProviderCredential2, ICredentialProviderCredentialWithFieldOptions> {
public:
    Tile(User user, bool first) : _user(std::move(user)), _first(first) {}

    // The V1 interface is the V2 one's base.
    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override {
        return ComObject::QueryInterface(
            IsEqualIID(riid, IID_ICredentialProviderCredential) ? IID_ICredentialProviderCredential2 : riid, object);
    }
    IFACEMETHODIMP Advise(ICredentialProviderCredentialEvents* events) override {
        if (_user.sid.empty())
            return E_NOTIMPL;
        const HRESULT hr = events->QueryInterface(IID_ICredentialProviderCredentialEvents2, _events.putVoid());
        return FAILED(hr) ? hr : _events->QueryInterface(IID_ICredentialProviderCredentialEvents, _events1.putVoid());
    }
    IFACEMETHODIMP UnAdvise() override {
        _events.reset();
        _events1.reset();
        return S_OK;
    }
    // The password comes, as a smart card reader's PIN would, through the second events interface.
    IFACEMETHODIMP SetSelected(BOOL* autoLogon) override {
        *autoLogon = FALSE;
        if (!_events)
            return S_OK;
        _password = L"s3cret-in-field";
        _events->BeginFieldUpdates();
        _events->SetFieldString(this, kStatus, L"Type your password");
        _events->SetFieldString(this, kPassword, _password.c_str());
        _events->SetFieldOptions(this, kPassword, CPCFO_ENABLE_PASSWORD_REVEAL | CPCFO_NUMBERS_ONLY);
        _events->SetFieldComboBoxSelectedItem(this, kDomain, 2);
        _events->EndFieldUpdates();
        _events1->SetFieldState(this, kForgot, CPFS_HIDDEN);
        return S_OK;
    }
    IFACEMETHODIMP SetDeselected() override { return S_OK; }
    IFACEMETHODIMP GetFieldState(DWORD field, CREDENTIAL_PROVIDER_FIELD_STATE* state,
                                 CREDENTIAL_PROVIDER_FIELD_INTERACTIVE_STATE* interactive) override {
        if (field >= kFieldCount)
            return E_INVALIDARG;
        *state = field <= kName ? CPFS_DISPLAY_IN_BOTH : CPFS_DISPLAY_IN_SELECTED_TILE;
        *interactive = field == kPassword ? CPFIS_FOCUSED : CPFIS_NONE;
        return S_OK;
    }
    IFACEMETHODIMP GetStringValue(DWORD field, LPWSTR* text) override {
        switch (field) {
        case kLabel: return Copy(L"Test sign-in", text);
        case kName: return Copy(_user.sid.empty() ? L"Other user" : _user.name, text);
        case kStatus: return Copy(L"Signed out", text);
        case kUserName: return Copy(_user.qualifiedName, text);
        case kPassword: return Copy(_password, text);
        case kForgot: return Copy(kFields[kForgot].label, text);
        default: return E_INVALIDARG;
        }
    }
    IFACEMETHODIMP GetBitmapValue(DWORD field, HBITMAP* bitmap) override {
        if (field != kLogo && field != kPicture)
            return E_INVALIDARG;
        *bitmap = field == kLogo ? CreateBitmap(72, 72, 1, 32, nullptr) : CreateBitmap(48, 32, 1, 32, nullptr);
        return *bitmap ? S_OK : E_OUTOFMEMORY;
    }
    IFACEMETHODIMP GetCheckboxValue(DWORD field, BOOL* checked, LPWSTR* label) override {
        if (field != kRemember)
            return E_INVALIDARG;
        *checked = TRUE;
        return Copy(kFields[kRemember].label, label);
    }
    IFACEMETHODIMP GetSubmitButtonValue(DWORD field, DWORD* adjacentTo) override {
        if (field != kSubmit)
            return E_INVALIDARG;
        *adjacentTo = kPassword;
        return S_OK;
    }
    IFACEMETHODIMP GetComboBoxValueCount(DWORD field, DWORD* items, DWORD* selected) override {
        if (field != kDomain)
            return E_INVALIDARG;
        *items = ARRAYSIZE(kDomains);
        *selected = 1;
        return S_OK;
    }
    IFACEMETHODIMP GetComboBoxValueAt(DWORD field, DWORD item, LPWSTR* text) override {
        return field == kDomain && item < ARRAYSIZE(kDomains) ? Copy(kDomains[item], text) : E_INVALIDARG;
    }
    IFACEMETHODIMP SetStringValue(DWORD field, LPCWSTR text) override {
        if (field == kPassword)
            _password = text ? text : L"";
        return S_OK;
    }
    IFACEMETHODIMP SetCheckboxValue(DWORD, BOOL) override { return S_OK; }
    IFACEMETHODIMP SetComboBoxSelectedValue(DWORD, DWORD) override { return S_OK; }
    IFACEMETHODIMP CommandLinkClicked(DWORD) override { return E_NOTIMPL; }

    // The first user's tile hands over a 64-byte buffer of message type 2; another user's fails with a
    // status text; the "Other user" tile never returns.
    IFACEMETHODIMP GetSerialization(CREDENTIAL_PROVIDER_GET_SERIALIZATION_RESPONSE* response,
                                    CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION* serialization, LPWSTR* statusText,
                                    CREDENTIAL_PROVIDER_STATUS_ICON* statusIcon) override {
        if (_user.sid.empty())
            Sleep(kHangMilliseconds);
        *response = CPGSR_NO_CREDENTIAL_FINISHED;
        *statusText = nullptr;
        *statusIcon = _first ? CPSI_NONE : CPSI_ERROR;
        if (!_first && FAILED(Copy(L"The domain cannot be reached.", statusText)))
            return E_OUTOFMEMORY;
        if (!_first)
            return HRESULT_FROM_WIN32(ERROR_NO_SUCH_DOMAIN);
        serialization->rgbSerialization = static_cast<byte*>(CoTaskMemAlloc(64));
        if (!serialization->rgbSerialization)
            return E_OUTOFMEMORY;
        std::memset(serialization->rgbSerialization, 0, 64);
        serialization->rgbSerialization[0] = 2;
        serialization->cbSerialization = 64;
        ULONG package = 0;
        std::ignore = Corvani::Nuv::Platform::LookupNegotiatePackage(package); // 0 when the prefix has none
        serialization->ulAuthenticationPackage = package;
        serialization->clsidCredentialProvider = kClsid;
        *response = CPGSR_RETURN_CREDENTIAL_FINISHED;
        return S_OK;
    }
    IFACEMETHODIMP ReportResult(NTSTATUS status, NTSTATUS, LPWSTR* statusText,
                                CREDENTIAL_PROVIDER_STATUS_ICON* statusIcon) override {
        *statusText = nullptr;
        *statusIcon = status == 0 ? CPSI_NONE : CPSI_ERROR;
        return status == 0 ? S_OK : Copy(L"Incorrect password or username.", statusText);
    }
    IFACEMETHODIMP GetUserSid(LPWSTR* sid) override {
        *sid = nullptr;
        return _user.sid.empty() ? S_FALSE : Copy(_user.sid, sid);
    }
    IFACEMETHODIMP GetFieldOptions(DWORD field, CREDENTIAL_PROVIDER_CREDENTIAL_FIELD_OPTIONS* options) override {
        if (field >= kFieldCount)
            return E_INVALIDARG;
        *options = kFields[field].options;
        return S_OK;
    }

private:
    const User _user;
    const bool _first;
    std::wstring _password;
    ComPtr<ICredentialProviderCredentialEvents2> _events;
    ComPtr<ICredentialProviderCredentialEvents> _events1; // the first interface, asked of the second
};

std::wstring UserText(ICredentialProviderUser* user, REFPROPERTYKEY key) {
    LPWSTR text = nullptr;
    std::wstring result = SUCCEEDED(user->GetStringValue(key, &text)) && text ? text : L"";
    CoTaskMemFree(text);
    return result;
}

// The array as LogonUI's behaves: filtered once only, no user beyond its count, the provider id a CLSID.
bool LikeLogonUIs(ICredentialProviderUserArray* users, DWORD count) {
    ComPtr<ICredentialProviderUser> user;
    if (users->SetProviderFilter(Identity_LocalUserProvider) != E_UNEXPECTED ||
        users->GetAt(count, user.put()) != E_INVALIDARG || (count > 0 && FAILED(users->GetAt(0, user.put()))))
        return false;
    PROPVARIANT id;
    PropVariantInit(&id);
    const bool clsid = count == 0 || (SUCCEEDED(user->GetValue(PKEY_Identity_ProviderID, &id)) && id.vt == VT_CLSID &&
                                      IsEqualGUID(*id.puuid, Identity_LocalUserProvider));
    PropVariantClear(&id);
    return clsid;
}

class Provider final : public ComObject<Provider, ICredentialProvider, ICredentialProviderSetUserArray> {
public:
    IFACEMETHODIMP SetUsageScenario(CREDENTIAL_PROVIDER_USAGE_SCENARIO scenario, DWORD) override {
        const bool supported = scenario == CPUS_LOGON || scenario == CPUS_UNLOCK_WORKSTATION || scenario == CPUS_PLAP;
        return supported ? S_OK : E_NOTIMPL;
    }
    IFACEMETHODIMP SetSerialization(const CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION*) override { return E_NOTIMPL; }
    IFACEMETHODIMP Advise(ICredentialProviderEvents*, UINT_PTR) override { return E_NOTIMPL; }
    IFACEMETHODIMP UnAdvise() override { return E_NOTIMPL; }
    IFACEMETHODIMP GetFieldDescriptorCount(DWORD* count) override {
        *count = kFieldCount;
        return S_OK;
    }
    IFACEMETHODIMP GetFieldDescriptorAt(DWORD index, CREDENTIAL_PROVIDER_FIELD_DESCRIPTOR** out) override {
        if (index >= kFieldCount)
            return E_INVALIDARG;
        auto* descriptor = static_cast<CREDENTIAL_PROVIDER_FIELD_DESCRIPTOR*>(CoTaskMemAlloc(sizeof(**out)));
        if (!descriptor)
            return E_OUTOFMEMORY;
        *descriptor = {index, kFields[index].type, nullptr, kFields[index].guid};
        Copy(kFields[index].label, &descriptor->pszLabel);
        *out = descriptor;
        return S_OK;
    }
    // A tile per local user of the array, then the "Other user" tile.
    IFACEMETHODIMP SetUserArray(ICredentialProviderUserArray* users) override {
        DWORD count = 0;
        if (FAILED(users->SetProviderFilter(Identity_LocalUserProvider)) || FAILED(users->GetCount(&count)) ||
            !LikeLogonUIs(users, count))
            return E_UNEXPECTED;
        for (DWORD i = 0; i < count; ++i) {
            ComPtr<ICredentialProviderUser> user;
            if (FAILED(users->GetAt(i, user.put())))
                return E_UNEXPECTED;
            _tiles.push_back(ComPtr<Tile>::attach(new Tile({UserText(user.get(), PKEY_Identity_PrimarySid),
                                                            UserText(user.get(), PKEY_Identity_DisplayName),
                                                            UserText(user.get(), PKEY_Identity_QualifiedUserName)},
                                                           i == 0)));
        }
        _tiles.push_back(ComPtr<Tile>::attach(new Tile({}, false)));
        return S_OK;
    }
    IFACEMETHODIMP GetCredentialCount(DWORD* count, DWORD* defaultTile, BOOL* autoLogon) override {
        *count = static_cast<DWORD>(_tiles.size());
        *defaultTile = _tiles.empty() ? CREDENTIAL_PROVIDER_NO_DEFAULT : *count - 1;
        *autoLogon = FALSE;
        return S_OK;
    }
    IFACEMETHODIMP GetCredentialAt(DWORD index, ICredentialProviderCredential** out) override {
        if (index >= _tiles.size())
            return E_INVALIDARG;
        if (index + 1 == _tiles.size() && GetEnvironmentVariableW(L"HX_FIELD_PROVIDER_CRASH", nullptr, 0) != 0)
            *static_cast<volatile int*>(nullptr) = 1;
        return _tiles[index]->QueryInterface(IID_ICredentialProviderCredential, reinterpret_cast<void**>(out));
    }

private:
    std::vector<ComPtr<Tile>> _tiles; // none without a user array
};

// A new object handed over as the interface asked for.
template <typename Object> HRESULT Create(REFIID riid, void** object) {
    auto* created = new (std::nothrow) Object();
    if (!created)
        return E_OUTOFMEMORY;
    const HRESULT hr = created->QueryInterface(riid, object);
    created->Release();
    return hr;
}

class Factory final : public ComObject<Factory, IClassFactory> {
public:
    IFACEMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        *object = nullptr;
        return outer ? CLASS_E_NOAGGREGATION : Create<Provider>(riid, object);
    }
    IFACEMETHODIMP LockServer(BOOL) override { return S_OK; }
};

} // namespace

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    *object = nullptr;
    return IsEqualCLSID(clsid, kClsid) ? Create<Factory>(riid, object) : CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT __stdcall DllCanUnloadNow() { return S_FALSE; }
