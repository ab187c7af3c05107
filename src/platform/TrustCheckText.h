#pragma once
// Text rules of the trust check, free of Win32.

#include <string>
#include <vector>

namespace Corvani::Nuv::Platform {

// True for a path that names one file without depending on the current drive or directory: "X:\..." or
// "\\server\..." (including "\\?\..."), and without an embedded NUL that would cut it short.
bool IsFullyQualifiedPath(const std::wstring& path);

// The bytes as upper-case hexadecimal text (how catalogs tag their members).
std::wstring UpperHex(const std::vector<unsigned char>& bytes);

} // namespace Corvani::Nuv::Platform
