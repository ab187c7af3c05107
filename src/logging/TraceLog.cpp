#include "logging/TraceLog.h"

namespace Corvani::Nuv::Logging {

// The trace log arrives with the logging subsystem; until then lines are dropped.
void WriteCPLog(const std::string& /*message*/) {}

std::string CurrentTimeString() { return std::string(); }

void DroHelperTrace(const std::wstring& /*message*/) {}

} // namespace Corvani::Nuv::Logging
