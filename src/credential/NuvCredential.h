#pragma once
// The one sign-in tile: a picture and two titles, no input fields. Behind the tile it owns the pipe
// objects that talk to the UI application and holds the credentials until they are serialized.

#include "credential/ICredential.h"
#include "ipc/IObserver.h"
#include "ipc/NuvPipeClient.h"
#include "ipc/NuvPipeServer.h"
#include "platform/ComPtr.h"
#include "platform/CredentialProviderApi.h"
#include "platform/CriticalSection.h"
#include "platform/ResourceModules.h"
#include "platform/UniqueResource.h"
#include "provider/FieldTable.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace Corvani::Nuv::CredentialProvider {

class NuvProvider;

// Process-wide state shared by the credential and its worker threads.
extern HWND g_parentWindow;
extern std::atomic<bool> IsHXCPSelected;
extern Platform::UniqueHandle g_launchAndShowUIThread;
extern std::wstring g_uiExecutablePath;
extern DWORD g_splashSetting;
extern bool IsNuvLastLoggedOn;
extern DWORD g_baselineInputTime;
extern LANGID g_uiLanguage;

inline constexpr wchar_t kUIExecutableName[] = L"Corvani.Halvex.UI.exe";

class NuvCredential : public ICredentialProviderCredential, public ICredential, public IObserver {
public:
    explicit NuvCredential(NuvProvider* provider);

    // IUnknown
    IFACEMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    IFACEMETHODIMP_(ULONG) AddRef() override;
    IFACEMETHODIMP_(ULONG) Release() override;

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

    // UI application launching and closing.
    void LaunchUI(DWORD mode);
    void FindAndKillNuvUI();
    void CloseNuvUI();
    void SetForeground();

    // Key presses into LogonUI.
    void SendAnyKeyToRemoveScreensaver();
    void SendEscapeKeyToLogonUI();

private:
    HRESULT CopyFieldDescriptors();
    void LoadFieldStrings();
    void ShowUnsupportedResolutionMessage();
    HRESULT Select(BOOL* autoLogon);
    void StartLaunchAndShowUIThread();
    HRESULT DescribeLogon(uint32_t& messageType) const;
    HRESULT PackLogon(uint32_t messageType, CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION& serialization) const;

    LONG _refCount = 1;
    CREDENTIAL_PROVIDER_USAGE_SCENARIO _usageScenario = CPUS_INVALID;
    CREDENTIAL_PROVIDER_FIELD_DESCRIPTOR _fieldDescriptors[FIELD_COUNT] = {};
    FieldStatePair _fieldStatePairs[FIELD_COUNT] = {};
    Platform::UniqueCoTaskString _fieldStrings[FIELD_COUNT];
    Platform::ComPtr<ICredentialProviderCredentialEvents> _credentialEvents;
    LONG _autoLogon = 0;
    std::wstring _domain;
    std::wstring _user;
    std::wstring _password;
    IPC::NuvPipeServer _pipeServer;
    IPC::NuvPipeClient _pipeClient;
    NuvProvider* _provider = nullptr;
    wchar_t _stringBuffer[Platform::kLocalizedStringCapacity] = {};
    Platform::CriticalSection _launchUILock;
    Platform::CriticalSection _launchServiceLock;
    bool _isResolutionSupported = true;
    bool _credentialsFromSwitchUser = false;
    bool _logonFailed = false;

    friend class NuvProvider;
    friend struct NuvCredentialTestPeer;
};

// Terminates every running process of the UI application.
void KillNuvUIProcesses();

// The supervision thread started by the first selection of the tile.
DWORD WINAPI LaunchAndShowUI(LPVOID credential);

} // namespace Corvani::Nuv::CredentialProvider
