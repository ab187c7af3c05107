#pragma once
// One LogonUI session against a credential provider: each step is one call (or a few) of LogonUI, made
// under the watchdog. The road it runs on tells the story, watches beside the calls and gives the verdict.

#include "Console.h"
#include "HostOptions.h"
#include "logonui/HostEvents.h"
#include "logonui/HostUsers.h"
#include "logonui/Road.h"
#include "logonui/Watchdog.h"
#include "platform/ComPtr.h"
#include "platform/CredentialProviderApi.h"
#include "platform/UniqueResource.h"

#include <string>
#include <vector>

namespace HxHost {

struct FieldDescriptor {
    DWORD id;
    CREDENTIAL_PROVIDER_FIELD_TYPE type;
    std::wstring label;
    GUID guid; // guidFieldType: CPFG_LOGON_PASSWORD, CPFG_CREDENTIAL_PROVIDER_LOGO, ...
};

// One call of LogonUI's as it came back: its name (as the watchdog and the check name it), its result, when
// it was made and how long it held LogonUI's thread.
struct Answer {
    const wchar_t* call;
    HRESULT hr;
    ULONGLONG start, held; // tick, ms
};

// "(3)": the index or field a call was made for, after its name.
inline std::wstring Index(DWORD value) { return L"(" + std::to_wstring(value) + L")"; }
// " (12 ms)": how long the call held LogonUI's thread.
inline std::wstring Held(const Answer& answer) { return L" (" + std::to_wstring(answer.held) + L" ms)"; }

class HostSession {
public:
    HostSession(const HostOptions& options, HWND window, Road& road);

    // Runs the session; returns the process exit code (0 when every step did what was expected).
    int Run();

private:
    // The provider (HostSession.cpp).
    bool CreateProvider();
    void ProbeScenarios();
    bool SetUsageScenario();
    bool PrepareUsers();
    void GiveUserArray();
    void AdviseProvider();
    void ReadFieldDescriptors();
    bool ReadCredentialCount();
    void SelectTile();
    void Reselect();
    void Finish();
    // Its tiles and their fields, as LogonUI shows them (HostTiles.cpp).
    bool ReadTiles();
    void DescribeTile(DWORD index, ICredentialProviderCredential* tile);
    std::wstring TileUser(DWORD index, ICredentialProviderCredential* tile);
    void DescribeField(ICredentialProviderCredential* tile, ICredentialProviderCredentialWithFieldOptions* options,
                       const FieldDescriptor& field);
    std::wstring FieldValue(ICredentialProviderCredential* tile, const FieldDescriptor& field);
    std::wstring ComboBoxValue(ICredentialProviderCredential* tile, DWORD field);
    void SaveTilePicture(ICredentialProviderCredential* tile);
    // Serialization and result (HostSignIn.cpp).
    void SignIn();
    void ReportResult();
    void TellStatus(const wchar_t* call, const wchar_t* text, CREDENTIAL_PROVIDER_STATUS_ICON icon);

    // Each call of the provider is named once. Ask makes it under the watchdog; Call makes it and checks
    // it, the step named by the call and `detail` after it (an index, a tile).
    template <typename Body> Answer Ask(const wchar_t* call, Body&& body) {
        const ULONGLONG start = GetTickCount64();
        const HRESULT hr = _watchdog.Run(call, body);
        return {call, hr, start, GetTickCount64() - start};
    }
    template <typename Body> bool Call(const wchar_t* call, Body&& body) { return Check(Ask(call, body)); }
    template <typename Body> bool Call(const wchar_t* call, const std::wstring& detail, Body&& body) {
        return Check(Ask(call, body), detail);
    }
    bool Check(const Answer& answer, const std::wstring& detail = std::wstring());
    // A call LogonUI can do without: E_NOTIMPL is one line saying what it means, not a failure.
    void CheckOptional(const Answer& answer, const std::wstring& detail, const wchar_t* meaning);
    void Fail(const std::wstring& step, const std::wstring& expected, const std::wstring& happened) {
        _road.Fail(step, expected, happened);
    }
    void Detail(const std::wstring& text) const { _verbosity.Detail(text); }
    ICredentialProviderCredential* selected() const { return _tiles[_selected].get(); }

    const HostOptions _options;
    const Verbosity _verbosity;
    Road& _road;
    Story& _story;
    Watchdog _watchdog;
    ProviderEvents _providerEvents;
    CredentialEvents _credentialEvents;
    HWND _window;
    Corvani::Nuv::Platform::ComPtr<ICredentialProvider> _provider;
    std::vector<UserEntry> _users;
    Corvani::Nuv::Platform::ComPtr<HostUserArray> _userArray;
    bool _takesUserArray = false; // the provider implements ICredentialProviderSetUserArray
    bool _userArrayGiven = false;
    std::vector<FieldDescriptor> _fields;
    std::vector<Corvani::Nuv::Platform::ComPtr<ICredentialProviderCredential>> _tiles;
    DWORD _tileCount = 0, _defaultTile = 0, _selected = 0;
    BOOL _autoLogon = FALSE;
    SignInOutcome _outcome;
};

} // namespace HxHost
