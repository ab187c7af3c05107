// Where a logger's files go: the directory named in the service's logging configuration, or a folder under
// the local application-data folder. Every step reports itself on the debugger output only.

#include "logging/AnsiText.h"
#include "logging/DebugOutput.h"
#include "logging/HXLogger.h"
#include "logging/InstallLocation.h"
#include "logging/NlogConfig.h"
#include "platform/UniqueResource.h"

#include <algorithm>
#include <knownfolders.h>
#include <optional>
#include <shlobj.h>
#include <shlwapi.h>

namespace Corvani::Nuv::Logging {

namespace {

// The configuration is a small text file; anything beyond this size is not searched.
constexpr LONGLONG kConfigReadLimit = 4 * 1024 * 1024;

// The file's bytes, or empty text when it cannot be read.
std::string ReadConfigFile(const std::wstring& path) {
    Platform::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0)
        return std::string();
    std::string content(static_cast<size_t>(std::min(size.QuadPart, kConfigReadLimit)), '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr))
        return std::string();
    content.resize(read);
    return content;
}

} // namespace

bool HXLogger::IsNlogConfigPresent() {
    const std::wstring configPath = GetNlogConfigPath();
    const bool present = !configPath.empty() && PathFileExistsW(configPath.c_str());
    SendDebugOutput(std::wstring(L"HXLogger:: IsNlogConfigPresent ret: ") + (present ? L"1" : L"0"));
    return present;
}

std::wstring HXLogger::GetNlogConfigPath() {
    SendDebugOutput(L"HXLogger::GetNlogConfigPath --");
    const std::wstring& configPath = ProcessNlogConfigPath();
    SendDebugOutput(L"HXLogger::GetNlogConfigPath \\-- " + configPath);
    return configPath;
}

std::wstring HXLogger::GetServiceLogsPath() {
    SendDebugOutput(L"HXLogger::GetServiceLogsPath --");
    const std::wstring configPath = GetNlogConfigPath();
    if (configPath.empty()) {
        SendDebugOutput(L"HXLogger::GetServiceLogsPath ERROR Nlog.config was empty");
        return std::wstring();
    }
    const std::optional<std::string> directory = FindLogsDirectoryInConfig(ReadConfigFile(configPath));
    if (!directory) {
        SendDebugOutput(L"HXLogger::GetServiceLogsPath ERROR log path was not found in Nlog.config");
        return std::wstring();
    }
    const std::wstring result = AnsiToWide(*directory);
    SendDebugOutput(L"HXLogger::GetServiceLogsPath log path was found in Nlog.config: " + result);
    return result;
}

std::wstring HXLogger::ResolveLogsPath() {
    SendDebugOutput(L"HXLogger::ResolveLogsPath --");
    std::wstring logsPath = GetServiceLogsPath();
    if (logsPath.empty() || ContainsBaseDirPlaceholder(logsPath)) {
        SendDebugOutput(L"HXLogger::ResolveLogsPath service logs path is empty or contains ${ basedir }");
        logsPath = GetLocalAppDataPath() + kLogsSubfolder;
    }
    SendDebugOutput(L"HXLogger::ResolveLogsPath \\-- " + logsPath);
    return logsPath;
}

std::wstring HXLogger::GetLocalAppDataPath() {
    SendDebugOutput(L"HXLogger::GetLocalAppDataPath init");
    Platform::UniqueCoTaskString folder;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, folder.put())) || !folder) {
        SendDebugOutput(L"HXLogger::GetLocalAppDataPath ERROR obtaining LocalAppData Path");
        return std::wstring();
    }
    std::wstring path(folder.get());
    SendDebugOutput(L"HXLogger::GetLocalAppDataPath obtained: " + path);
    return path;
}

bool HXLogger::CreateDirectoryRecursively(const std::wstring& directory) {
    const int result = SHCreateDirectoryExW(nullptr, directory.c_str(), nullptr);
    if (result == ERROR_SUCCESS) {
        SendDebugOutput(L"HXLogger::CreateDirectoryRecursively dir created: " + directory);
        return true;
    }
    if (result == ERROR_FILE_EXISTS || result == ERROR_ALREADY_EXISTS)
        return true;
    SendDebugOutput(L"HXLogger::Initialize ERROR Creating directory");
    return false;
}

} // namespace Corvani::Nuv::Logging
