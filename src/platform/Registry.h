#pragma once
// Readers and writers of the registry values the provider uses, all under HKEY_LOCAL_MACHINE (64-bit view).
// Failures are never reported: a missing or unreadable value reads as 0 or as empty text.

#include <windows.h>
#include <string>

namespace Corvani::Nuv::Platform {

inline constexpr wchar_t kSettingsKey[] = L"Software\\Halvex\\Settings\\";
inline constexpr wchar_t kLogonUIKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Authentication\\LogonUI\\";
inline constexpr wchar_t kLastLoggedOnProviderValue[] = L"LastLoggedOnProvider";
inline constexpr wchar_t kLastLoggedOnSAMUserValue[] = L"LastLoggedOnSAMUser";

// A DWORD under "Software\Halvex\Settings\"; 0 when absent or longer than four bytes.
DWORD readSettingFromRegistry(const std::wstring& valueName);

// Whether "FULL_LOG_ENABLE" is non-zero.
bool IsFullLogEnabled();

// A REG_SZ of at most 255 characters; empty when the key or value is missing or the text is longer.
std::wstring readStringValueFromRegistry(const std::wstring& keyPath, const std::wstring& valueName);

// Stores text as REG_SZ (terminator included); true only when the key was opened and the value set.
bool writeStringValueToRegistry(const std::wstring& keyPath, const std::wstring& valueName,
                                const std::wstring& text);

// LogonUI's "LastLoggedOnProvider", and whether it names this provider (case-sensitive).
std::wstring readLastLoggedOnProvider();
bool isLastLoggedOnProvider();

} // namespace Corvani::Nuv::Platform
