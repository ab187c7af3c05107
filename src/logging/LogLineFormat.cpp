#include "logging/LogLineFormat.h"

#include <cwchar>

namespace Corvani::Nuv::Logging {

namespace {

constexpr size_t kLineTimeCapacity = 160;
constexpr size_t kBannerTimeCapacity = 80;
constexpr wchar_t kWideTimeFormat[] = L"%Y-%m-%d.%X";
constexpr char kTimeFormat[] = "%Y-%m-%d.%X";

} // namespace

std::string MessagePrefix(unsigned long processId, std::string_view separator) {
    std::string prefix = std::to_string(processId);
    prefix.append(separator);
    return prefix;
}

std::string ComposeCPMessage(std::string_view prefix, unsigned long threadId, std::string_view message) {
    const std::string thread = std::to_string(threadId);
    std::string text;
    text.reserve(prefix.size() + thread.size() + 3 + message.size());
    text.append(prefix).append(thread).append(" | ").append(message);
    return text;
}

std::string ComposePipeMessage(std::string_view prefix, std::string_view message, std::string_view uiPid) {
    std::string text;
    text.reserve(prefix.size() + message.size() + 3 + uiPid.size());
    text.append(prefix).append(message).append(" | ").append(uiPid);
    return text;
}

std::wstring BuildLinePrefix(unsigned long processId, unsigned long threadId) {
    return std::to_wstring(processId) + kFieldSeparator + std::to_wstring(threadId) + kFieldSeparator;
}

std::wstring FormatLineTime(const std::tm& time) {
    wchar_t buffer[kLineTimeCapacity] = {};
    const size_t length = std::wcsftime(buffer, kLineTimeCapacity, kWideTimeFormat, &time);
    return std::wstring(buffer, length);
}

std::string FormatBannerTime(const std::tm& time) {
    char buffer[kBannerTimeCapacity] = {};
    const size_t length = std::strftime(buffer, kBannerTimeCapacity, kTimeFormat, &time);
    return std::string(buffer, length);
}

std::wstring ComposeOutputText(std::wstring_view time, std::wstring_view linePrefix, std::wstring_view text) {
    std::wstring output;
    output.reserve(time.size() + 3 + linePrefix.size() + text.size());
    output.append(time).append(kFieldSeparator).append(linePrefix).append(text);
    return output;
}

std::string ToLogFileBytes(std::wstring_view text) {
    std::string bytes;
    bytes.reserve(text.size() + 2);
    for (const wchar_t c : text) {
        if (c == L'\n')
            bytes.push_back('\r');
        bytes.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
    }
    bytes.append("\r\n");
    return bytes;
}

} // namespace Corvani::Nuv::Logging
