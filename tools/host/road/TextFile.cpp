#include "road/TextFile.h"

#include "platform/UniqueResource.h"

using Corvani::Nuv::Platform::UniqueFileHandle;

namespace HxHost {

std::string ReadSharedText(const std::wstring& path, LONGLONG offset, std::size_t limit) {
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    std::string text;
    if (!file)
        return text;
    LARGE_INTEGER start;
    start.QuadPart = offset;
    SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN);
    char buffer[8192];
    DWORD read = 0;
    while (text.size() < limit && ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
        text.append(buffer, std::min<std::size_t>(read, limit - text.size()));
    return text;
}

} // namespace HxHost
