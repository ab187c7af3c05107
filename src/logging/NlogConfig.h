#pragma once
// The log directory named in the service's logging configuration, found by a plain text rule (the file is
// not parsed as XML). Free of Windows headers.

#include <optional>
#include <string>
#include <string_view>

namespace Corvani::Nuv::Logging {

// Looks, line by line (lines end at a line feed), for the first line holding fileName=" (case-sensitive).
// Its quoted value, up to the next double quote on that line, cut after its last slash or backslash (a
// value with neither is taken whole), is the answer; a value without a closing quote gives empty text.
// No answer when no line holds the key.
std::optional<std::string> FindLogsDirectoryInConfig(std::string_view content);

// Whether a directory still holds the configuration's base-directory placeholder.
bool ContainsBaseDirPlaceholder(std::wstring_view directory);

} // namespace Corvani::Nuv::Logging
