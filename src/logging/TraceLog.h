#pragma once
// The trace-line writers of the provider: "CP.log" lines, banner time stamps and the debugger-only
// channel of the service-control code.

#include <string>

namespace Corvani::Nuv::Logging {

// Writes one line into the daily "CP.log".
void WriteCPLog(const std::string& message);

// The same for a fixed text; never throws, not even when memory runs out, so that it may be called from
// destructors and before any guard.
void WriteCPLog(const char* message) noexcept;

// Write one line into the daily "PipeServer.log" / "PipeClient.log": the message, " | " and the UI process
// id.
void WritePipeServerLog(const std::string& message, const std::string& uiPid);
void WritePipeClientLog(const std::string& message, const std::string& uiPid);

// The local time as "%Y-%m-%d.%X", for banner lines.
std::string CurrentTimeString();

// Sends "DroHelperLib - " + message + line feed to the debugger output only.
void DroHelperTrace(const std::wstring& message);

} // namespace Corvani::Nuv::Logging
