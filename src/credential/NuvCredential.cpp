#include "credential/NuvCredential.h"

#include "credential/SplashScreen.h"
#include "logging/TraceLog.h"
#include "platform/ComBoundary.h"
#include "platform/Registry.h"
#include "platform/SecureText.h"
#include "platform/WorkerThread.h"
#include "provider/ModuleState.h"
#include "provider/NuvProvider.h"

#include <shlwapi.h>
#include <string>
#include <utility>

namespace Corvani::Nuv::CredentialProvider {

namespace {

constexpr LONG kMinimumDesktopWidth = 1024;
constexpr LONG kMinimumDesktopHeight = 768;
constexpr UINT kResolutionErrorText = 8001;
constexpr UINT kResolutionErrorCaption = 8002;

bool IsDesktopResolutionSupported() {
    RECT desktop = {};
    GetWindowRect(GetDesktopWindow(), &desktop);
    return !(desktop.right < kMinimumDesktopWidth && desktop.bottom < kMinimumDesktopHeight);
}

bool IsValidField(DWORD fieldId) { return fieldId < FIELD_COUNT; }

} // namespace

NuvCredential::NuvCredential(NuvProvider* provider)
    : _provider(provider), _credentialsFromSwitchUser(g_credentialsFromSwitchUser) {
    Logging::WriteCPLog("NuvCredential::NuvCredential | ");
    _isResolutionSupported = IsDesktopResolutionSupported();
    DllAddRef();
    g_uiExecutablePath.Set(Platform::GetModuleDirectory() + L"\\" + kUIExecutableName);
    const DWORD splashSetting = Platform::readSettingFromRegistry(L"SPLASHSCREEN_ENABLE");
    g_splashSetting = splashSetting;
    if (splashSetting == 1 || splashSetting == 2)
        g_splashScreen.Reset(splashSetting);
    IsNuvLastLoggedOn = Platform::isLastLoggedOnProvider();
    g_baselineInputTime = g_lastInputTime;
    g_uiLanguage = GetThreadUILanguage();
    Logging::WriteCPLog("NuvCredential::NuvCredential | constructor finished");
}

NuvCredential::~NuvCredential() {
    Logging::WriteCPLog("NuvCredential::~NuvCredential | destructor");
    FindAndKillNuvUI();
    {
        Platform::CriticalSectionLock lock(_credentialsLock);
        Platform::ClearSecret(_domain);
        Platform::ClearSecret(_user);
        Platform::ClearSecret(_password);
    }
    for (DWORD field = 0; field < FIELD_COUNT; ++field) {
        _fieldStrings[field].reset();
        Platform::UniqueCoTaskString label(std::exchange(_fieldDescriptors[field].pszLabel, nullptr));
    }
    DllRelease();
}

void NuvCredential::Log(const std::string& text) { Logging::WriteCPLog(text); }

void NuvCredential::Log(const char* text) noexcept { Logging::WriteCPLog(text); }

void NuvCredential::LogWithTime(const char* text) noexcept {
    try {
        Logging::WriteCPLog(text + Logging::CurrentTimeString());
    } catch (...) {
        Logging::WriteCPLog(text); // no memory for the time: the line without it
    }
}

HRESULT NuvCredential::Initialize(CREDENTIAL_PROVIDER_USAGE_SCENARIO scenario) {
    Log("NuvCredential::Initialize | 1");
    _usageScenario = scenario;
    if (_credentialsFromSwitchUser) {
        Log("NuvCredential::Initialize | CredentialsFromSwitchUser");
        _autoLogon = 1;
    }
    const HRESULT hr = CopyFieldDescriptors();
    if (SUCCEEDED(hr))
        LoadFieldStrings();
    Log("NuvCredential::Initialize | END");
    return hr;
}

HRESULT NuvCredential::CopyFieldDescriptors() {
    for (DWORD field = 0; field < FIELD_COUNT; ++field) {
        const FieldRow& row = kFieldTable[field];
        _fieldStatePairs[field] = row.statePair;
        // A second initialization replaces the labels of the first.
        Platform::UniqueCoTaskString label;
        const HRESULT hr = SHStrDupW(row.label, label.put());
        if (FAILED(hr))
            return hr;
        Platform::UniqueCoTaskString previous(_fieldDescriptors[field].pszLabel);
        _fieldDescriptors[field] = {row.fieldId, row.type, label.release(), GUID_NULL};
    }
    return S_OK;
}

void NuvCredential::LoadFieldStrings() {
    for (DWORD field = 0; field < FIELD_COUNT; ++field) {
        const FieldRow& row = kFieldTable[field];
        const bool loaded = Platform::LoadLocalizedString(row.textResourceId, _stringBuffer) > 0;
        SHStrDupW(loaded ? _stringBuffer : row.fallbackText, _fieldStrings[field].put());
    }
}

void NuvCredential::SetCredential(const std::wstring& domain, const std::wstring& user,
                                  const std::wstring& password) {
    Log("NuvCredential::SetCredential | ");
    Platform::CriticalSectionLock lock(_credentialsLock);
    Platform::AssignSecret(_domain, domain);
    Platform::AssignSecret(_user, user);
    Platform::AssignSecret(_password, password);
}

IFACEMETHODIMP NuvCredential::Advise(ICredentialProviderCredentialEvents* events) {
    Log("NuvCredential::Advise | ");
    _credentialEvents = Platform::ComPtr<ICredentialProviderCredentialEvents>::share(events);
    if (!g_parentWindow && _credentialEvents) {
        Log("NuvCredential::Advise | OnCreatingWindow");
        HWND window = nullptr;
        _credentialEvents->OnCreatingWindow(&window);
        g_parentWindow = window;
        Log("NuvCredential::Advise | AFTER OnCreatingWindow");
    }
    return S_OK;
}

IFACEMETHODIMP NuvCredential::UnAdvise() {
    Log("NuvCredential::UnAdvise | --");
    Log("NuvCredential::UnAdvise | IsHXCPSelected is NOT being set to false, to avoid deselect all the time in W7");
    _credentialEvents.reset();
    return S_OK;
}

IFACEMETHODIMP NuvCredential::SetSelected(BOOL* autoLogon) {
    return Platform::ComBoundary([&] { return Select(autoLogon); });
}

HRESULT NuvCredential::Select(BOOL* autoLogon) {
    const LONG autoLogonNow = _autoLogon;
    if (autoLogon)
        *autoLogon = autoLogonNow;
    Log("NuvCredential::SetSelected | autologon set to " + std::to_string(autoLogonNow));
    if (!_isResolutionSupported) {
        ShowUnsupportedResolutionMessage();
        return S_OK;
    }
    if (autoLogonNow == 0 && !_credentialsFromSwitchUser) {
        Log("NuvCredential::SetSelected | 2");
        IsHXCPSelected = true;
        StartLaunchAndShowUIThread();
    }
    return S_OK;
}

void NuvCredential::ShowUnsupportedResolutionMessage() {
    wchar_t caption[Platform::kLocalizedStringCapacity] = {};
    Platform::LoadLocalizedString(kResolutionErrorText, _stringBuffer);
    Platform::LoadLocalizedString(kResolutionErrorCaption, caption);
    MessageBoxW(g_parentWindow, _stringBuffer, caption, MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
}

// Never two at once: a supervision thread that still runs sees the selection (of this credential or of
// another provider's) and goes on with it; one that has ended is followed by a new one, which finds the
// UI application still running and shows it.
void NuvCredential::StartLaunchAndShowUIThread() {
    Platform::CriticalSectionLock lock(g_supervisionLock);
    g_supervisedCredential = this;
    if (g_supervisionRunning)
        return;
    g_launchAndShowUIThread = Platform::StartWorker(LaunchAndShowUI, this);
    g_supervisionRunning = static_cast<bool>(g_launchAndShowUIThread);
}

IFACEMETHODIMP NuvCredential::SetDeselected() {
    Log("NuvCredential::SetDeselected  | 1");
    IsHXCPSelected = false;
    // Hidden, and kept hidden should a worker thread show it after this.
    g_splashScreen.Suppress();
    return S_OK;
}

IFACEMETHODIMP NuvCredential::GetFieldState(DWORD fieldId, CREDENTIAL_PROVIDER_FIELD_STATE* state,
                                            CREDENTIAL_PROVIDER_FIELD_INTERACTIVE_STATE* interactiveState) {
    if (!IsValidField(fieldId) || !state || !interactiveState)
        return E_INVALIDARG;
    *state = _fieldStatePairs[fieldId].state;
    *interactiveState = _fieldStatePairs[fieldId].interactiveState;
    return S_OK;
}

IFACEMETHODIMP NuvCredential::GetStringValue(DWORD fieldId, LPWSTR* text) {
    if (!IsValidField(fieldId) || !text)
        return E_INVALIDARG;
    if (!_fieldStrings[fieldId]) {
        *text = nullptr;
        return E_UNEXPECTED; // not initialized
    }
    return SHStrDupW(_fieldStrings[fieldId].get(), text);
}

IFACEMETHODIMP NuvCredential::GetBitmapValue(DWORD fieldId, HBITMAP* bitmap) {
    if (fieldId != FIELD_TILE_IMAGE || !bitmap)
        return E_INVALIDARG;
    *bitmap = Platform::LoadTileBitmap();
    if (*bitmap)
        return S_OK;
    // A failure must never read as success, even when no error code was left behind.
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

IFACEMETHODIMP NuvCredential::SetStringValue(DWORD fieldId, LPCWSTR text) {
    if (!IsValidField(fieldId))
        return E_INVALIDARG;
    const CREDENTIAL_PROVIDER_FIELD_TYPE type = _fieldDescriptors[fieldId].cpft;
    if (type != CPFT_EDIT_TEXT && type != CPFT_PASSWORD_TEXT)
        return E_INVALIDARG;
    return SHStrDupW(text, _fieldStrings[fieldId].put());
}

IFACEMETHODIMP NuvCredential::GetCheckboxValue(DWORD, BOOL*, LPWSTR*) { return E_NOTIMPL; }
IFACEMETHODIMP NuvCredential::SetCheckboxValue(DWORD, BOOL) { return E_NOTIMPL; }
IFACEMETHODIMP NuvCredential::GetSubmitButtonValue(DWORD, DWORD*) { return S_OK; }
IFACEMETHODIMP NuvCredential::GetComboBoxValueCount(DWORD, DWORD*, DWORD*) { return S_OK; }
IFACEMETHODIMP NuvCredential::GetComboBoxValueAt(DWORD, DWORD, LPWSTR*) { return S_OK; }
IFACEMETHODIMP NuvCredential::SetComboBoxSelectedValue(DWORD, DWORD) { return S_OK; }
IFACEMETHODIMP NuvCredential::CommandLinkClicked(DWORD) { return S_OK; }

} // namespace Corvani::Nuv::CredentialProvider
