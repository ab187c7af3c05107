#pragma once
// Appends bytes to a file that is opened and closed around the one write.

#include <string>

namespace Corvani::Nuv::Logging {

// Opens (creating it if needed) the file for appending, shared with other readers and writers, writes the
// bytes and closes it. False when the file cannot be opened or written; nothing is reported.
bool AppendToFile(const std::wstring& path, const std::string& bytes) noexcept;

} // namespace Corvani::Nuv::Logging
