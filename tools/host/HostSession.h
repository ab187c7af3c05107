#pragma once
// One LogonUI session against a credential provider: each step is one call (or a few) of LogonUI, made
// under the watchdog. A road of the walk-through also tells its story and ends with a verdict.

#include "HostEvents.h"
#include "HostOptions.h"
#include "Observer.h"
#include "Timeline.h"
#include "Watchdog.h"
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
};

// What the first failed step was; the verdict names it.
struct Failure {
    std::wstring step, expected, happened;
};

class HostSession {
public:
    HostSession(const HostOptions& options, HWND window);

    // Runs the session; returns the process exit code (0 when every step did what was expected).
    int Run();
    // A failure found outside the session (by the run of an earlier instance) that its verdict reports.
    void FailBefore(const std::wstring& step, const std::wstring& expected, const std::wstring& happened) {
        Fail(step, expected, happened);
    }

private:
    // The provider and its tiles (HostSession.cpp).
    bool CreateProvider();
    void ProbeScenarios();
    bool SetUsageScenario();
    void AdviseProvider();
    void ReadFieldDescriptors();
    bool ReadCredentialCount();
    bool ReadTiles();
    void DescribeTile(DWORD index, ICredentialProviderCredential* tile);
    void DescribeField(ICredentialProviderCredential* tile, const FieldDescriptor& field);
    void SaveTilePicture(ICredentialProviderCredential* tile);
    void SelectTile();
    void Reselect();
    bool AwaitShow();
    void CheckSplashAfterShow();
    void Finish();
    // A face recognised by the UI application stand-in (HostRecognition.cpp).
    void PrepareStandIn();
    bool AwaitRecognition();
    void FailRecognition(ULONGLONG since);
    void AwaitCommands();
    // Serialization and result (HostSignIn.cpp).
    void SignIn();
    void ReportResult();
    void Conclude();

    bool Check(const wchar_t* call, HRESULT hr);
    void Fail(const std::wstring& step, const std::wstring& expected, const std::wstring& happened);
    bool onRoad() const { return !_options.road.empty(); }
    ICredentialProviderCredential* selected() const { return _tiles[_selected].get(); }

    HostOptions _options;
    Timeline _timeline;
    Watchdog _watchdog;
    Observer _observer;
    LockScreenPlayer _lockScreen;
    ProviderEvents _providerEvents;
    CredentialEvents _credentialEvents;
    HWND _window;
    Corvani::Nuv::Platform::ComPtr<ICredentialProvider> _provider;
    std::vector<FieldDescriptor> _fields;
    std::vector<Corvani::Nuv::Platform::ComPtr<ICredentialProviderCredential>> _tiles;
    DWORD _tileCount = 0, _defaultTile = 0, _selected = 0;
    BOOL _autoLogon = FALSE;
    bool _disconnected = false;
    int _messageType = -1; // of the serialization handed over; -1: none
    bool _handedOver = false;
    ULONGLONG _handedOverAt = 0; // ms since the selection
    std::wstring _result;
    bool _failed = false;
    Failure _failure;
};

} // namespace HxHost
