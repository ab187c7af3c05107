#pragma once
// The provider's class id, in its two forms: the GUID value and the registry text.

#include <windows.h>

namespace Corvani::Nuv::CredentialProvider {

// {5E0C9A41-7D2B-4F63-9A18-2C6B8E4F0D37}
inline constexpr CLSID CLSID_NuvProvider = {
    0x5e0c9a41, 0x7d2b, 0x4f63, {0x9a, 0x18, 0x2c, 0x6b, 0x8e, 0x4f, 0x0d, 0x37}};

inline constexpr wchar_t kProviderClsidText[] = L"{5E0C9A41-7D2B-4F63-9A18-2C6B8E4F0D37}";

} // namespace Corvani::Nuv::CredentialProvider
