// Whether a recognised user is the one LogonUI remembers as the last signed-in user.

#include "platform/Registry.h"
#include "provider/NuvProvider.h"
#include "provider/ProviderTrace.h"

namespace Corvani::Nuv::CredentialProvider {

namespace {

constexpr DWORD kComputerNameCapacity = 16;

// Only A to Z are folded, whatever the locale.
std::wstring ToLowerAscii(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

std::wstring ComputerName() {
    wchar_t buffer[kComputerNameCapacity] = {};
    DWORD size = kComputerNameCapacity;
    return GetComputerNameW(buffer, &size) ? std::wstring(buffer, size) : std::wstring();
}

} // namespace

// The trace lines name the steps only, never the users.
bool isLastLoggedOnUser(const std::wstring& domain, const std::wstring& user) {
    const std::wstring lastUser =
        ToLowerAscii(Platform::readStringValueFromRegistry(Platform::kLogonUIKey, Platform::kLastLoggedOnSAMUserValue));
    Trace("NuvPipeServer::isLastLoggedOnUser | readStringValueFromRegistry");

    const std::wstring lowerDomain = ToLowerAscii(domain);
    const std::wstring lowerUser = ToLowerAscii(user);
    Trace("NuvPipeServer::isLastLoggedOnUser | recognizedUser");
    if (lowerDomain + L"\\" + lowerUser == lastUser)
        return true;

    const std::wstring machineName = ToLowerAscii(ComputerName());
    Trace("NuvPipeServer::isLastLoggedOnUser | machineName");
    if (machineName != lowerDomain)
        return false;

    Trace("NuvPipeServer::isLastLoggedOnUser | recognizedUserInThisMachine");
    return L".\\" + lowerUser == lastUser;
}

} // namespace Corvani::Nuv::CredentialProvider
