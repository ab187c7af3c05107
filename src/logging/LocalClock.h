#pragma once
// The clock that dates trace lines and names the daily files; tests may hand a logger a clock of their own.

#include <ctime>

namespace Corvani::Nuv::Logging {

using LocalClock = std::tm (*)();

// The local time of the machine, broken down (year since 1900, month from 0).
std::tm CurrentLocalTime();

} // namespace Corvani::Nuv::Logging
