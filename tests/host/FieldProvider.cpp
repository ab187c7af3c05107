// A credential provider of the host tests' own, as unlike this product's as it can be while staying small:
// five fields of five types, two tiles, a default that is not the first tile, and a second tile that
// hangs in GetSerialization (or, with HX_TWO_TILE_CRASH set, crashes in GetStringValue).

#include "platform/ComObject.h"
#include "platform/CredentialProviderApi.h"
#include "platform/NegotiatePackage.h"

#include <cstring>
#include <new>
#include <string>
#include <tuple>

using Corvani::Nuv::Platform::ComObject;

namespace {

// {6A4D2C10-93B7-4E21-8F5A-1D7C3B9E0A42}
constexpr CLSID kClsid = {0x6a4d2c10, 0x93b7, 0x4e21, {0x8f, 0x5a, 0x1d, 0x7c, 0x3b, 0x9e, 0x0a, 0x42}};
constexpr DWORD kHangMilliseconds = 10 * 60 * 1000;

struct Field {
    CREDENTIAL_PROVIDER_FIELD_TYPE type;
    const wchar_t* label;
};
constexpr Field kFields[] = {{CPFT_TILE_IMAGE, L"Picture"},
                             {CPFT_LARGE_TEXT, L"Name"},
                             {CPFT_PASSWORD_TEXT, L"Password"},
                             {CPFT_CHECKBOX, L"Remember me"},
                             {CPFT_SUBMIT_BUTTON, L"Submit"}};
constexpr DWORD kFieldCount = ARRAYSIZE(kFields);

HRESULT Copy(const wchar_t* text, LPWSTR* out) { return SHStrDupW(text, out); }

class Tile final : public ComObject<Tile, ICredentialProviderCredential> {
public:
    explicit Tile(DWORD index) : _index(index) {}

    IFACEMETHODIMP Advise(ICredentialProviderCredentialEvents*) override { return S_OK; }
    IFACEMETHODIMP UnAdvise() override { return S_OK; }
    IFACEMETHODIMP SetSelected(BOOL* autoLogon) override {
        *autoLogon = FALSE;
        return S_OK;
    }
    IFACEMETHODIMP SetDeselected() override { return S_OK; }
    IFACEMETHODIMP GetFieldState(DWORD field, CREDENTIAL_PROVIDER_FIELD_STATE* state,
                                 CREDENTIAL_PROVIDER_FIELD_INTERACTIVE_STATE* interactive) override {
        if (field >= kFieldCount)
            return E_INVALIDARG;
        *state = field == 2 || field == 4 ? CPFS_DISPLAY_IN_SELECTED_TILE : CPFS_DISPLAY_IN_BOTH;
        *interactive = field == 2 ? CPFIS_FOCUSED : CPFIS_NONE;
        return S_OK;
    }
    IFACEMETHODIMP GetStringValue(DWORD field, LPWSTR* text) override {
        if (_index == 1 && GetEnvironmentVariableW(L"HX_TWO_TILE_CRASH", nullptr, 0) != 0)
            *static_cast<volatile int*>(nullptr) = 1;
        if (field == 1)
            return Copy(_index == 0 ? L"First test tile" : L"Second test tile", text);
        if (field == 2)
            return Copy(L"s3cret-in-field", text);
        return E_INVALIDARG;
    }
    IFACEMETHODIMP GetBitmapValue(DWORD field, HBITMAP* bitmap) override {
        if (field != 0)
            return E_INVALIDARG;
        *bitmap = CreateBitmap(48, 32, 1, 32, nullptr);
        return *bitmap ? S_OK : E_OUTOFMEMORY;
    }
    IFACEMETHODIMP GetCheckboxValue(DWORD field, BOOL* checked, LPWSTR* label) override {
        if (field != 3)
            return E_INVALIDARG;
        *checked = TRUE;
        return Copy(kFields[3].label, label);
    }
    IFACEMETHODIMP GetSubmitButtonValue(DWORD field, DWORD* adjacentTo) override {
        if (field != 4)
            return E_INVALIDARG;
        *adjacentTo = 2;
        return S_OK;
    }
    IFACEMETHODIMP GetComboBoxValueCount(DWORD, DWORD*, DWORD*) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetComboBoxValueAt(DWORD, DWORD, LPWSTR*) override { return E_NOTIMPL; }
    IFACEMETHODIMP SetStringValue(DWORD, LPCWSTR) override { return S_OK; }
    IFACEMETHODIMP SetCheckboxValue(DWORD, BOOL) override { return S_OK; }
    IFACEMETHODIMP SetComboBoxSelectedValue(DWORD, DWORD) override { return E_NOTIMPL; }
    IFACEMETHODIMP CommandLinkClicked(DWORD) override { return E_NOTIMPL; }

    // The first tile hands over a 64-byte buffer of message type 2; the second never returns.
    IFACEMETHODIMP GetSerialization(CREDENTIAL_PROVIDER_GET_SERIALIZATION_RESPONSE* response,
                                    CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION* serialization, LPWSTR* statusText,
                                    CREDENTIAL_PROVIDER_STATUS_ICON* statusIcon) override {
        if (_index == 1)
            Sleep(kHangMilliseconds);
        *statusText = nullptr;
        *statusIcon = CPSI_NONE;
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
    IFACEMETHODIMP ReportResult(NTSTATUS, NTSTATUS, LPWSTR* statusText,
                                CREDENTIAL_PROVIDER_STATUS_ICON* statusIcon) override {
        *statusText = nullptr;
        *statusIcon = CPSI_NONE;
        return S_OK;
    }

private:
    const DWORD _index;
};

class Provider final : public ComObject<Provider, ICredentialProvider> {
public:
    Provider() : _tiles{new Tile(0), new Tile(1)} {}
    ~Provider() {
        for (Tile* tile : _tiles)
            tile->Release();
    }

    IFACEMETHODIMP SetUsageScenario(CREDENTIAL_PROVIDER_USAGE_SCENARIO scenario, DWORD) override {
        return scenario == CPUS_LOGON || scenario == CPUS_UNLOCK_WORKSTATION ? S_OK : E_NOTIMPL;
    }
    IFACEMETHODIMP SetSerialization(const CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION*) override { return E_NOTIMPL; }
    IFACEMETHODIMP Advise(ICredentialProviderEvents*, UINT_PTR) override { return S_OK; }
    IFACEMETHODIMP UnAdvise() override { return S_OK; }
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
        *descriptor = {index, kFields[index].type, nullptr, GUID_NULL};
        Copy(kFields[index].label, &descriptor->pszLabel);
        *out = descriptor;
        return S_OK;
    }
    IFACEMETHODIMP GetCredentialCount(DWORD* count, DWORD* defaultTile, BOOL* autoLogon) override {
        *count = 2;
        *defaultTile = 1;
        *autoLogon = FALSE;
        return S_OK;
    }
    IFACEMETHODIMP GetCredentialAt(DWORD index, ICredentialProviderCredential** out) override {
        if (index >= 2)
            return E_INVALIDARG;
        return _tiles[index]->QueryInterface(IID_ICredentialProviderCredential, reinterpret_cast<void**>(out));
    }

private:
    Tile* _tiles[2];
};

class Factory final : public ComObject<Factory, IClassFactory> {
public:
    IFACEMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto* provider = new (std::nothrow) Provider();
        if (!provider)
            return E_OUTOFMEMORY;
        const HRESULT hr = provider->QueryInterface(riid, object);
        provider->Release();
        return hr;
    }
    IFACEMETHODIMP LockServer(BOOL) override { return S_OK; }
};

} // namespace

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    *object = nullptr;
    if (!IsEqualCLSID(clsid, kClsid))
        return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) Factory();
    if (!factory)
        return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(riid, object);
    factory->Release();
    return hr;
}

extern "C" HRESULT __stdcall DllCanUnloadNow() { return S_FALSE; }
