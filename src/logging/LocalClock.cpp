#include "logging/LocalClock.h"

#include <windows.h>

namespace Corvani::Nuv::Logging {

std::tm CurrentLocalTime() {
    SYSTEMTIME local = {};
    GetLocalTime(&local);
    std::tm time = {};
    time.tm_year = local.wYear - 1900;
    time.tm_mon = local.wMonth - 1;
    time.tm_mday = local.wDay;
    time.tm_hour = local.wHour;
    time.tm_min = local.wMinute;
    time.tm_sec = local.wSecond;
    time.tm_wday = local.wDayOfWeek;
    time.tm_isdst = -1;
    return time;
}

} // namespace Corvani::Nuv::Logging
