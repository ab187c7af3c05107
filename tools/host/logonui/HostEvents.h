#pragma once
// The host's own event sinks, as LogonUI hands them to the provider and to the credential.

#include "Console.h"
#include "logonui/Story.h"
#include "platform/ComObject.h"
#include "platform/CredentialProviderApi.h"
#include "platform/UniqueResource.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace HxHost {

// Members of the host session: the session keeps the creation reference, so the count never reaches 0.
class ProviderEvents final : public Corvani::Nuv::Platform::ComObject<ProviderEvents, ICredentialProviderEvents> {
public:
    ProviderEvents(Story& story, Verbosity verbosity) : _story(story), _verbosity(verbosity) {}

    IFACEMETHODIMP CredentialsChanged(UINT_PTR adviseContext) override;

    LONG changes() const { return _changes; }
    // Waits up to `milliseconds` for a CredentialsChanged after the count `before`, and is woken by it:
    // LogonUI enumerates the tiles again as soon as it is told, not at its next look.
    bool ChangedSince(LONG before, DWORD milliseconds) const;

private:
    Story& _story;
    const Verbosity _verbosity;
    std::atomic<LONG> _changes{0};
    Corvani::Nuv::Platform::UniqueHandle _changed{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
};

// Both events interfaces of LogonUI on one object: a credential that asks the one it was advised for the
// second gets it. Every field update, through either, goes into the story with the tile, the field and
// the new value (a password field's by its length only).
class CredentialEvents final
    : public Corvani::Nuv::Platform::ComObject<CredentialEvents, ICredentialProviderCredentialEvents2> {
public:
    CredentialEvents(HWND owner, Story& story, Verbosity verbosity)
        : _owner(owner), _story(story), _verbosity(verbosity) {}

    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override;
    IFACEMETHODIMP SetFieldState(ICredentialProviderCredential*, DWORD, CREDENTIAL_PROVIDER_FIELD_STATE) override;
    IFACEMETHODIMP SetFieldInteractiveState(ICredentialProviderCredential*, DWORD,
                                            CREDENTIAL_PROVIDER_FIELD_INTERACTIVE_STATE) override;
    IFACEMETHODIMP SetFieldString(ICredentialProviderCredential*, DWORD, LPCWSTR) override;
    IFACEMETHODIMP SetFieldCheckbox(ICredentialProviderCredential*, DWORD, BOOL, LPCWSTR) override;
    IFACEMETHODIMP SetFieldBitmap(ICredentialProviderCredential*, DWORD, HBITMAP) override;
    IFACEMETHODIMP SetFieldComboBoxSelectedItem(ICredentialProviderCredential*, DWORD, DWORD) override;
    IFACEMETHODIMP DeleteFieldComboBoxItem(ICredentialProviderCredential*, DWORD, DWORD) override;
    IFACEMETHODIMP AppendFieldComboBoxItem(ICredentialProviderCredential*, DWORD, LPCWSTR) override;
    IFACEMETHODIMP SetFieldSubmitButton(ICredentialProviderCredential*, DWORD, DWORD) override;
    IFACEMETHODIMP OnCreatingWindow(HWND* owner) override;
    IFACEMETHODIMP BeginFieldUpdates() override;
    IFACEMETHODIMP EndFieldUpdates() override;
    IFACEMETHODIMP SetFieldOptions(ICredentialProviderCredential*, DWORD,
                                   CREDENTIAL_PROVIDER_CREDENTIAL_FIELD_OPTIONS) override;

    // What the story names: the tile by its index, and which fields are passwords.
    void AddTile(ICredentialProviderCredential* tile);
    void SetPasswordFields(std::vector<DWORD> fields);
    LONG windowRequests() const { return _windowRequests; }

private:
    HRESULT Tell(ICredentialProviderCredential* tile, DWORD field, const wchar_t* call, const std::wstring& value);
    bool IsPassword(DWORD field);

    HWND _owner;
    Story& _story;
    const Verbosity _verbosity;
    std::mutex _lock;
    std::vector<ICredentialProviderCredential*> _tiles; // not owned: compared only
    std::vector<DWORD> _passwordFields;
    std::atomic<LONG> _windowRequests{0};
};

} // namespace HxHost
