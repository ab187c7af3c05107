#include "platform/TrustCheckText.h"

namespace Corvani::Nuv::Platform {

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool IsDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

} // namespace

bool IsFullyQualifiedPath(const std::wstring& path) {
    if (path.find(L'\0') != std::wstring::npos || path.size() < 3)
        return false;
    const bool drivePath = IsDriveLetter(path[0]) && path[1] == L':' && IsSeparator(path[2]);
    const bool uncPath = IsSeparator(path[0]) && IsSeparator(path[1]);
    return drivePath || uncPath;
}

std::wstring UpperHex(const std::vector<unsigned char>& bytes) {
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring text;
    text.reserve(bytes.size() * 2);
    for (unsigned char byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 0x0F];
    }
    return text;
}

} // namespace Corvani::Nuv::Platform
