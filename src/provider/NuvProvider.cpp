#include "provider/NuvProvider.h"

#include "credential/NuvCredential.h"
#include "platform/ComBoundary.h"
#include "platform/OutsideEffects.h"
#include "platform/ProviderClsid.h"
#include "platform/Registry.h"
#include "platform/SecureText.h"
#include "platform/ResourceModules.h"
#include "provider/FieldTable.h"
#include "provider/ModuleState.h"
#include "provider/ProviderTrace.h"

#include <new>
#include <shlwapi.h>
#include <string>

namespace Corvani::Nuv::CredentialProvider {

bool g_credentialsFromSwitchUser = false;
DWORD g_lastInputTime = 0;

namespace {

DWORD LastInputTime() {
    LASTINPUTINFO info = {sizeof(info), 0};
    return GetLastInputInfo(&info) ? info.dwTime : 0;
}

// The string-resource id is the run of decimal digits before the label's first "-".
UINT LabelResourceId(const wchar_t* label) {
    UINT id = 0;
    for (const wchar_t* c = label; *c >= L'0' && *c <= L'9'; ++c)
        id = id * 10 + static_cast<UINT>(*c - L'0');
    return id;
}

HRESULT CopyLocalizedLabel(const FieldRow& row, LPWSTR* label) {
    wchar_t buffer[Platform::kLocalizedStringCapacity] = {};
    const bool loaded = Platform::LoadLocalizedString(LabelResourceId(row.label), buffer) > 0;
    return SHStrDupW(loaded ? buffer : row.englishName, label);
}

// The UI-info section stays mapped and open for the life of the process: the first provider's handle and
// view are kept, those of every later provider (the same section) are closed, so that providers created
// one after the other leave one handle, not one each.
void KeepUIInfoSectionForTheProcess(Platform::UniqueHandle& mapping, Platform::UniqueMappedView& view) {
    static std::atomic<bool> kept{false};
    if (!mapping || kept.exchange(true))
        return;
    std::ignore = view.release();    // lives for the process
    std::ignore = mapping.release(); // lives for the process
}

} // namespace

NuvProvider::NuvProvider() {
    Trace("-------------------------------------------------------");
    Trace("NuvProvider::NuvProvider | constructor");
    DllAddRef();
    g_lastInputTime = LastInputTime();
    Trace("NuvProvider::NuvProvider | constructor finished");
}

NuvProvider::~NuvProvider() {
    // From here on, a LOGON on the credential's pipe thread no longer reaches this object.
    if (_credential) {
        _credential->DetachProvider();
        // No server of this tile runs on for a provider that is gone.
        if (_credential->ServesUIProcess())
            _credential->CloseAndReleaseIPCObjects();
    }
    CleanCredential();
    KillNuvUIProcesses();
    Platform::CriticalSectionLock lock(_credentialStoreLock);
    KeepUIInfoSectionForTheProcess(_sections[UIInfoSection].mapping, _sections[UIInfoSection].view);
    for (Section& section : _sections) {
        section.view.reset();
        section.mapping.reset();
    }
    Platform::ClearSecret(_domain);
    Platform::ClearSecret(_user);
    Platform::ClearSecret(_password);
    // The credential and the worker threads that point at it live as long as the process.
    std::ignore = _credential.release();
    DllRelease();
}

IFACEMETHODIMP NuvProvider::SetUsageScenario(CREDENTIAL_PROVIDER_USAGE_SCENARIO cpus, DWORD /*flags*/) {
    return Platform::ComBoundary([&] { return ApplyUsageScenario(cpus); });
}

HRESULT NuvProvider::ApplyUsageScenario(CREDENTIAL_PROVIDER_USAGE_SCENARIO cpus) {
    _usageScenario = cpus;
    Trace("NuvProvider::SetUsageScenario | CPUS set to " + std::to_string(static_cast<int>(cpus)));
    HRESULT hr = S_OK;
    switch (cpus) {
    case CPUS_LOGON:
        g_credentialsFromSwitchUser = ReadCredential();
        hr = CreateCredentialIfNeeded();
        break;
    case CPUS_UNLOCK_WORKSTATION:
        hr = CreateCredentialIfNeeded();
        break;
    case CPUS_CHANGE_PASSWORD:
    case CPUS_CREDUI:
        hr = E_NOTIMPL;
        break;
    default:
        hr = E_INVALIDARG;
        break;
    }
    Trace("NuvProvider::SetUsageScenario | END");
    return hr;
}

HRESULT NuvProvider::CreateCredentialIfNeeded() {
    if (!_credential) {
        Trace("NuvProvider::SetUsageScenario | Creating Credential");
        _credential = Platform::ComPtr<NuvCredential>::attach(new (std::nothrow) NuvCredential(this));
        if (!_credential)
            return E_OUTOFMEMORY;
    }
    Trace("NuvProvider::SetUsageScenario | Initializing Credential");
    InitializeCredentialSource();
    const HRESULT hr = _credential->Initialize(_usageScenario.load());
    if (FAILED(hr)) {
        Trace("NuvProvider::SetUsageScenario | There was a problem initializing Credential");
        _credential.reset();
        return hr;
    }
    Trace("NuvProvider::SetUsageScenario | Credential was initialized OK");
    return S_OK;
}

void NuvProvider::InitializeCredentialSource() {
    if (g_credentialsFromSwitchUser)
        SetCredential();
    else
        CreateMappedMemory();
}

IFACEMETHODIMP NuvProvider::SetSerialization(const CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION*) {
    return E_NOTIMPL;
}

IFACEMETHODIMP NuvProvider::Advise(ICredentialProviderEvents* events, UINT_PTR adviseContext) {
    return Platform::ComBoundary([&] { return AdviseEvents(events, adviseContext); });
}

HRESULT NuvProvider::AdviseEvents(ICredentialProviderEvents* events, UINT_PTR adviseContext) {
    Trace("NuvProvider::Advise | 1");
    if (ProviderEvents()) {
        Trace("NuvProvider::Advise | 2");
        SetProviderEvents(nullptr);
    }
    if (_credential && !g_credentialsFromSwitchUser) {
        Trace("NuvProvider::Advise | 3");
        _credential->FindAndKillNuvUI();
        _credential->FindAndKillNuvUI();
        if (Platform::readSettingFromRegistry(L"LAUNCHUIONADVISE_ENABLE") != 0)
            _credential->LaunchUI(1);
    }
    _adviseContext = adviseContext;
    SetProviderEvents(events);
    return S_OK;
}

IFACEMETHODIMP NuvProvider::UnAdvise() {
    return Platform::ComBoundary([&] { return UnAdviseEvents(); });
}

HRESULT NuvProvider::UnAdviseEvents() {
    Trace("NuvProvider::UnAdvise | ");
    if (_credential) {
        Trace("NuvProvider::UnAdvise | CloseNuvUI");
        _credential->CloseNuvUI();
    }
    if (ProviderEvents()) {
        Trace("NuvProvider::UnAdvise | releasing");
        SetProviderEvents(nullptr);
    }
    _adviseContext = 0;
    Trace("NuvProvider::UnAdvise | END");
    return S_OK;
}

IFACEMETHODIMP NuvProvider::GetFieldDescriptorCount(DWORD* count) {
    if (!count)
        return E_INVALIDARG;
    *count = FIELD_COUNT;
    return S_OK;
}

IFACEMETHODIMP NuvProvider::GetFieldDescriptorAt(DWORD index, CREDENTIAL_PROVIDER_FIELD_DESCRIPTOR** descriptor) {
    if (index >= FIELD_COUNT || !descriptor)
        return E_INVALIDARG;
    *descriptor = nullptr;
    Platform::UniqueCoTaskMemory memory(CoTaskMemAlloc(sizeof(CREDENTIAL_PROVIDER_FIELD_DESCRIPTOR)));
    if (!memory)
        return E_OUTOFMEMORY;
    auto* result = static_cast<CREDENTIAL_PROVIDER_FIELD_DESCRIPTOR*>(memory.get());
    const FieldRow& row = kFieldTable[index];
    *result = {row.fieldId, row.type, nullptr, GUID_NULL};
    const HRESULT hr = CopyLocalizedLabel(row, &result->pszLabel);
    if (FAILED(hr))
        return hr;
    *descriptor = static_cast<CREDENTIAL_PROVIDER_FIELD_DESCRIPTOR*>(memory.release());
    return S_OK;
}

IFACEMETHODIMP NuvProvider::GetCredentialCount(DWORD* count, DWORD* defaultIndex, BOOL* autoLogonWithDefault) {
    if (!count || !defaultIndex || !autoLogonWithDefault)
        return E_INVALIDARG;
    return Platform::ComBoundary([&] { return CountCredentials(*count, *defaultIndex, *autoLogonWithDefault); });
}

HRESULT NuvProvider::CountCredentials(DWORD& count, DWORD& defaultIndex, BOOL& autoLogonWithDefault) {
    Trace("NuvProvider::GetCredentialCount | 1");
    count = 1;
    if (_usageScenario.load() == CPUS_LOGON && g_credentialsFromSwitchUser) {
        Trace("NuvProvider::GetCredentialCount | CPUS_LOGON");
        defaultIndex = 0;
        autoLogonWithDefault = TRUE;
        return S_OK;
    }
    bool isDefault = Platform::isLastLoggedOnProvider();
    BOOL autoLogon = FALSE;
    if (_credential) {
        autoLogon = _credential->_autoLogon;
        isDefault = isDefault || autoLogon != 0;
        Trace(std::string("NuvProvider::GetCredentialCount | 2 ") + (isDefault ? "1" : "0"));
    }
    defaultIndex = isDefault ? 0 : 1;
    autoLogonWithDefault = autoLogon;
    return S_OK;
}

IFACEMETHODIMP NuvProvider::GetCredentialAt(DWORD index, ICredentialProviderCredential** credential) {
    if (index != 0 || !credential)
        return E_INVALIDARG;
    *credential = nullptr;
    if (!_credential)
        return E_UNEXPECTED;
    return _credential->QueryInterface(IID_ICredentialProviderCredential, reinterpret_cast<void**>(credential));
}

void NuvProvider::setCredentialChanged() {
    Trace("NuvProvider::setCredentialChanged | 1");
    // A reference of our own: UnAdvise may release LogonUI's sink on its thread meanwhile.
    const Platform::ComPtr<ICredentialProviderEvents> events = ProviderEvents();
    if (!events)
        return;
    ReadCredential();
    bool lockedUser = _usageScenario == CPUS_LOGON;
    if (!lockedUser) {
        Platform::SecretCredentials recognised;
        CopyCredentials(recognised);
        lockedUser = isLastLoggedOnUser(recognised.domain, recognised.user);
    }
    if (!lockedUser) {
        DisconnectLockedSession();
        return;
    }
    SetCredential();
    // Set before LogonUI is told: it asks at once whether to log on with the tile. Only credentials
    // handed to an advised provider ask for it.
    if (_credential)
        _credential->_autoLogon = 1;
    events->CredentialsChanged(_adviseContext);
}

Platform::ComPtr<ICredentialProviderEvents> NuvProvider::ProviderEvents() {
    Platform::CriticalSectionLock lock(_providerEventsLock);
    return Platform::ComPtr<ICredentialProviderEvents>::share(_providerEvents.get());
}

void NuvProvider::SetProviderEvents(ICredentialProviderEvents* events) {
    auto replacement = Platform::ComPtr<ICredentialProviderEvents>::share(events);
    Platform::CriticalSectionLock lock(_providerEventsLock);
    std::swap(_providerEvents, replacement);
}

void NuvProvider::DisconnectLockedSession() {
    // The recognised user is not the one whose session is locked: LogonUI is to show this tile at the
    // logon screen, where the credentials still wait in the sections.
    Platform::writeStringValueToRegistry(Platform::kLogonUIKey, Platform::kLastLoggedOnProviderValue,
                                         kProviderClsidText);
    Trace("NuvProvider::setCredentialChanged | before WTSDisconnectSession");
    Platform::SessionControl::Get().DisconnectCurrentSession();
}

} // namespace Corvani::Nuv::CredentialProvider
