#include "support/TestPaths.h"

#include "platform/UniqueResource.h"

#include <vector>
#include <windows.h>

namespace HxTest {

std::wstring BinDirectory() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring directory(path);
    return directory.substr(0, directory.find_last_of(L'\\') + 1);
}

std::wstring NewTempDirectory(const std::wstring& prefix) {
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    static int counter = 0;
    for (;;) {
        const std::wstring directory = std::wstring(base) + prefix + L"-" + std::to_wstring(GetCurrentProcessId()) +
                                       L"-" + std::to_wstring(++counter) + L"\\";
        if (CreateDirectoryW(directory.c_str(), nullptr))
            return directory;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return std::wstring();
    }
}

std::wstring ReadUtf8File(const std::wstring& path) {
    Corvani::Nuv::Platform::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                              OPEN_EXISTING, 0, nullptr));
    if (!file)
        return std::wstring();
    std::vector<char> bytes(GetFileSize(file.get(), nullptr));
    DWORD read = 0;
    if (!bytes.empty() && !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return std::wstring();
    std::wstring text(bytes.size(), L'\0');
    const int count = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(read), text.data(),
                                          static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(count));
    return text;
}

} // namespace HxTest
