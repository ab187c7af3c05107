#include "HostSession.h"

#include "Console.h"
#include "TilePicture.h"
#include "Verdict.h"
#include "platform/ProviderClsid.h"

#include <string>

using Corvani::Nuv::Platform::UniqueCoTaskMemory;
using Corvani::Nuv::Platform::UniqueCoTaskString;
using Corvani::Nuv::Platform::UniqueGdiObject;

namespace HxHost {

namespace {

const CREDENTIAL_PROVIDER_USAGE_SCENARIO kScenarios[] = {CPUS_LOGON, CPUS_UNLOCK_WORKSTATION, CPUS_CHANGE_PASSWORD,
                                                         CPUS_CREDUI};

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

// The system's text for an HRESULT, or the number alone.
std::wstring Explained(HRESULT hr) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   static_cast<DWORD>(hr), 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::wstring message = text ? text : L"";
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.'))
        message.pop_back();
    return message.empty() ? Hex(hr) : Hex(hr) + L" (" + message + L")";
}

bool IsTextField(CREDENTIAL_PROVIDER_FIELD_TYPE type) {
    return type == CPFT_LARGE_TEXT || type == CPFT_SMALL_TEXT || type == CPFT_COMMAND_LINK || type == CPFT_EDIT_TEXT ||
           type == CPFT_PASSWORD_TEXT;
}

} // namespace

HostSession::HostSession(const HostOptions& options, HWND window)
    : _options(options), _watchdog(options.callBound, [this] { _timeline.Print(); }),
      _observer(_timeline, options.splashPicture), _lockScreen(options.lockScreen, _timeline),
      _providerEvents(_timeline), _credentialEvents(window), _window(window) {}

int HostSession::Run() {
    SetVerdictContext(_options.road, _options.logDirectory);
    if (_options.language != 0) {
        SetThreadUILanguage(_options.language);
        Detail(L"Thread UI language set to " + std::to_wstring(_options.language));
    }
    if (_options.probeScenarios)
        ProbeScenarios();
    if (onRoad() || _options.recognize)
        PrepareStandIn();
    if (CreateProvider() && SetUsageScenario()) {
        AdviseProvider();
        ReadFieldDescriptors();
        if (ReadCredentialCount() && ReadTiles())
            SelectTile();
    }
    Finish();
    Conclude();
    return _failed ? 1 : 0;
}

bool HostSession::Check(const wchar_t* call, HRESULT hr) {
    Detail(std::wstring(call) + L" -> " + Hex(hr));
    if (FAILED(hr))
        Fail(call, L"S_OK", Explained(hr));
    return SUCCEEDED(hr);
}

void HostSession::Fail(const std::wstring& step, const std::wstring& expected, const std::wstring& happened) {
    if (!_failed)
        _failure = {step, expected, happened};
    _failed = true;
}

bool HostSession::CreateProvider() {
    const ULONGLONG start = GetTickCount64();
    const HRESULT hr = _watchdog.Run(L"CoCreateInstance", [&] {
        return CoCreateInstance(_options.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ICredentialProvider,
                                _provider.putVoid());
    });
    Detail(L"CoCreateInstance " + GuidText(_options.clsid) + L" for ICredentialProvider -> " + Hex(hr));
    _timeline.MarkAt(start, L"provider " + GuidText(_options.clsid) + L" created through COM");
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
        const HRESULT hr = _watchdog.Run(L"SetUsageScenario", [&] { return probe->SetUsageScenario(scenario, 0); });
        Detail(std::wstring(L"SetUsageScenario(") + ScenarioName(scenario) + L") on a fresh instance -> " + Hex(hr));
        if (hr == S_OK)
            supported += (supported.empty() ? L"" : L", ") + std::wstring(ScenarioName(scenario));
    }
    PrintLine(L"Scenarios supported: " + (supported.empty() ? std::wstring(L"none") : supported));
}

bool HostSession::SetUsageScenario() {
    const HRESULT hr = _watchdog.Run(L"SetUsageScenario", [&] { return _provider->SetUsageScenario(_options.scenario, 0); });
    return Check((std::wstring(L"SetUsageScenario(") + ScenarioName(_options.scenario) + L")").c_str(), hr);
}

void HostSession::AdviseProvider() {
    const ULONGLONG start = GetTickCount64();
    const HRESULT hr = _watchdog.Run(L"ICredentialProvider::Advise", [&] { return _provider->Advise(&_providerEvents, 7); });
    const ULONGLONG held = GetTickCount64() - start;
    Check((L"ICredentialProvider::Advise (" + std::to_wstring(held) + L" ms)").c_str(), hr);
    if (_options.adviseBound != 0 && held > _options.adviseBound)
        Fail(L"ICredentialProvider::Advise", L"Advise to return within " + std::to_wstring(_options.adviseBound) + L" ms",
             L"it held LogonUI's thread for " + std::to_wstring(held) + L" ms");
}

void HostSession::ReadFieldDescriptors() {
    DWORD count = 0;
    if (!Check(L"GetFieldDescriptorCount", _watchdog.Run(L"GetFieldDescriptorCount", [&] {
            return _provider->GetFieldDescriptorCount(&count);
        })))
        return;
    for (DWORD i = 0; i < count; ++i) {
        CREDENTIAL_PROVIDER_FIELD_DESCRIPTOR* raw = nullptr;
        const HRESULT hr = _watchdog.Run(L"GetFieldDescriptorAt", [&] { return _provider->GetFieldDescriptorAt(i, &raw); });
        UniqueCoTaskMemory owner(raw);
        UniqueCoTaskString label(raw ? raw->pszLabel : nullptr);
        if (Check((L"GetFieldDescriptorAt(" + std::to_wstring(i) + L")").c_str(), hr) && raw)
            _fields.push_back({raw->dwFieldID, raw->cpft, raw->pszLabel ? raw->pszLabel : L""});
    }
    if (!onRoad() || _options.verbose)
        PrintLine(L"Fields: " + std::to_wstring(_fields.size()));
}

bool HostSession::ReadCredentialCount() {
    DWORD count = 0, defaultTile = 0;
    BOOL autoLogon = FALSE;
    if (!Check(L"GetCredentialCount", _watchdog.Run(L"GetCredentialCount", [&] {
            return _provider->GetCredentialCount(&count, &defaultTile, &autoLogon);
        })))
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
    if (onRoad() && !_options.verbose)
        _timeline.Mark(line);
    else
        PrintLine(line);
    return true;
}

bool HostSession::ReadTiles() {
    _tiles.resize(_tileCount);
    for (DWORD i = 0; i < _tileCount; ++i) {
        const HRESULT hr = _watchdog.Run(L"GetCredentialAt", [&] { return _provider->GetCredentialAt(i, _tiles[i].put()); });
        if (!Check((L"GetCredentialAt(" + std::to_wstring(i) + L")").c_str(), hr))
            return false;
        Check(L"ICredentialProviderCredential::Advise",
              _watchdog.Run(L"ICredentialProviderCredential::Advise", [&] { return _tiles[i]->Advise(&_credentialEvents); }));
        DescribeTile(i, _tiles[i].get());
    }
    _selected = _options.tile != static_cast<DWORD>(-1) ? _options.tile
                : _defaultTile < _tileCount             ? _defaultTile
                                                        : 0;
    if (_selected >= _tileCount) {
        Fail(L"select a tile", L"a tile " + std::to_wstring(_selected), std::to_wstring(_tileCount) + L" tile(s)");
        return false;
    }
    if (!_options.tilePicture.empty())
        SaveTilePicture(selected());
    return true;
}

void HostSession::DescribeTile(DWORD index, ICredentialProviderCredential* tile) {
    if (!onRoad() || _options.verbose)
        PrintLine(L"Tile " + std::to_wstring(index) + L":");
    for (const FieldDescriptor& field : _fields)
        DescribeField(tile, field);
}

// One line per field, as LogonUI reads it: type, label, state, and the value its type has.
void HostSession::DescribeField(ICredentialProviderCredential* tile, const FieldDescriptor& field) {
    CREDENTIAL_PROVIDER_FIELD_STATE state = CPFS_HIDDEN;
    CREDENTIAL_PROVIDER_FIELD_INTERACTIVE_STATE interactive = CPFIS_NONE;
    const HRESULT stateHr = _watchdog.Run(L"GetFieldState", [&] { return tile->GetFieldState(field.id, &state, &interactive); });
    std::wstring line = L"  field " + std::to_wstring(field.id) + L" " + FieldTypeName(field.type) + L" " +
                        Quoted(field.label.c_str()) + L": ";
    line += Check((L"GetFieldState(" + std::to_wstring(field.id) + L")").c_str(), stateHr)
                ? std::wstring(FieldStateName(state)) + L", " + InteractiveStateName(interactive)
                : L"state " + Hex(stateHr);
    if (IsTextField(field.type)) {
        UniqueCoTaskString text;
        const HRESULT hr = _watchdog.Run(L"GetStringValue", [&] { return tile->GetStringValue(field.id, text.put()); });
        if (Check((L"GetStringValue(" + std::to_wstring(field.id) + L")").c_str(), hr))
            line += field.type == CPFT_PASSWORD_TEXT
                        ? L", " + std::to_wstring(text ? wcslen(text.get()) : 0) + L" characters (not shown)"
                        : L", " + Quoted(text.get());
    } else if (field.type == CPFT_TILE_IMAGE) {
        HBITMAP raw = nullptr;
        const HRESULT hr = _watchdog.Run(L"GetBitmapValue", [&] { return tile->GetBitmapValue(field.id, &raw); });
        UniqueGdiObject bitmap(raw);
        BITMAP info = {};
        if (Check((L"GetBitmapValue(" + std::to_wstring(field.id) + L")").c_str(), hr) &&
            GetObjectW(bitmap.get(), sizeof(info), &info))
            line += L", bitmap " + std::to_wstring(info.bmWidth) + L" x " + std::to_wstring(info.bmHeight) + L", " +
                    std::to_wstring(info.bmBitsPixel) + L" bits per pixel";
    } else if (field.type == CPFT_CHECKBOX) {
        BOOL checked = FALSE;
        UniqueCoTaskString label;
        if (Check(L"GetCheckboxValue", _watchdog.Run(L"GetCheckboxValue", [&] {
                return tile->GetCheckboxValue(field.id, &checked, label.put());
            })))
            line += std::wstring(checked ? L", checked" : L", not checked") + L", " + Quoted(label.get());
    } else if (field.type == CPFT_COMBOBOX) {
        DWORD items = 0, chosen = 0;
        if (Check(L"GetComboBoxValueCount", _watchdog.Run(L"GetComboBoxValueCount", [&] {
                return tile->GetComboBoxValueCount(field.id, &items, &chosen);
            })))
            line += L", " + std::to_wstring(items) + L" items, item " + std::to_wstring(chosen) + L" chosen";
    } else if (field.type == CPFT_SUBMIT_BUTTON) {
        DWORD adjacent = 0;
        if (Check(L"GetSubmitButtonValue", _watchdog.Run(L"GetSubmitButtonValue", [&] {
                return tile->GetSubmitButtonValue(field.id, &adjacent);
            })))
            line += L", beside field " + std::to_wstring(adjacent);
    }
    if (!onRoad() || _options.verbose)
        PrintLine(line);
}

// The selected tile drawn into the host's window, as LogonUI would show it, and saved as a PNG.
void HostSession::SaveTilePicture(ICredentialProviderCredential* tile) {
    TileLook look;
    UniqueGdiObject picture;
    for (const FieldDescriptor& field : _fields) {
        UniqueCoTaskString text;
        if (field.type == CPFT_TILE_IMAGE && !picture) {
            HBITMAP raw = nullptr;
            _watchdog.Run(L"GetBitmapValue", [&] { return tile->GetBitmapValue(field.id, &raw); });
            picture.reset(raw);
        } else if ((field.type == CPFT_LARGE_TEXT && look.title.empty()) ||
                   (field.type == CPFT_SMALL_TEXT && look.subtitle.empty())) {
            if (SUCCEEDED(_watchdog.Run(L"GetStringValue", [&] { return tile->GetStringValue(field.id, text.put()); })) &&
                text)
                (field.type == CPFT_LARGE_TEXT ? look.title : look.subtitle) = text.get();
        }
    }
    look.picture = static_cast<HBITMAP>(picture.get());
    const Canvas canvas(kTilePictureWidth, kTilePictureHeight);
    DrawTile(canvas, look);
    SetWindowPos(_window, HWND_TOP, 0, 0, kTilePictureWidth, kTilePictureHeight, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    const HDC window = GetDC(_window);
    BitBlt(window, 0, 0, kTilePictureWidth, kTilePictureHeight, canvas.dc(), 0, 0, SRCCOPY);
    ReleaseDC(_window, window);
    if (canvas.SavePng(_options.tilePicture))
        PrintLine(L"Tile picture: " + _options.tilePicture);
    else
        Fail(L"save the tile picture", L"a PNG file at " + _options.tilePicture,
             L"error " + std::to_wstring(GetLastError()));
}

void HostSession::SelectTile() {
    if (!_options.select)
        return;
    BOOL autoLogon = FALSE;
    const ULONGLONG start = GetTickCount64();
    const HRESULT selectedHr = _watchdog.Run(L"SetSelected", [&] { return selected()->SetSelected(&autoLogon); });
    _timeline.SetOrigin(start);
    _observer.Start();
    _timeline.MarkAt(start, L"tile " + std::to_wstring(_selected) + L" selected" +
                                (autoLogon ? L" (it asks for an immediate logon)" : L""));
    _lockScreen.Start();
    Check(L"SetSelected", selectedHr);
    _autoLogon = _autoLogon || autoLogon;
    if (_options.reselect)
        Reselect();
    if (_options.recognize && !_autoLogon && AwaitRecognition())
        ReadCredentialCount(); // LogonUI enumerates the tiles again and finds one asking for an immediate logon
    SignIn();
    _lockScreen.Finish(); // the tile stays selected while the lock screen comes and goes
    AwaitCommands();
    Check(L"SetDeselected", _watchdog.Run(L"SetDeselected", [&] { return selected()->SetDeselected(); }));
    _timeline.Mark(L"tile deselected");
}

void HostSession::Finish() {
    for (auto& tile : _tiles) {
        if (tile)
            Check(L"ICredentialProviderCredential::UnAdvise", _watchdog.Run(L"ICredentialProviderCredential::UnAdvise",
                                                                            [&] { return tile->UnAdvise(); }));
    }
    _watchdog.Run(L"ICredentialProviderCredential::Release", [&] {
        _tiles.clear();
        return 0;
    });
    if (!_provider)
        return;
    ULONGLONG start = GetTickCount64();
    const HRESULT hr = _watchdog.Run(L"ICredentialProvider::UnAdvise", [&] { return _provider->UnAdvise(); });
    Check((L"ICredentialProvider::UnAdvise (" + std::to_wstring(GetTickCount64() - start) + L" ms)").c_str(), hr);
    start = GetTickCount64();
    _watchdog.Run(L"ICredentialProvider::Release", [&] {
        _provider.reset();
        return 0;
    });
    Detail(L"Provider's last Release (" + std::to_wstring(GetTickCount64() - start) + L" ms)");
    Detail(L"Provider released");
}

} // namespace HxHost
