#include "platform/Registry.h"

#include "platform/ProviderClsid.h"
#include "platform/UniqueResource.h"

namespace Corvani::Nuv::Platform {

namespace {

constexpr DWORD kStringBufferBytes = 512;
constexpr size_t kStringBufferChars = kStringBufferBytes / sizeof(wchar_t);

UniqueRegKey openForReading(const std::wstring& keyPath) {
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, key.put()) !=
        ERROR_SUCCESS)
        std::ignore = key.release(); // a failed open leaves nothing to close
    return key;
}

DWORD readDword(const wchar_t* keyPath, const wchar_t* valueName) {
    UniqueRegKey key = openForReading(keyPath);
    if (!key)
        return 0;
    // The type is not looked at: up to four bytes are a little-endian number, anything longer is absent.
    DWORD number = 0;
    DWORD size = sizeof(number);
    if (RegQueryValueExW(key.get(), valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size) !=
        ERROR_SUCCESS)
        return 0;
    return number;
}

} // namespace

DWORD readSettingFromRegistry(const std::wstring& valueName) { return readDword(kSettingsKey, valueName.c_str()); }

bool IsFullLogEnabled() { return readDword(L"SOFTWARE\\Halvex\\Settings\\", L"FULL_LOG_ENABLE") != 0; }

std::wstring readStringValueFromRegistry(const std::wstring& keyPath, const std::wstring& valueName) {
    UniqueRegKey key = openForReading(keyPath);
    if (!key)
        return std::wstring();
    // One spare character beyond the 512-byte buffer keeps the text terminated even when the stored
    // value carries no terminator of its own.
    wchar_t buffer[kStringBufferChars + 1] = {};
    DWORD size = kStringBufferBytes;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS)
        return std::wstring();
    std::wstring text(buffer);
    if (text.size() >= kStringBufferChars)
        return std::wstring(); // no room left for a terminator: the value is too long
    return text;
}

bool writeStringValueToRegistry(const std::wstring& keyPath, const std::wstring& valueName,
                                const std::wstring& text) {
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_64KEY, key.put()) !=
        ERROR_SUCCESS) {
        std::ignore = key.release(); // a failed open leaves nothing to close
        return false;
    }
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          bytes) == ERROR_SUCCESS;
}

std::wstring readLastLoggedOnProvider() {
    return readStringValueFromRegistry(kLogonUIKey, kLastLoggedOnProviderValue);
}

bool isLastLoggedOnProvider() {
    return readLastLoggedOnProvider() == CredentialProvider::kProviderClsidText;
}

} // namespace Corvani::Nuv::Platform
