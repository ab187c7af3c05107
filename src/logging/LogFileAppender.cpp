#include "logging/LogFileAppender.h"

#include "platform/UniqueResource.h"

#include <climits>

namespace Corvani::Nuv::Logging {

bool AppendToFile(const std::wstring& path, const std::string& bytes) noexcept {
    if (bytes.size() > ULONG_MAX)
        return false;
    // FILE_APPEND_DATA alone: every write lands at the end of the file, whoever else appends to it.
    Platform::UniqueFileHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

} // namespace Corvani::Nuv::Logging
