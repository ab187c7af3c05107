#include "logging/LogFilePath.h"

namespace Corvani::Nuv::Logging {

namespace {

constexpr wchar_t kDateSeparator[] = L"-";

} // namespace

std::wstring BuildLogFilePath(std::wstring_view logsPath, const std::tm& date, std::wstring_view fileName) {
    std::wstring path(logsPath);
    path.append(std::to_wstring(date.tm_year + 1900)).append(kDateSeparator);
    path.append(std::to_wstring(date.tm_mon + 1)).append(kDateSeparator);
    path.append(std::to_wstring(date.tm_mday)).append(kDateSeparator);
    path.append(fileName);
    return path;
}

} // namespace Corvani::Nuv::Logging
