#pragma once
// The wait for a service in a pending state: polls its status until it leaves the pending state,
// within two bounds (how long it may stay pending, how many status queries in a row may fail).
// Free of Win32 so that a scripted status source with its own clock can drive it.

#include <cstdint>
#include <string>

namespace Corvani::Nuv::Platform {

// The documented service state codes the wait deals with.
inline constexpr std::uint32_t kServiceStopped = 1;
inline constexpr std::uint32_t kServiceStartPending = 2;
inline constexpr std::uint32_t kServiceStopPending = 3;
inline constexpr std::uint32_t kServiceRunning = 4;

// The poll interval for a wait hint: one tenth of it, at least 1000 and at most 10000 ms.
std::uint32_t ServicePollInterval(std::uint32_t waitHintMs);

struct ServiceWaitBounds {
    std::uint32_t maxPendingMs = 120000; // a pending state lasting longer ends the wait
    std::uint32_t maxFailedQueries = 5;  // this many failed status queries in a row end the wait
};

// One answer of a status query.
struct ServiceStatusReading {
    bool ok = false;
    std::uint32_t state = 0;
    std::uint32_t waitHintMs = 0;
    std::uint32_t error = 0; // the error code when the query failed
};

// What the wait needs from the outside world.
class ServiceWaitEnvironment {
public:
    virtual ~ServiceWaitEnvironment() = default;
    virtual ServiceStatusReading QueryStatus() = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    virtual std::uint32_t TickCount() = 0; // milliseconds, wrapping
    virtual void Trace(const std::wstring& line) = 0;
};

enum class ServiceWaitOutcome {
    Reached,    // the service is, or became, the final state
    NotReached, // no wait (first query failed, or neither final nor pending), or it left for another state
    Abandoned,  // a bound ended the wait while the service was still pending
};

// Waits while the service is in pendingState; every step is traced.
ServiceWaitOutcome WaitForServiceTransition(ServiceWaitEnvironment& environment, std::uint32_t finalState,
                                            std::uint32_t pendingState, const ServiceWaitBounds& bounds);

} // namespace Corvani::Nuv::Platform
