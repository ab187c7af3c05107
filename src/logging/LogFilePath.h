#pragma once
// The daily log file name. Free of Windows headers.

#include <ctime>
#include <string>
#include <string_view>

namespace Corvani::Nuv::Logging {

// The directory followed by year, "-", month, "-", day, "-" and the base name, the numbers in decimal
// without leading zeros (for example D:\Data\logs\2016-3-7-CP.log).
std::wstring BuildLogFilePath(std::wstring_view logsPath, const std::tm& date, std::wstring_view fileName);

} // namespace Corvani::Nuv::Logging
