#pragma once
// Composition of trace lines: message texts, the line prefix, the time stamp and the bytes that reach the
// file. Free of Windows headers.

#include <ctime>
#include <string>
#include <string_view>

namespace Corvani::Nuv::Logging {

inline constexpr wchar_t kFieldSeparator[] = L" | ";

// The process id followed by a separator: " | " for CP.log messages, " - " for the pipe logs.
std::string MessagePrefix(unsigned long processId, std::string_view separator);

// CP.log message: prefix, writing thread id, " | ", message.
std::string ComposeCPMessage(std::string_view prefix, unsigned long threadId, std::string_view message);

// Pipe log message: prefix, message, " | ", UI process id.
std::string ComposePipeMessage(std::string_view prefix, std::string_view message, std::string_view uiPid);

// The line prefix shared by all loggers: process id, " | ", thread id, " | ".
std::wstring BuildLinePrefix(unsigned long processId, unsigned long threadId);

// "%Y-%m-%d.%X", for example 2016-03-07.14:05:09.
std::wstring FormatLineTime(const std::tm& time);
std::string FormatBannerTime(const std::tm& time);

// Time stamp, " | ", line prefix and text.
std::wstring ComposeOutputText(std::wstring_view time, std::wstring_view linePrefix, std::wstring_view text);

// One byte per character as a text-mode file receives it: codes 0 to 255 as themselves, anything above as
// '?', every line feed preceded by a carriage return, and a CR LF at the end.
std::string ToLogFileBytes(std::wstring_view text);

} // namespace Corvani::Nuv::Logging
