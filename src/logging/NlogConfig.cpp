#include "logging/NlogConfig.h"

#include <algorithm>

namespace Corvani::Nuv::Logging {

namespace {

constexpr std::string_view kFileNameKey = "fileName=\"";

// The directory part of the quoted value that starts at `valueStart` on this line.
std::string DirectoryOfValue(std::string_view line, size_t valueStart) {
    const size_t valueEnd = line.find('"', valueStart);
    if (valueEnd == std::string_view::npos)
        return std::string();
    const std::string_view value = line.substr(valueStart, valueEnd - valueStart);
    const size_t lastSeparator = value.find_last_of("/\\");
    return std::string(lastSeparator == std::string_view::npos ? value : value.substr(0, lastSeparator + 1));
}

} // namespace

std::optional<std::string> FindLogsDirectoryInConfig(std::string_view content) {
    size_t lineStart = 0;
    while (lineStart < content.size()) {
        const size_t lineEnd = std::min(content.find('\n', lineStart), content.size());
        const std::string_view line = content.substr(lineStart, lineEnd - lineStart);
        const size_t key = line.find(kFileNameKey);
        if (key != std::string_view::npos)
            return DirectoryOfValue(line, key + kFileNameKey.size());
        lineStart = lineEnd + 1;
    }
    return std::nullopt;
}

bool ContainsBaseDirPlaceholder(std::wstring_view directory) {
    return directory.find(L"${basedir}") != std::wstring_view::npos;
}

} // namespace Corvani::Nuv::Logging
