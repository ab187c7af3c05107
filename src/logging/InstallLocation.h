#pragma once
// The product's installation directory and the path of the service's logging configuration in it, both
// shared by all loggers of the process.

#include <string>

namespace Corvani::Nuv::Logging {

// "InstallDir" under "SOFTWARE\Halvex\InstallInfo" followed by "\NLog.config"; empty when the value is
// absent. The registry is read once per process, at the first call, even when the value is absent; calls
// that race with the first one wait for its answer.
const std::wstring& ProcessNlogConfigPath();

} // namespace Corvani::Nuv::Logging
