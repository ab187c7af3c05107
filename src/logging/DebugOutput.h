#pragma once
// The debugger output channel (OutputDebugStringW) of the loggers.

#include <string>

namespace Corvani::Nuv::Logging {

// Sends the text as it is, without adding a line end.
void SendDebugOutput(const std::wstring& text) noexcept;

} // namespace Corvani::Nuv::Logging
