#include "platform/ServiceWait.h"

#include <algorithm>

namespace Corvani::Nuv::Platform {

namespace {

constexpr std::uint32_t kMinPollIntervalMs = 1000;
constexpr std::uint32_t kMaxPollIntervalMs = 10000;

std::wstring Number(std::uint32_t value) {
    return std::to_wstring(value);
}

// One wait: the first answer fixes the start time and the poll interval, then the loop polls.
class PendingWait {
public:
    PendingWait(ServiceWaitEnvironment& environment, std::uint32_t finalState, std::uint32_t pendingState,
                const ServiceWaitBounds& bounds)
        : _environment(environment), _finalState(finalState), _pendingState(pendingState), _bounds(bounds) {}

    ServiceWaitOutcome Run() {
        const ServiceStatusReading first = _environment.QueryStatus();
        if (!first.ok) {
            _environment.Trace(L"QueryServiceStatusEx 1 failed: " + Number(first.error));
            return ServiceWaitOutcome::NotReached;
        }
        if (first.state == _finalState) {
            _environment.Trace(L"Service is final:" + Number(_finalState) +
                               L", so no wait for the operation");
            return ServiceWaitOutcome::Reached;
        }
        _start = _environment.TickCount();
        _pollInterval = ServicePollInterval(first.waitHintMs);
        if (first.state != _pendingState)
            return ServiceWaitOutcome::NotReached;
        _state = first.state;
        return Poll();
    }

private:
    std::uint32_t Elapsed() { return _environment.TickCount() - _start; }

    ServiceWaitOutcome Poll() {
        bool reached = false;
        std::uint32_t failedInRow = 0;
        while (_state == _pendingState) {
            const std::uint32_t elapsed = Elapsed();
            if (elapsed >= _bounds.maxPendingMs)
                return GiveUp(L"Service wait abandoned - still pending after " +
                              Number(_bounds.maxPendingMs) + L" ms");
            _environment.Trace(L"Service pending..." + Number(_pendingState));
            _environment.Sleep(std::min(_pollInterval, _bounds.maxPendingMs - elapsed));
            const ServiceStatusReading latest = _environment.QueryStatus();
            if (!latest.ok) {
                _environment.Trace(L"QueryServiceStatusEx 0 failed: " + Number(latest.error));
                if (++failedInRow >= _bounds.maxFailedQueries)
                    return GiveUp(L"Service wait abandoned - status query failed " + Number(failedInRow) +
                                  L" times in a row");
                continue;
            }
            failedInRow = 0;
            reached = Settle(latest);
        }
        return reached ? ServiceWaitOutcome::Reached : ServiceWaitOutcome::NotReached;
    }

    // Takes a successful answer; true when it is the final state.
    bool Settle(const ServiceStatusReading& latest) {
        _state = latest.state;
        if (_state == _finalState) {
            _environment.Trace(L"Service ended to final state:" + Number(_finalState));
            return true;
        }
        if (Elapsed() > latest.waitHintMs)
            _environment.Trace(L"Service operation timed out.");
        return false;
    }

    ServiceWaitOutcome GiveUp(const std::wstring& line) {
        _environment.Trace(line);
        return ServiceWaitOutcome::Abandoned;
    }

    ServiceWaitEnvironment& _environment;
    const std::uint32_t _finalState;
    const std::uint32_t _pendingState;
    const ServiceWaitBounds& _bounds;
    std::uint32_t _start = 0;
    std::uint32_t _pollInterval = kMinPollIntervalMs;
    std::uint32_t _state = 0;
};

} // namespace

std::uint32_t ServicePollInterval(std::uint32_t waitHintMs) {
    return std::clamp(waitHintMs / 10, kMinPollIntervalMs, kMaxPollIntervalMs);
}

ServiceWaitOutcome WaitForServiceTransition(ServiceWaitEnvironment& environment, std::uint32_t finalState,
                                            std::uint32_t pendingState, const ServiceWaitBounds& bounds) {
    return PendingWait(environment, finalState, pendingState, bounds).Run();
}

} // namespace Corvani::Nuv::Platform
