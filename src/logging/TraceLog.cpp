#include "logging/TraceLog.h"

namespace Corvani::Nuv::Logging {

// The trace log arrives with the logging subsystem; until then lines are dropped.
void WriteCPLog(const std::string& /*message*/) {}

void WritePipeServerLog(const std::string& /*message*/, const std::string& /*uiPid*/) {}

void WritePipeClientLog(const std::string& /*message*/, const std::string& /*uiPid*/) {}

std::string CurrentTimeString() { return std::string(); }

void DroHelperTrace(const std::wstring& /*message*/) {}

} // namespace Corvani::Nuv::Logging
