#pragma once
// The module directory and the four resource modules laid beside the provider. The directory, the
// module handles and the string language are created on first use and kept until the process ends;
// the resource modules are never unloaded.

#include <windows.h>
#include <string>

namespace Corvani::Nuv::Platform {

inline constexpr size_t kLocalizedStringCapacity = 512;

inline constexpr wchar_t kCoreLocalizationModule[] = L"Corvani.Halvex.CP.Core.Localization.dll";
inline constexpr wchar_t kAffiliateLocalizationModule[] = L"Corvani.Halvex.CP.Affiliate.Localization.dll";
inline constexpr wchar_t kCoreResourcesModule[] = L"Corvani.Halvex.CP.Core.Resources.dll";
inline constexpr wchar_t kAffiliateResourcesModule[] = L"Corvani.Halvex.CP.Affiliate.Resources.dll";

// The provider's directory, with its trailing backslash, taken from the provider's own InprocServer32
// registration. Computed anew at every call; empty when the registration is missing or too short.
std::wstring GetModuleDirectory();

// Loads the module directory followed by fileName; the slot receives the handle, null on failure.
void LoadResourceModule(const std::wstring& fileName, HMODULE& slot);

// Loads string id into buffer (kLocalizedStringCapacity characters, always terminated): from the
// affiliate localization module first, then the core one. Returns the characters loaded, 0 when neither has it.
int LoadLocalizedString(UINT id, wchar_t* buffer);

// A new bitmap 147 from the affiliate resources module, else the core one; null when neither yields it.
HBITMAP LoadTileBitmap();

} // namespace Corvani::Nuv::Platform
