#include "logonui/HostUsers.h"

#include "Console.h"
#include "platform/UniqueResource.h"

#include <propkey.h>
#include <sddl.h>
#define SECURITY_WIN32
#include <secext.h>

using Corvani::Nuv::Platform::UniqueHandle;
using Corvani::Nuv::Platform::UniqueLocalMemory;

namespace HxHost {

namespace {

HRESULT Copy(const std::wstring& text, LPWSTR* out) { return SHStrDupW(text.c_str(), out); }

std::wstring SidText(PSID sid) {
    UniqueLocalMemory text;
    if (!ConvertSidToStringSidW(sid, reinterpret_cast<LPWSTR*>(text.put())))
        return std::wstring();
    return static_cast<const wchar_t*>(text.get());
}

std::wstring Error(const wchar_t* what) {
    return std::wstring(what) + L" (error " + std::to_wstring(GetLastError()) + L")";
}

} // namespace

bool LocalUser(UserEntry& user, std::wstring& error) {
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) {
        error = Error(L"the host's token cannot be opened");
        return false;
    }
    BYTE buffer[256] = {};
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenUser, buffer, sizeof(buffer), &size)) {
        error = Error(L"the host's user cannot be read from its token");
        return false;
    }
    user.sid = SidText(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid);
    wchar_t name[256] = {}, domain[256] = {};
    DWORD nameSize = ARRAYSIZE(name), domainSize = ARRAYSIZE(domain);
    SID_NAME_USE use = SidTypeUnknown;
    if (!LookupAccountSidW(nullptr, reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, name, &nameSize, domain,
                           &domainSize, &use)) {
        nameSize = ARRAYSIZE(name);
        domainSize = ARRAYSIZE(domain);
        GetUserNameW(name, &nameSize);
        GetComputerNameW(domain, &domainSize);
    }
    user.userName = name;
    user.qualifiedName = std::wstring(domain) + L"\\" + name;
    wchar_t display[256] = {};
    ULONG displaySize = ARRAYSIZE(display);
    user.displayName = GetUserNameExW(NameDisplay, display, &displaySize) && display[0] ? display : name;
    user.logonStatus = L"Signed in";
    if (user.sid.empty())
        error = L"the host's SID cannot be written as text";
    return !user.sid.empty();
}

bool NamedUser(const std::wstring& text, UserEntry& user, std::wstring& error) {
    const size_t equals = text.find(L'=');
    user.qualifiedName = text.substr(0, equals);
    const size_t backslash = user.qualifiedName.find(L'\\');
    if (backslash == std::wstring::npos || backslash == 0 || backslash + 1 == user.qualifiedName.size()) {
        error = L"no DOMAIN\\ before the name";
        return false;
    }
    user.userName = user.displayName = user.qualifiedName.substr(backslash + 1);
    if (equals != std::wstring::npos) {
        UniqueLocalMemory sid;
        if (!ConvertStringSidToSidW(text.c_str() + equals + 1, reinterpret_cast<PSID*>(sid.put()))) {
            error = L"\"" + text.substr(equals + 1) + L"\" is no SID (S-1-5-...)";
            return false;
        }
        user.sid = SidText(sid.get());
        return true;
    }
    BYTE buffer[SECURITY_MAX_SID_SIZE] = {};
    wchar_t domain[256] = {};
    DWORD sidSize = sizeof(buffer), domainSize = ARRAYSIZE(domain);
    SID_NAME_USE use = SidTypeUnknown;
    if (!LookupAccountNameW(nullptr, user.qualifiedName.c_str(), buffer, &sidSize, domain, &domainSize, &use)) {
        error = L"no account " + user.qualifiedName + L" here (error " + std::to_wstring(GetLastError()) +
                L"); give its SID: --user " + user.qualifiedName + L"=S-1-5-...";
        return false;
    }
    user.sid = SidText(buffer);
    return true;
}

std::wstring UserText(const UserEntry& user) { return user.sid + L" " + user.qualifiedName; }

IFACEMETHODIMP HostUser::GetSid(LPWSTR* sid) {
    if (!sid)
        return E_POINTER;
    return Copy(_entry.sid, sid);
}

IFACEMETHODIMP HostUser::GetProviderID(GUID* providerID) {
    if (!providerID)
        return E_POINTER;
    *providerID = Identity_LocalUserProvider;
    return S_OK;
}

const std::wstring* HostUser::Text(REFPROPERTYKEY key) const {
    if (IsEqualPropertyKey(key, PKEY_Identity_QualifiedUserName))
        return &_entry.qualifiedName;
    if (IsEqualPropertyKey(key, PKEY_Identity_UserName))
        return &_entry.userName;
    if (IsEqualPropertyKey(key, PKEY_Identity_DisplayName))
        return &_entry.displayName;
    if (IsEqualPropertyKey(key, PKEY_Identity_PrimarySid))
        return &_entry.sid;
    if (IsEqualPropertyKey(key, PKEY_Identity_LogonStatusString))
        return &_entry.logonStatus;
    return nullptr;
}

IFACEMETHODIMP HostUser::GetStringValue(REFPROPERTYKEY key, LPWSTR* value) {
    if (!value)
        return E_POINTER;
    *value = nullptr;
    if (IsEqualPropertyKey(key, PKEY_Identity_ProviderID))
        return Copy(GuidText(Identity_LocalUserProvider), value);
    const std::wstring* text = Text(key);
    return text ? Copy(*text, value) : E_INVALIDARG;
}

IFACEMETHODIMP HostUser::GetValue(REFPROPERTYKEY key, PROPVARIANT* value) {
    if (!value)
        return E_POINTER;
    PropVariantInit(value);
    if (IsEqualPropertyKey(key, PKEY_Identity_ProviderID)) {
        value->puuid = static_cast<CLSID*>(CoTaskMemAlloc(sizeof(CLSID)));
        if (!value->puuid)
            return E_OUTOFMEMORY;
        *value->puuid = Identity_LocalUserProvider;
        value->vt = VT_CLSID;
        return S_OK;
    }
    const std::wstring* text = Text(key);
    if (!text)
        return E_INVALIDARG;
    const HRESULT hr = Copy(*text, &value->pwszVal);
    if (SUCCEEDED(hr))
        value->vt = VT_LPWSTR;
    return hr;
}

HostUserArray::HostUserArray(const std::vector<UserEntry>& users, Verbosity verbosity) : _verbosity(verbosity) {
    for (const UserEntry& user : users)
        _users.push_back(new HostUser(user));
}

HostUserArray::~HostUserArray() {
    for (HostUser* user : _users)
        user->Release();
}

// Only once, as LogonUI's array allows; a second call is E_UNEXPECTED.
IFACEMETHODIMP HostUserArray::SetProviderFilter(REFGUID provider) {
    std::lock_guard<std::mutex> guard(_lock);
    _verbosity.Detail(L"ICredentialProviderUserArray::SetProviderFilter(" + GuidText(provider) + L")");
    if (_filtered)
        return E_UNEXPECTED;
    _filtered = true;
    _filteredOut = !IsEqualGUID(provider, Identity_LocalUserProvider);
    return S_OK;
}

IFACEMETHODIMP HostUserArray::GetAccountOptions(CREDENTIAL_PROVIDER_ACCOUNT_OPTIONS* options) {
    if (!options)
        return E_POINTER;
    *options = CPAO_NONE; // no "Other user" tile
    return S_OK;
}

IFACEMETHODIMP HostUserArray::GetCount(DWORD* count) {
    if (!count)
        return E_POINTER;
    std::lock_guard<std::mutex> guard(_lock);
    *count = _filteredOut ? 0 : static_cast<DWORD>(_users.size());
    return S_OK;
}

IFACEMETHODIMP HostUserArray::GetAt(DWORD index, ICredentialProviderUser** user) {
    if (!user)
        return E_POINTER;
    *user = nullptr;
    std::lock_guard<std::mutex> guard(_lock);
    if (_filteredOut || index >= _users.size())
        return E_INVALIDARG;
    _users[index]->AddRef();
    *user = _users[index];
    return S_OK;
}

} // namespace HxHost
