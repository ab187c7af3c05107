// The wait for a pending service, driven by a scripted status source and a simulated clock.

#include "platform/ServiceWait.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

using namespace Corvani::Nuv::Platform;
using testing::Contains;
using testing::ElementsAre;
using testing::Not;

// Answers status queries from a script; sleeping advances the clock.
class ScriptedService : public ServiceWaitEnvironment {
public:
    void Answer(std::uint32_t state, std::uint32_t waitHintMs) {
        _script.push_back({true, state, waitHintMs, 0});
    }
    void Fail(std::uint32_t error) { _script.push_back({false, 0, 0, error}); }

    ServiceStatusReading QueryStatus() override {
        ++queries;
        if (_script.empty())
            return {false, 0, 0, 6};
        ServiceStatusReading next = _script.front();
        if (_script.size() > 1 || !keepLast)
            _script.pop_front();
        return next;
    }
    void Sleep(std::uint32_t milliseconds) override {
        sleeps.push_back(milliseconds);
        now += milliseconds;
    }
    std::uint32_t TickCount() override { return now; }
    void Trace(const std::wstring& line) override { lines.push_back(line); }

    bool keepLast = false; // the last scripted answer repeats forever
    std::uint32_t now = 0;
    int queries = 0;
    std::vector<std::uint32_t> sleeps;
    std::vector<std::wstring> lines;

private:
    std::deque<ServiceStatusReading> _script;
};

ServiceWaitOutcome WaitForRunning(ScriptedService& service, const ServiceWaitBounds& bounds = {}) {
    return WaitForServiceTransition(service, kServiceRunning, kServiceStartPending, bounds);
}

TEST(ServicePollInterval, IsATenthOfTheWaitHintWithinOneToTenSeconds) {
    EXPECT_EQ(ServicePollInterval(0), 1000u);
    EXPECT_EQ(ServicePollInterval(30000), 3000u);
    EXPECT_EQ(ServicePollInterval(200000), 10000u);
    EXPECT_EQ(ServicePollInterval(10009), 1000u);
    EXPECT_EQ(ServicePollInterval(100009), 10000u);
    EXPECT_EQ(ServicePollInterval(0xFFFFFFFFu), 10000u);
}

TEST(ServiceWait, EndsAtOnceWhenTheFirstAnswerSettlesIt) {
    ScriptedService running;
    running.Answer(kServiceRunning, 0);
    EXPECT_EQ(WaitForRunning(running), ServiceWaitOutcome::Reached);
    EXPECT_THAT(running.lines, ElementsAre(L"Service is final:4, so no wait for the operation"));

    ScriptedService stopped;
    stopped.Answer(kServiceStopped, 0);
    EXPECT_EQ(WaitForRunning(stopped), ServiceWaitOutcome::NotReached);
    EXPECT_TRUE(stopped.lines.empty());

    ScriptedService unreadable;
    unreadable.Fail(5);
    EXPECT_EQ(WaitForRunning(unreadable), ServiceWaitOutcome::NotReached);
    EXPECT_THAT(unreadable.lines, ElementsAre(L"QueryServiceStatusEx 1 failed: 5"));
    EXPECT_TRUE(unreadable.sleeps.empty());
}

TEST(ServiceWait, PollsAtTheIntervalOfTheFirstWaitHintUntilTheFinalState) {
    ScriptedService service;
    service.Answer(kServiceStartPending, 30000);
    service.Answer(kServiceStartPending, 500); // later hints do not change the interval
    service.Answer(kServiceRunning, 0);
    EXPECT_EQ(WaitForRunning(service), ServiceWaitOutcome::Reached);
    EXPECT_THAT(service.sleeps, ElementsAre(3000u, 3000u));
    // The latest hint (500 ms) has passed at the first poll; the final answer is not a timeout.
    EXPECT_THAT(service.lines, ElementsAre(L"Service pending...2", L"Service operation timed out.",
                                           L"Service pending...2", L"Service ended to final state:4"));
}

TEST(ServiceWait, AZeroWaitHintPollsEverySecondAndEveryPollTimesOut) {
    ScriptedService service;
    service.Answer(kServiceStopPending, 0);
    service.Answer(kServiceStopPending, 0);
    service.Answer(kServiceStopPending, 0);
    service.Answer(kServiceStopped, 0);
    EXPECT_EQ(WaitForServiceTransition(service, kServiceStopped, kServiceStopPending, {}),
              ServiceWaitOutcome::Reached);
    EXPECT_THAT(service.sleeps, ElementsAre(1000u, 1000u, 1000u));
    EXPECT_THAT(service.lines, ElementsAre(L"Service pending...3", L"Service operation timed out.",
                                           L"Service pending...3", L"Service operation timed out.",
                                           L"Service pending...3", L"Service ended to final state:1"));
}

TEST(ServiceWait, LeavingForAnotherStateEndsTheWaitUnreached) {
    ScriptedService service;
    service.Answer(kServiceStartPending, 5000);
    service.Answer(kServiceStopped, 0);
    EXPECT_EQ(WaitForRunning(service), ServiceWaitOutcome::NotReached);
    EXPECT_THAT(service.lines, ElementsAre(L"Service pending...2", L"Service operation timed out."));
}

TEST(ServiceWait, AFailedQueryKeepsTheLastStateAndASuccessResetsTheCount) {
    ScriptedService service;
    service.Answer(kServiceStartPending, 100000);
    for (int i = 0; i < 4; ++i)
        service.Fail(1722);
    service.Answer(kServiceStartPending, 100000);
    for (int i = 0; i < 4; ++i)
        service.Fail(1722);
    service.Answer(kServiceRunning, 0);
    EXPECT_EQ(WaitForRunning(service), ServiceWaitOutcome::Reached);
    EXPECT_THAT(service.lines, Contains(L"QueryServiceStatusEx 0 failed: 1722"));
    EXPECT_EQ(service.queries, 11);
}

TEST(ServiceWait, FiveFailedQueriesInARowAbandonTheWait) {
    ScriptedService service;
    service.Answer(kServiceStartPending, 100000);
    service.Fail(1722);
    service.keepLast = true;
    EXPECT_EQ(WaitForRunning(service), ServiceWaitOutcome::Abandoned);
    EXPECT_EQ(service.queries, 6);
    EXPECT_EQ(service.lines.back(), L"Service wait abandoned - status query failed 5 times in a row");
}

TEST(ServiceWait, APendingStateBeyondTheBoundAbandonsTheWaitOnTime) {
    ScriptedService service;
    service.now = 0xFFFFF000u; // the tick count wraps during the wait
    service.Answer(kServiceStartPending, 0);
    service.keepLast = true;
    EXPECT_EQ(WaitForRunning(service), ServiceWaitOutcome::Abandoned);
    EXPECT_EQ(service.now - 0xFFFFF000u, 120000u); // the last sleep is cut to the bound
    EXPECT_EQ(service.lines.back(), L"Service wait abandoned - still pending after 120000 ms");
    EXPECT_THAT(service.lines, Not(Contains(L"Service ended to final state:4")));

    ScriptedService shortBound;
    shortBound.Answer(kServiceStartPending, 200000);
    shortBound.keepLast = true;
    EXPECT_EQ(WaitForRunning(shortBound, {2500, 5}), ServiceWaitOutcome::Abandoned);
    EXPECT_THAT(shortBound.sleeps, ElementsAre(2500u));
}

} // namespace
