#pragma once
// The one sign-in tile: a picture and two titles, no input fields. Behind the tile it owns the pipe
// objects that talk to the UI application and holds the credentials until they are serialized.

#include "credential/ICredential.h"
#include "ipc/IObserver.h"
#include "ipc/NuvPipeClient.h"
#include "ipc/NuvPipeServer.h"
#include "platform/ComObject.h"
#include "platform/ComPtr.h"
#include "platform/CredentialProviderApi.h"
#include "platform/CriticalSection.h"
#include "platform/ResourceModules.h"
#include "platform/UniqueResource.h"
#include "provider/FieldTable.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace Corvani::Nuv::CredentialProvider {

class NuvProvider;

} // namespace Corvani::Nuv::CredentialProvider

struct IUIAutomationElement;

namespace Corvani::Nuv::CredentialProvider {

// Process-wide state shared by the credential and its worker threads.
extern HWND g_parentWindow;
extern std::atomic<bool> IsHXCPSelected;
extern Platform::UniqueHandle g_launchAndShowUIThread;
extern std::wstring g_uiExecutablePath;
extern DWORD g_splashSetting;
extern bool IsNuvLastLoggedOn;
extern DWORD g_baselineInputTime;
extern LANGID g_uiLanguage;

// The UI application: its process, the launch in progress, whether it starts hidden, and the thread
// serving its provider pipe.
extern Platform::UniqueHandle _hNuvUI;
extern std::atomic<bool> g_executeUIThreadRunning;
extern std::atomic<bool> g_startUIHidden;
extern Platform::UniqueHandle g_pipeServerThread;
// The service start in progress.
extern std::atomic<bool> g_launchServiceThreadRunning;
// The dismissal-wait thread still waits for the lock screen to go.
extern std::atomic<bool> g_waitingForLockScreenDismissal;

inline constexpr wchar_t kUIExecutableName[] = L"Corvani.Halvex.UI.exe";

class NuvCredential : public Platform::ComObject<NuvCredential, ICredentialProviderCredential>,
                      public ICredential,
                      public IObserver {
public:
    explicit NuvCredential(NuvProvider* provider);

    // ICredentialProviderCredential
    IFACEMETHODIMP Advise(ICredentialProviderCredentialEvents* events) override;
    IFACEMETHODIMP UnAdvise() override;
    IFACEMETHODIMP SetSelected(BOOL* autoLogon) override;
    IFACEMETHODIMP SetDeselected() override;
    IFACEMETHODIMP GetFieldState(DWORD fieldId, CREDENTIAL_PROVIDER_FIELD_STATE* state,
                                 CREDENTIAL_PROVIDER_FIELD_INTERACTIVE_STATE* interactiveState) override;
    IFACEMETHODIMP GetStringValue(DWORD fieldId, LPWSTR* text) override;
    IFACEMETHODIMP GetBitmapValue(DWORD fieldId, HBITMAP* bitmap) override;
    IFACEMETHODIMP GetCheckboxValue(DWORD fieldId, BOOL* checked, LPWSTR* label) override;
    IFACEMETHODIMP GetSubmitButtonValue(DWORD fieldId, DWORD* adjacentTo) override;
    IFACEMETHODIMP GetComboBoxValueCount(DWORD fieldId, DWORD* items, DWORD* selectedItem) override;
    IFACEMETHODIMP GetComboBoxValueAt(DWORD fieldId, DWORD item, LPWSTR* text) override;
    IFACEMETHODIMP SetStringValue(DWORD fieldId, LPCWSTR text) override;
    IFACEMETHODIMP SetCheckboxValue(DWORD fieldId, BOOL checked) override;
    IFACEMETHODIMP SetComboBoxSelectedValue(DWORD fieldId, DWORD selectedItem) override;
    IFACEMETHODIMP CommandLinkClicked(DWORD fieldId) override;
    IFACEMETHODIMP GetSerialization(CREDENTIAL_PROVIDER_GET_SERIALIZATION_RESPONSE* response,
                                    CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION* serialization,
                                    LPWSTR* optionalStatusText,
                                    CREDENTIAL_PROVIDER_STATUS_ICON* optionalStatusIcon) override;
    IFACEMETHODIMP ReportResult(NTSTATUS status, NTSTATUS substatus, LPWSTR* optionalStatusText,
                                CREDENTIAL_PROVIDER_STATUS_ICON* optionalStatusIcon) override;
    virtual ~NuvCredential();

    // ICredential
    void Log(const std::string& text) override;
    // A fixed text; never throws.
    void Log(const char* text) noexcept;

    // IObserver
    void processEvent(CPEvent* event) override;

    HRESULT Initialize(CREDENTIAL_PROVIDER_USAGE_SCENARIO scenario);
    void SetCredential(const std::wstring& domain, const std::wstring& user, const std::wstring& password);

    // Events of the UI application.
    void OnLogonEvent();
    void OnAuthenticationDataReady();
    void OnCloseEvent();

    // UI application launching and closing. LaunchUI mode 1 starts it on a thread of its own.
    void LaunchUI(DWORD mode);
    void FindAndKillNuvUI();
    void CloseNuvUI();
    void SetForeground();
    // Replaces the pipe objects with those of the UI process `uiPid` and starts the server's thread.
    Platform::UniqueHandle CreateIPCObjects(DWORD uiPid);
    void CloseAndReleaseIPCObjects();
    // A copy of the current pipe client (the UI process's), taken under _pipeObjectsLock.
    IPC::NuvPipeClient PipeClient();

    // The product service, started on a thread of its own.
    void LaunchService();

    // Showing and hiding the UI application while the tile is selected.
    bool SendShowMessage();
    bool SendHideMessage();
    void LaunchSplashScreenAsync();
    void ShowSplashScreen();

    // Whether the lock screen covers the sign-in screen, asked through UI Automation. Each element
    // returned is the caller's; GetChildWindowByName takes over the reference it is given.
    bool IsLockScreenVisible();
    IUIAutomationElement* GetTopLevelWindowByName();
    IUIAutomationElement* GetChildWindowByName(IUIAutomationElement* signInWindow);
    IUIAutomationElement* GetChildPaneByName();

    // Key presses into LogonUI.
    void SendAnyKeyToRemoveScreensaver();
    void SendEscapeKeyToLogonUI();

    // The provider goes away: later events no longer reach it.
    void DetachProvider();

private:
    HRESULT CopyFieldDescriptors();
    void LoadFieldStrings();
    void ShowUnsupportedResolutionMessage();
    HRESULT Select(BOOL* autoLogon);
    void StartLaunchAndShowUIThread();
    HRESULT DescribeLogon(uint32_t& messageType) const;
    HRESULT PackLogon(uint32_t messageType, CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION& serialization) const;

    CREDENTIAL_PROVIDER_USAGE_SCENARIO _usageScenario = CPUS_INVALID;
    CREDENTIAL_PROVIDER_FIELD_DESCRIPTOR _fieldDescriptors[FIELD_COUNT] = {};
    FieldStatePair _fieldStatePairs[FIELD_COUNT] = {};
    Platform::UniqueCoTaskString _fieldStrings[FIELD_COUNT];
    Platform::ComPtr<ICredentialProviderCredentialEvents> _credentialEvents;
    LONG _autoLogon = 0;
    std::wstring _domain;
    std::wstring _user;
    std::wstring _password;
    // The server is shared with the thread that runs its loop, so that replacing it never destroys or
    // overwrites a loop still running; both are replaced under _pipeObjectsLock.
    std::shared_ptr<IPC::NuvPipeServer> _pipeServer;
    IPC::NuvPipeClient _pipeClient;
    Platform::CriticalSection _pipeObjectsLock;
    // Not reference-counted: cleared by the provider's destructor, read under _providerLock.
    NuvProvider* _provider = nullptr;
    Platform::CriticalSection _providerLock;
    wchar_t _stringBuffer[Platform::kLocalizedStringCapacity] = {};
    Platform::CriticalSection _launchUILock;
    Platform::CriticalSection _launchServiceLock;
    bool _isResolutionSupported = true;
    bool _credentialsFromSwitchUser = false;
    bool _logonFailed = false;

    friend class NuvProvider;
    friend struct NuvCredentialTestPeer;
};

// Thread routines and module functions of the orchestration; the argument of each thread routine is
// the credential.
DWORD WINAPI ExecuteUIEXE(LPVOID credential);
DWORD WINAPI ExecuteHXService(LPVOID credential);
DWORD WINAPI LaunchAndShowUI(LPVOID credential);
DWORD WINAPI ShowFlashScreenOnLockScreenDismissed(LPVOID credential);
// Starts the executable through the shell and waits until it waits for input; null on failure.
HANDLE ExecuteFile(const std::wstring& path, std::wstring parameters);
BOOL CALLBACK BringProcessWindowToFront(HWND window, LPARAM processId);
// Terminates every running process of the UI application.
void KillNuvUIProcesses();
bool IsWindows7();

} // namespace Corvani::Nuv::CredentialProvider
