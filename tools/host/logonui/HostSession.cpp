#include "logonui/HostSession.h"

#include "logonui/FieldText.h"

#include <string>

using Corvani::Nuv::Platform::UniqueCoTaskMemory;
using Corvani::Nuv::Platform::UniqueCoTaskString;

namespace HxHost {

namespace {

const CREDENTIAL_PROVIDER_USAGE_SCENARIO kScenarios[] = {CPUS_LOGON, CPUS_UNLOCK_WORKSTATION, CPUS_CHANGE_PASSWORD,
                                                         CPUS_CREDUI, CPUS_PLAP};

// The system's text for an HRESULT, or the number alone.
std::wstring Explained(HRESULT hr) {
    Corvani::Nuv::Platform::UniqueLocalMemory text;
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   static_cast<DWORD>(hr), 0, reinterpret_cast<LPWSTR>(text.put()), 0, nullptr);
    std::wstring message = text ? static_cast<const wchar_t*>(text.get()) : L"";
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.'))
        message.pop_back();
    return message.empty() ? Hex(hr) : Hex(hr) + L" (" + message + L")";
}

} // namespace

HostSession::HostSession(const HostOptions& options, HWND window, Road& road)
    : _options(options), _verbosity(options.verbose), _road(road), _story(road.story()),
      _watchdog(options.callBound, road), _providerEvents(_story, _verbosity),
      _credentialEvents(window, _story, _verbosity), _window(window) {}

int HostSession::Run() {
    _road.Begin();
    if (_options.language != 0) {
        SetThreadUILanguage(_options.language);
        Detail(L"Thread UI language set to " + std::to_wstring(_options.language));
    }
    if (_options.probeScenarios)
        ProbeScenarios();
    _road.BeforeProvider();
    if (PrepareUsers() && CreateProvider() && SetUsageScenario()) {
        GiveUserArray();
        AdviseProvider();
        ReadFieldDescriptors();
        if (ReadCredentialCount() && ReadTiles())
            SelectTile();
    }
    Finish();
    return _road.Conclude(_outcome);
}

bool HostSession::Check(const Answer& answer, const std::wstring& detail) {
    const std::wstring step = answer.call + detail;
    Detail(step + L" -> " + Hex(answer.hr));
    if (FAILED(answer.hr))
        Fail(step, L"S_OK", Explained(answer.hr));
    return SUCCEEDED(answer.hr);
}

void HostSession::CheckOptional(const Answer& answer, const std::wstring& detail, const wchar_t* meaning) {
    if (answer.hr == E_NOTIMPL)
        PrintLine(answer.call + detail + L": E_NOTIMPL, " + meaning);
    else
        Check(answer, detail);
}

bool HostSession::CreateProvider() {
    const Answer created = Ask(L"CoCreateInstance", [&] {
        return CoCreateInstance(_options.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ICredentialProvider,
                                _provider.putVoid());
    });
    const HRESULT hr = created.hr;
    Detail(created.call + (L" " + GuidText(_options.clsid)) + L" for ICredentialProvider -> " + Hex(hr));
    _story.SetOrigin(created.start, L"the provider was created");
    _story.MarkAt(created.start, L"provider " + GuidText(_options.clsid) + L" created through COM");
    if (hr == REGDB_E_CLASSNOTREG) {
        Fail(L"create the provider", L"the class " + GuidText(_options.clsid) + L" registered in this Wine prefix",
             L"class not registered (0x80040154); register the provider with install/wine/register.sh");
        return false;
    }
    if (FAILED(hr))
        Fail(L"create the provider", L"CoCreateInstance to return S_OK", Explained(hr));
    return SUCCEEDED(hr);
}

// LogonUI creates an instance per usage scenario; each fresh instance is asked and released.
void HostSession::ProbeScenarios() {
    std::wstring supported;
    for (const CREDENTIAL_PROVIDER_USAGE_SCENARIO scenario : kScenarios) {
        Corvani::Nuv::Platform::ComPtr<ICredentialProvider> probe;
        if (FAILED(CoCreateInstance(_options.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ICredentialProvider,
                                    probe.putVoid())))
            continue;
        const Answer probed = Ask(L"SetUsageScenario", [&] { return probe->SetUsageScenario(scenario, 0); });
        Detail(probed.call + (L"(" + std::wstring(ScenarioName(scenario))) + L") on a fresh instance -> " +
               Hex(probed.hr));
        if (probed.hr == S_OK)
            supported += (supported.empty() ? L"" : L", ") + std::wstring(ScenarioName(scenario));
    }
    PrintLine(L"Scenarios supported: " + (supported.empty() ? std::wstring(L"none") : supported));
}

bool HostSession::SetUsageScenario() {
    return Call(L"SetUsageScenario", L"(" + std::wstring(ScenarioName(_options.scenario)) + L")",
                [&] { return _provider->SetUsageScenario(_options.scenario, 0); });
}

// The users LogonUI shows: the local user running the host, then each --user.
bool HostSession::PrepareUsers() {
    if (!_options.userArray)
        return true;
    UserEntry user;
    std::wstring error;
    if (!LocalUser(user, error)) {
        Fail(L"the user array", L"the local user running the host", error);
        return false;
    }
    _users.push_back(user);
    for (const std::wstring& text : _options.users) {
        if (!NamedUser(text, user, error)) {
            Fail(L"--user " + text, L"DOMAIN\\name of an account here, or DOMAIN\\name=SID", error);
            return false;
        }
        _users.push_back(user);
    }
    return true;
}

// Before GetCredentialCount, as LogonUI does, to a provider that implements ICredentialProviderSetUserArray.
void HostSession::GiveUserArray() {
    Corvani::Nuv::Platform::ComPtr<ICredentialProviderSetUserArray> taker;
    _takesUserArray = SUCCEEDED(Ask(L"QueryInterface(ICredentialProviderSetUserArray)", [&] {
                          return _provider->QueryInterface(IID_ICredentialProviderSetUserArray, taker.putVoid());
                      }).hr) &&
                      taker;
    if (!_takesUserArray || !_options.userArray) {
        _road.Show(!_takesUserArray ? L"User array: not asked for (no ICredentialProviderSetUserArray)"
                                    : L"User array: left out (--no-user-array)");
        return;
    }
    // LogonUI keeps the array for as long as the provider lives.
    _userArray = Corvani::Nuv::Platform::ComPtr<HostUserArray>::attach(new HostUserArray(_users, _verbosity));
    _userArrayGiven = Call(L"SetUserArray", [&] { return taker->SetUserArray(_userArray.get()); });
    std::wstring users;
    for (const UserEntry& user : _users)
        users += (users.empty() ? L"" : L", ") + UserText(user);
    _road.Show(L"User array: " + std::to_wstring(_users.size()) + L" user(s): " + users);
    _story.Mark(L"SetUserArray: " + users);
}

void HostSession::AdviseProvider() {
    const Answer advised = Ask(L"ICredentialProvider::Advise", [&] { return _provider->Advise(&_providerEvents, 7); });
    CheckOptional(advised, Held(advised), L"the provider never raises CredentialsChanged");
    if (_options.adviseBound != 0 && advised.held > _options.adviseBound)
        Fail(advised.call, L"Advise to return within " + std::to_wstring(_options.adviseBound) + L" ms",
             L"it held LogonUI's thread for " + std::to_wstring(advised.held) + L" ms");
}

void HostSession::ReadFieldDescriptors() {
    DWORD count = 0;
    if (!Call(L"GetFieldDescriptorCount", [&] { return _provider->GetFieldDescriptorCount(&count); }))
        return;
    for (DWORD i = 0; i < count; ++i) {
        CREDENTIAL_PROVIDER_FIELD_DESCRIPTOR* raw = nullptr;
        const bool read =
            Call(L"GetFieldDescriptorAt", Index(i), [&] { return _provider->GetFieldDescriptorAt(i, &raw); });
        UniqueCoTaskMemory owner(raw);
        UniqueCoTaskString label(raw ? raw->pszLabel : nullptr);
        if (read && raw)
            _fields.push_back({raw->dwFieldID, raw->cpft, raw->pszLabel ? raw->pszLabel : L"", raw->guidFieldType});
    }
    std::vector<DWORD> passwords;
    for (const FieldDescriptor& field : _fields)
        if (field.type == CPFT_PASSWORD_TEXT)
            passwords.push_back(field.id);
    _credentialEvents.SetPasswordFields(passwords);
    _road.Show(L"Fields: " + std::to_wstring(_fields.size()));
}

bool HostSession::ReadCredentialCount() {
    DWORD count = 0, defaultTile = 0;
    BOOL autoLogon = FALSE;
    if (!Call(L"GetCredentialCount", [&] { return _provider->GetCredentialCount(&count, &defaultTile, &autoLogon); }))
        return false;
    _tileCount = count;
    _defaultTile = defaultTile;
    _autoLogon = autoLogon;
    // LogonUI takes a default index beyond the tiles as no default at all.
    const std::wstring defaultText = defaultTile == CREDENTIAL_PROVIDER_NO_DEFAULT ? L"none"
                                     : defaultTile >= count ? std::to_wstring(defaultTile) + L" (beyond the tiles: none)"
                                                            : std::to_wstring(defaultTile);
    const std::wstring line = L"Tiles: " + std::to_wstring(count) + L", default " + defaultText + L", auto-logon " +
                              (autoLogon ? L"TRUE" : L"FALSE");
    _road.ShowOrTell(line);
    return true;
}

void HostSession::SelectTile() {
    if (!_options.select)
        return;
    BOOL autoLogon = FALSE;
    const ULONGLONG start = GetTickCount64();
    _story.SetOrigin(start, L"the tile was selected");
    _story.MarkAt(start, L"tile " + std::to_wstring(_selected) + L" selected"); // before what SetSelected updates
    const Answer selection = Ask(L"SetSelected", [&] { return selected()->SetSelected(&autoLogon); });
    _road.TileSelected();
    if (autoLogon)
        _story.Mark(L"tile " + std::to_wstring(_selected) + L" asks for an immediate logon");
    Check(selection, Held(selection));
    _autoLogon = _autoLogon || autoLogon;
    if (_options.reselect && _road.AwaitShow())
        Reselect();
    if (_options.recognize && !_autoLogon && _road.AwaitRecognition(_providerEvents))
        ReadCredentialCount(); // LogonUI enumerates the tiles again and finds one asking for an immediate logon
    SignIn();
    _road.AfterSignIn(); // the tile stays selected while the lock screen comes and goes
    const Answer deselection = Ask(L"SetDeselected", [&] { return selected()->SetDeselected(); });
    Check(deselection, Held(deselection));
    _story.Mark(L"tile deselected");
}

// The person picks another tile once the face UI is up, and comes back to this one: the provider must
// show the UI application again.
void HostSession::Reselect() {
    Call(L"SetDeselected", [&] { return selected()->SetDeselected(); });
    _story.Mark(L"tile deselected (another tile picked)");
    Sleep(_options.reselectAfter);
    BOOL autoLogon = FALSE;
    Call(L"SetSelected", [&] { return selected()->SetSelected(&autoLogon); });
    _story.Mark(L"tile " + std::to_wstring(_selected) + L" selected again");
}

void HostSession::Finish() {
    for (auto& tile : _tiles) {
        if (tile)
            CheckOptional(Ask(L"ICredentialProviderCredential::UnAdvise", [&] { return tile->UnAdvise(); }), L"",
                          L"the tile had nothing to let go of");
    }
    Ask(L"ICredentialProviderCredential::Release", [&] {
        _tiles.clear();
        return S_OK;
    });
    if (!_provider)
        return;
    const Answer unadvised = Ask(L"ICredentialProvider::UnAdvise", [&] { return _provider->UnAdvise(); });
    CheckOptional(unadvised, Held(unadvised), L"the provider had nothing to let go of");
    const Answer released = Ask(L"ICredentialProvider::Release", [&] {
        _provider.reset();
        return S_OK;
    });
    Detail(L"Provider's last Release" + Held(released));
    Detail(L"Provider released");
}

} // namespace HxHost
