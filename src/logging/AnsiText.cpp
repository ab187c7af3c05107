#include "logging/AnsiText.h"

#include <climits>
#include <windows.h>

namespace Corvani::Nuv::Logging {

std::wstring AnsiToWide(std::string_view text) {
    if (text.empty() || text.size() > INT_MAX)
        return std::wstring();
    // One pass: no code page makes more UTF-16 units than it has bytes (a trace line is converted per line).
    const int length = static_cast<int>(text.size());
    std::wstring wide(text.size(), L'\0');
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), length);
    wide.resize(wideLength > 0 ? static_cast<size_t>(wideLength) : 0);
    return wide;
}

} // namespace Corvani::Nuv::Logging

namespace Corvani::Nuv::Logging {

std::string WideToAnsi(std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX)
        return std::string();
    const int length = static_cast<int>(text.size());
    const int narrowLength = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (narrowLength <= 0)
        return std::string();
    std::string narrow(static_cast<size_t>(narrowLength), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), length, narrow.data(), narrowLength, nullptr, nullptr);
    return narrow;
}

} // namespace Corvani::Nuv::Logging
