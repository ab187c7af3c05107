#pragma once
// The one sign-in tile: a picture and two titles, no input fields. Behind the tile it owns the pipe
// objects that talk to the UI application and holds the credentials until they are serialized.

#include "credential/ICredential.h"
#include "credential/ProcessState.h"
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
    // A fixed text followed by the local time, for the banner lines of the thread routines; never throws.
    void LogWithTime(const char* text) noexcept;

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
    // The steps of one launch (ExecuteUIEXE): 0 when started, 1 when the trust check refused it or the
    // provider pipe's name was taken.
    DWORD StartUIApplication();
    void FindAndKillNuvUI();
    void CloseNuvUI();
    void SetForeground();
    // Replaces the pipe objects with those of the UI process `uiPid` and starts the server's thread,
    // which this credential keeps with the server it runs; false when the provider pipe's name is taken.
    bool CreateIPCObjects(DWORD uiPid);
    // Stops this credential's own server and waits for its thread, at most 5 seconds.
    void CloseAndReleaseIPCObjects();
    // Whether this credential's server for a UI process still has its thread.
    bool ServesUIProcess();
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

    // The provider goes away: later events no longer reach it, and no server of its tile runs on.
    void DetachProvider();
    bool HasProvider() const noexcept { return _providerAttached; }

private:
    HRESULT CopyFieldDescriptors();
    void LoadFieldStrings();
    void ShowUnsupportedResolutionMessage();
    HRESULT Select(BOOL* autoLogon);
    void StartLaunchAndShowUIThread();
    bool ClaimLaunch();

    void PublishLaunch(Platform::UniqueHandle process, unsigned long teardownsAtStart);
    HRESULT DescribeLogon(uint32_t& messageType) const;
    HRESULT PackLogon(CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION& serialization);

    CREDENTIAL_PROVIDER_USAGE_SCENARIO _usageScenario = CPUS_INVALID;
    CREDENTIAL_PROVIDER_FIELD_DESCRIPTOR _fieldDescriptors[FIELD_COUNT] = {};
    FieldStatePair _fieldStatePairs[FIELD_COUNT] = {};
    Platform::UniqueCoTaskString _fieldStrings[FIELD_COUNT];
    Platform::ComPtr<ICredentialProviderCredentialEvents> _credentialEvents;
    // Written by the pipe thread that delivers a LOGON, read and cleared on LogonUI's thread. Atomic.
    std::atomic<LONG> _autoLogon{0};
    // The credentials: written by the pipe thread (a LOGON), packed and wiped on LogonUI's thread; all
    // three are read and written together under _credentialsLock.
    std::wstring _domain;
    std::wstring _user;
    std::wstring _password;
    Platform::CriticalSection _credentialsLock;
    // The server is shared with the thread that runs its loop, so that replacing it never destroys or
    // overwrites a loop still running. The server, its thread and the client of the same UI process are
    // replaced together under _pipeObjectsLock; no wait is made while it is held.
    std::shared_ptr<IPC::NuvPipeServer> _pipeServer;
    Platform::UniqueHandle _pipeServerThread;
    IPC::NuvPipeClient _pipeClient;
    Platform::CriticalSection _pipeObjectsLock;
    // Not reference-counted: cleared by the provider's destructor, read under _providerLock.
    NuvProvider* _provider = nullptr;
    Platform::CriticalSection _providerLock;
    // Cleared with _provider, read by the supervision thread. Atomic.
    std::atomic<bool> _providerAttached{true};
    wchar_t _stringBuffer[Platform::kLocalizedStringCapacity] = {};
    Platform::CriticalSection _launchServiceLock;
    bool _isResolutionSupported = true;
    bool _credentialsFromSwitchUser = false;
    // Set by ReportResult on LogonUI's thread, read and cleared by the supervision thread. Atomic.
    std::atomic<bool> _logonFailed{false};

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
// Terminates every running process of the UI application; a launch in flight ends what it starts.
void KillNuvUIProcesses();
// The UI process's id, 0 when none is known.
DWORD UIProcessId();
// The UI process has ended although nobody killed or closed it since its launch.
bool UIProcessEndedByItself();
bool IsWindows7();

} // namespace Corvani::Nuv::CredentialProvider
