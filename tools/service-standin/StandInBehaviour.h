#pragma once
// How the stand-in service behaves, read from its arguments (service start arguments or the arguments of
// its registered command line):
//   --start-pending MS   stay START_PENDING for MS milliseconds before going on (default 0)
//   --start-hint MS      the wait hint reported while start-pending (default 0)
//   --fail-start         end in STOPPED instead of RUNNING after the start-pending time
//   --stop-pending MS    on a stop request, stay STOP_PENDING for MS milliseconds (default 0)
//   --stop-hint MS       the wait hint reported while stop-pending (default 0)

#include <cstdint>
#include <string>
#include <vector>

namespace HxStandIn {

struct Behaviour {
    std::uint32_t startPendingMs = 0;
    std::uint32_t startHintMs = 0;
    bool failStart = false;
    std::uint32_t stopPendingMs = 0;
    std::uint32_t stopHintMs = 0;
};

// The behaviour named by the arguments; false when an argument is unknown or a number is missing or bad.
bool ParseBehaviour(const std::vector<std::wstring>& arguments, Behaviour& behaviour);

} // namespace HxStandIn
