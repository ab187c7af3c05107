#pragma once
// One LogonUI session against the provider: each step is one call (or a few) of LogonUI, printed as a line.
// Later sign-in steps are added as further step functions.

#include "HostEvents.h"
#include "HostOptions.h"
#include "platform/ComPtr.h"
#include "platform/CredentialProviderApi.h"

#include <string>

namespace HxHost {

class HostSession {
public:
    HostSession(const HostOptions& options, HWND window);

    // Runs the walk-through; returns the process exit code (0 when every required call succeeded).
    int Run();

private:
    bool CreateProvider();
    void PrepareRecognition();
    bool AwaitRecognition();
    bool SetUsageScenario();
    void AdviseProvider();
    void ShowFieldDescriptors();
    void ShowCredentialCount();
    bool GetCredential();
    void AdviseCredential();
    void ShowFields();
    void ShowBitmap();
    void SelectTile();
    void SignIn();
    void Finish();

    bool Check(const wchar_t* step, HRESULT hr);
    static std::wstring Held(ULONGLONG since);

    HostOptions _options;
    LockScreenPlayer _lockScreen;
    ProviderEvents _providerEvents;
    CredentialEvents _credentialEvents;
    Corvani::Nuv::Platform::ComPtr<ICredentialProvider> _provider;
    Corvani::Nuv::Platform::ComPtr<ICredentialProviderCredential> _credential;
    DWORD _fieldCount = 0;
    BOOL _autoLogon = FALSE;
    bool _failed = false;
};

} // namespace HxHost
