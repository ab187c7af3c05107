#pragma once
// The users LogonUI shows, as the user array it hands to a provider that implements
// ICredentialProviderSetUserArray: the local user running the host, then each one of --user.

#include "Console.h"
#include "platform/ComObject.h"
#include "platform/CredentialProviderApi.h"

#include <mutex>
#include <string>
#include <vector>

namespace HxHost {

struct UserEntry {
    std::wstring sid;
    std::wstring qualifiedName; // "DOMAIN\name"
    std::wstring userName;
    std::wstring displayName;
    std::wstring logonStatus;
};

// The user running the host; false (with what went wrong) when its token cannot be read.
bool LocalUser(UserEntry& user, std::wstring& error);
// "DOMAIN\name", its SID looked up, or "DOMAIN\name=S-1-5-..." for an account this machine cannot look up.
bool NamedUser(const std::wstring& text, UserEntry& user, std::wstring& error);
// "S-1-5-21-... DOMAIN\name".
std::wstring UserText(const UserEntry& user);

class HostUser final : public Corvani::Nuv::Platform::ComObject<HostUser, ICredentialProviderUser> {
public:
    explicit HostUser(UserEntry entry) : _entry(std::move(entry)) {}

    IFACEMETHODIMP GetSid(LPWSTR* sid) override;
    IFACEMETHODIMP GetProviderID(GUID* providerID) override;
    IFACEMETHODIMP GetStringValue(REFPROPERTYKEY key, LPWSTR* value) override;
    IFACEMETHODIMP GetValue(REFPROPERTYKEY key, PROPVARIANT* value) override;

private:
    friend ComObject; // the last Release destroys it
    ~HostUser() = default;
    const std::wstring* Text(REFPROPERTYKEY key) const;

    const UserEntry _entry;
};

// Every user comes from the local accounts provider (Identity_LocalUserProvider), as LogonUI says of local
// and domain users alike.
class HostUserArray final : public Corvani::Nuv::Platform::ComObject<HostUserArray, ICredentialProviderUserArray> {
public:
    HostUserArray(const std::vector<UserEntry>& users, Verbosity verbosity);

    IFACEMETHODIMP SetProviderFilter(REFGUID provider) override;
    IFACEMETHODIMP GetAccountOptions(CREDENTIAL_PROVIDER_ACCOUNT_OPTIONS* options) override;
    IFACEMETHODIMP GetCount(DWORD* count) override;
    IFACEMETHODIMP GetAt(DWORD index, ICredentialProviderUser** user) override;

private:
    friend ComObject;
    ~HostUserArray();

    const Verbosity _verbosity;
    std::mutex _lock;
    std::vector<HostUser*> _users; // one reference each
    bool _filtered = false;
    bool _filteredOut = false; // filtered to another provider than the local accounts'
};

} // namespace HxHost
