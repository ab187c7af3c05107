// The host's stand-in for a recognised face, through COM alone: before LogonUI creates the provider, the
// host tells the UI application stand-in (through its environment, which the provider's launch passes
// on) whom to recognise. Selecting the tile then makes the provider start the service and launch the
// signed stand-in, which, on its first SHOW, places the credentials in the sections as the product's
// service does and sends LOGON. The host waits, bounded, for what LogonUI would see: CredentialsChanged,
// or the locked session disconnected with this provider remembered for the logon screen.

#include "Console.h"
#include "HostSession.h"
#include "platform/ProviderClsid.h"
#include "platform/UniqueResource.h"

#include <string>

namespace HxHost {

namespace {

constexpr wchar_t kStandInOptionsVariable[] = L"HX_UI_STANDIN_OPTIONS";
constexpr wchar_t kLogonUIKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Authentication\\LogonUI";
constexpr DWORD kRecognitionPatienceMilliseconds = 30000;
constexpr DWORD kPollMilliseconds = 50;

std::wstring Quote(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring LastLoggedOnProvider() {
    wchar_t buffer[64] = {};
    DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kLogonUIKey, L"LastLoggedOnProvider", RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY,
                     nullptr, buffer, &bytes) != ERROR_SUCCESS)
        return std::wstring();
    return buffer;
}

} // namespace

void HostSession::PrepareRecognition() {
    const std::wstring options = L"--credentials " + Quote(_options.domain) + L" " + Quote(_options.user) + L" " +
                                 Quote(_options.password) + L" --on-show wait:" +
                                 std::to_wstring(_options.recognitionDelay) + L",recognize" +
                                 (_options.standInRecord.empty() ? L"" : L" --record " + Quote(_options.standInRecord));
    // Options the caller gave the stand-in already (misbehaviour for a measurement, say) are kept.
    wchar_t given[2048] = {};
    const DWORD length = GetEnvironmentVariableW(kStandInOptionsVariable, given, ARRAYSIZE(given));
    const std::wstring all = length > 0 && length < ARRAYSIZE(given) ? std::wstring(given) + L" " + options : options;
    SetEnvironmentVariableW(kStandInOptionsVariable, all.c_str());
    PrintLine(L"The UI application will recognise " + _options.domain + L"\\" + _options.user + L" (password " +
              std::to_wstring(_options.password.size()) + L" characters) " +
              std::to_wstring(_options.recognitionDelay) + L" ms after its first SHOW");
}

// True when LogonUI was told that the credential changed; false when the provider disconnected the
// locked session instead, or nothing happened in time.
bool HostSession::AwaitRecognition() {
    const LONG changesBefore = _providerEvents.changes();
    const std::wstring providerBefore = LastLoggedOnProvider();
    const ULONGLONG giveUpAt = GetTickCount64() + kRecognitionPatienceMilliseconds;
    while (GetTickCount64() < giveUpAt) {
        if (_providerEvents.changes() != changesBefore)
            return true;
        const std::wstring provider = LastLoggedOnProvider();
        if (provider != providerBefore &&
            provider == Corvani::Nuv::CredentialProvider::kProviderClsidText) {
            PrintLine(L"  CredentialsChanged was not raised: another user than the locked one; LastLoggedOnProvider "
                      L"is now " + provider + L" and the locked session was disconnected");
            return false;
        }
        Sleep(kPollMilliseconds);
    }
    PrintLine(L"  no recognition within " + std::to_wstring(kRecognitionPatienceMilliseconds) + L" ms");
    _failed = true;
    return false;
}

} // namespace HxHost
