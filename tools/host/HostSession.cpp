#include "HostSession.h"

#include "Console.h"
#include "LogonBufferView.h"
#include "platform/ProviderClsid.h"
#include "platform/UniqueResource.h"

#include <string>

using Corvani::Nuv::CredentialProvider::CLSID_NuvProvider;
using Corvani::Nuv::CredentialProvider::kProviderClsidText;
using Corvani::Nuv::Platform::UniqueCoTaskMemory;
using Corvani::Nuv::Platform::UniqueCoTaskString;
using Corvani::Nuv::Platform::UniqueGdiObject;

namespace HxHost {

namespace {

const wchar_t* ScenarioName(CREDENTIAL_PROVIDER_USAGE_SCENARIO scenario) {
    switch (scenario) {
    case CPUS_LOGON: return L"CPUS_LOGON";
    case CPUS_UNLOCK_WORKSTATION: return L"CPUS_UNLOCK_WORKSTATION";
    case CPUS_CHANGE_PASSWORD: return L"CPUS_CHANGE_PASSWORD";
    case CPUS_CREDUI: return L"CPUS_CREDUI";
    default: return L"CPUS_INVALID";
    }
}

const wchar_t* FieldTypeName(CREDENTIAL_PROVIDER_FIELD_TYPE type) {
    static const wchar_t* const names[] = {L"CPFT_INVALID",     L"CPFT_LARGE_TEXT",   L"CPFT_SMALL_TEXT",
                                           L"CPFT_COMMAND_LINK", L"CPFT_EDIT_TEXT",    L"CPFT_PASSWORD_TEXT",
                                           L"CPFT_TILE_IMAGE",   L"CPFT_CHECKBOX",     L"CPFT_COMBOBOX",
                                           L"CPFT_SUBMIT_BUTTON"};
    return static_cast<unsigned>(type) < 10 ? names[type] : L"?";
}

const wchar_t* FieldStateName(CREDENTIAL_PROVIDER_FIELD_STATE state) {
    static const wchar_t* const names[] = {L"CPFS_HIDDEN", L"CPFS_DISPLAY_IN_SELECTED_TILE",
                                           L"CPFS_DISPLAY_IN_DESELECTED_TILE", L"CPFS_DISPLAY_IN_BOTH"};
    return static_cast<unsigned>(state) < 4 ? names[state] : L"?";
}

const wchar_t* InteractiveStateName(CREDENTIAL_PROVIDER_FIELD_INTERACTIVE_STATE state) {
    static const wchar_t* const names[] = {L"CPFIS_NONE", L"CPFIS_READONLY", L"CPFIS_DISABLED", L"CPFIS_FOCUSED"};
    return static_cast<unsigned>(state) < 4 ? names[state] : L"?";
}

std::wstring Quoted(const wchar_t* text) { return text ? L"\"" + std::wstring(text) + L"\"" : L"(null)"; }

} // namespace

HostSession::HostSession(const HostOptions& options, HWND window)
    : _options(options), _lockScreen(options.lockScreen), _credentialEvents(window) {}

int HostSession::Run() {
    if (_options.language != 0) {
        SetThreadUILanguage(_options.language);
        PrintLine(L"Thread UI language set to " + std::to_wstring(_options.language));
    }
    if (CreateProvider() && SetUsageScenario()) {
        AdviseProvider();
        ShowFieldDescriptors();
        ShowCredentialCount();
        if (GetCredential()) {
            AdviseCredential();
            ShowFields();
            ShowBitmap();
            SelectTile();
        }
    }
    Finish();
    return _failed ? 1 : 0;
}

bool HostSession::Check(const wchar_t* step, HRESULT hr) {
    PrintLine(std::wstring(step) + L" -> " + Hex(hr));
    if (FAILED(hr))
        _failed = true;
    return SUCCEEDED(hr);
}

bool HostSession::CreateProvider() {
    if (_options.recognize)
        PrepareRecognition();
    const HRESULT hr = CoCreateInstance(CLSID_NuvProvider, nullptr, CLSCTX_INPROC_SERVER, IID_ICredentialProvider,
                                        _provider.putVoid());
    return Check((std::wstring(L"CoCreateInstance ") + kProviderClsidText + L" for ICredentialProvider").c_str(), hr);
}

bool HostSession::SetUsageScenario() {
    const HRESULT hr = _provider->SetUsageScenario(_options.scenario, 0);
    return Check((std::wstring(L"SetUsageScenario(") + ScenarioName(_options.scenario) + L")").c_str(), hr);
}

// How long LogonUI's thread was held by the calls that may wait for the UI application.
std::wstring HostSession::Held(ULONGLONG since) {
    return L" (" + std::to_wstring(GetTickCount64() - since) + L" ms)";
}

void HostSession::AdviseProvider() {
    const ULONGLONG start = GetTickCount64();
    const HRESULT hr = _provider->Advise(&_providerEvents, 7);
    Check((L"ICredentialProvider::Advise" + Held(start)).c_str(), hr);
}

void HostSession::ShowFieldDescriptors() {
    if (!Check(L"GetFieldDescriptorCount", _provider->GetFieldDescriptorCount(&_fieldCount)))
        return;
    PrintLine(L"  fields: " + std::to_wstring(_fieldCount));
    for (DWORD i = 0; i < _fieldCount; ++i) {
        CREDENTIAL_PROVIDER_FIELD_DESCRIPTOR* raw = nullptr;
        const HRESULT hr = _provider->GetFieldDescriptorAt(i, &raw);
        UniqueCoTaskMemory owner(raw);
        UniqueCoTaskString label(raw ? raw->pszLabel : nullptr);
        Check((L"GetFieldDescriptorAt(" + std::to_wstring(i) + L")").c_str(), hr);
        if (raw)
            PrintLine(L"  field " + std::to_wstring(raw->dwFieldID) + L": " + FieldTypeName(raw->cpft) +
                      L", label " + Quoted(raw->pszLabel));
    }
}

void HostSession::ShowCredentialCount() {
    DWORD count = 0, defaultIndex = 0;
    BOOL autoLogon = FALSE;
    if (!Check(L"GetCredentialCount", _provider->GetCredentialCount(&count, &defaultIndex, &autoLogon)))
        return;
    _autoLogon = autoLogon;
    PrintLine(L"  count " + std::to_wstring(count) + L", default " + std::to_wstring(defaultIndex) +
              L", auto-logon " + (autoLogon ? L"TRUE" : L"FALSE"));
}

bool HostSession::GetCredential() { return Check(L"GetCredentialAt(0)", _provider->GetCredentialAt(0, _credential.put())); }

void HostSession::AdviseCredential() {
    Check(L"ICredentialProviderCredential::Advise", _credential->Advise(&_credentialEvents));
}

void HostSession::ShowFields() {
    for (DWORD i = 0; i < _fieldCount; ++i) {
        CREDENTIAL_PROVIDER_FIELD_STATE state = CPFS_HIDDEN;
        CREDENTIAL_PROVIDER_FIELD_INTERACTIVE_STATE interactive = CPFIS_NONE;
        const std::wstring index = std::to_wstring(i);
        if (Check((L"GetFieldState(" + index + L")").c_str(), _credential->GetFieldState(i, &state, &interactive)))
            PrintLine(std::wstring(L"  ") + FieldStateName(state) + L", " + InteractiveStateName(interactive));
        UniqueCoTaskString text;
        if (Check((L"GetStringValue(" + index + L")").c_str(), _credential->GetStringValue(i, text.put())))
            PrintLine(L"  text " + Quoted(text.get()));
    }
}

void HostSession::ShowBitmap() {
    HBITMAP raw = nullptr;
    const HRESULT hr = _credential->GetBitmapValue(0, &raw);
    UniqueGdiObject bitmap(raw);
    if (!Check(L"GetBitmapValue(0)", hr))
        return;
    BITMAP info = {};
    GetObjectW(bitmap.get(), sizeof(info), &info);
    PrintLine(L"  bitmap " + std::to_wstring(info.bmWidth) + L" x " + std::to_wstring(info.bmHeight) + L", " +
              std::to_wstring(info.bmBitsPixel) + L" bits per pixel");
}

void HostSession::SelectTile() {
    if (!_options.select)
        return;
    BOOL autoLogon = FALSE;
    const HRESULT selected = _credential->SetSelected(&autoLogon);
    _lockScreen.Start();
    if (Check(L"SetSelected", selected))
        PrintLine(std::wstring(L"  auto-logon ") + (autoLogon ? L"TRUE" : L"FALSE"));
    _autoLogon = _autoLogon || autoLogon;
    if (_options.recognize && !_autoLogon && AwaitRecognition()) {
        // LogonUI enumerates the tile again and finds it asking for an immediate logon.
        ShowCredentialCount();
    }
    SignIn();
    _lockScreen.Finish(); // the tile stays selected while the lock screen comes and goes
    Check(L"SetDeselected", _credential->SetDeselected());
}

// LogonUI asks a tile that wants an immediate logon for its serialization, submits it and reports the result.
void HostSession::SignIn() {
    if (!_autoLogon)
        return;
    CREDENTIAL_PROVIDER_GET_SERIALIZATION_RESPONSE response = CPGSR_NO_CREDENTIAL_NOT_FINISHED;
    CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION serialization = {};
    LPWSTR statusText = nullptr;
    CREDENTIAL_PROVIDER_STATUS_ICON statusIcon = CPSI_NONE;
    const HRESULT hr = _credential->GetSerialization(&response, &serialization, &statusText, &statusIcon);
    UniqueCoTaskMemory buffer(serialization.rgbSerialization);
    if (!Check(L"GetSerialization", hr))
        return;
    PrintLine(L"  response " + std::to_wstring(response) + (response == CPGSR_RETURN_CREDENTIAL_FINISHED
                                                              ? L" (CPGSR_RETURN_CREDENTIAL_FINISHED)"
                                                              : L""));
    PrintLogonBuffer(serialization);
    SecureZeroMemory(serialization.rgbSerialization, serialization.cbSerialization);

    const NTSTATUS status = _options.logonFails ? static_cast<NTSTATUS>(0xC000006D) : 0;
    Check(_options.logonFails ? L"ReportResult(STATUS_LOGON_FAILURE)" : L"ReportResult(STATUS_SUCCESS)",
          _credential->ReportResult(status, 0, &statusText, &statusIcon));
}

void HostSession::Finish() {
    if (_credential) {
        Check(L"ICredentialProviderCredential::UnAdvise", _credential->UnAdvise());
        _credential.reset();
        PrintLine(L"Credential released");
    }
    if (_provider) {
        ULONGLONG start = GetTickCount64();
        const HRESULT hr = _provider->UnAdvise();
        Check((L"ICredentialProvider::UnAdvise" + Held(start)).c_str(), hr);
        start = GetTickCount64();
        _provider.reset();
        PrintLine(L"Provider's last Release" + Held(start));
        PrintLine(L"Provider released");
    }
}

} // namespace HxHost
