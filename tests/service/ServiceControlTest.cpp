// ServiceControl against the real Service Control Manager of the Wine prefix, with the "Halvex" stand-in
// service installed for the suite and given a behaviour per test.

#include "StandInInstaller.h"
#include "platform/ServiceControl.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace Corvani::Nuv::Platform;
using testing::Contains;
using testing::ElementsAre;
using testing::Not;

constexpr DWORD kSettleTimeoutMs = 30000;

// True when expected appears in lines in this order (other lines may stand between).
bool AppearInOrder(const std::vector<std::wstring>& lines, const std::vector<std::wstring>& expected) {
    size_t next = 0;
    for (const std::wstring& line : lines)
        if (next < expected.size() && line == expected[next])
            ++next;
    return next == expected.size();
}

class ServiceControlTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(HxStandIn::InstallStandIn(kHXServiceName, L""), 0u); }
    static void TearDownTestSuite() { HxStandIn::RemoveStandIn(kHXServiceName); }

    void SetUp() override { ASSERT_EQ(HxStandIn::StopAndWait(kHXServiceName, kSettleTimeoutMs), 0u); }
    void TearDown() override { HxStandIn::StopAndWait(kHXServiceName, kSettleTimeoutMs); }

    static void Behave(const std::wstring& arguments) {
        ASSERT_EQ(HxStandIn::InstallStandIn(kHXServiceName, arguments), 0u);
    }

    ServiceControl MakeControl(ServiceWaitBounds bounds = {}) {
        ServiceControlOptions options;
        options.trace = [this](const std::wstring& line) { lines.push_back(line); };
        options.bounds = bounds;
        return ServiceControl(std::move(options));
    }

    static DWORD State() { return HxStandIn::CurrentState(kHXServiceName); }

    std::vector<std::wstring> lines;
};

TEST_F(ServiceControlTest, AnAlreadyRunningServiceIsNotStartedAgain) {
    Behave(L"");
    ASSERT_EQ(HxStandIn::StartWithoutWaiting(kHXServiceName), 0u);
    ASSERT_EQ(HxStandIn::WaitForState(kHXServiceName, SERVICE_RUNNING, kSettleTimeoutMs), 0u);
    ServiceControl control = MakeControl();
    ASSERT_TRUE(control.IsValid());
    EXPECT_EQ(control.StartHXService(), 1);
    EXPECT_THAT(lines, ElementsAre(L"StartHXService called", L"StartSvc:Halvex",
                                   L"HX Service was succesfully started"));
}

TEST_F(ServiceControlTest, AStoppedServiceIsStartedAndWaitedForWhileStartPending) {
    Behave(L"--start-pending 2500 --start-hint 1000");
    ServiceControl control = MakeControl();
    EXPECT_EQ(control.StartHXService(), 1);
    EXPECT_EQ(State(), static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_TRUE(AppearInOrder(lines, {L"StartHXService called", L"StartSvc:Halvex",
                                      L"Service is not started, so start it...", L"IsServiceStopped: Halvex",
                                      L"starting service ....", L"Service pending...2",
                                      L"Service ended to final state:4", L"Service started successfully",
                                      L"closing schService", L"HX Service was succesfully started"}));
}

TEST_F(ServiceControlTest, AServiceStartPendingWhenAskedCountsAsStartedOnceItSettles) {
    Behave(L"--start-pending 2500 --start-hint 1000");
    ASSERT_EQ(HxStandIn::StartWithoutWaiting(kHXServiceName), 0u);
    ASSERT_EQ(State(), static_cast<DWORD>(SERVICE_START_PENDING));
    ServiceControl control = MakeControl();
    EXPECT_EQ(control.StartHXService(), 1);
    EXPECT_EQ(State(), static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_THAT(lines, Not(Contains(L"starting service ....")));
    EXPECT_TRUE(
        AppearInOrder(lines, {L"StartSvc:Halvex", L"Service pending...2", L"Service ended to final state:4",
                              L"HX Service was succesfully started"}));
}

TEST_F(ServiceControlTest, AServiceStartPendingWhenAskedCountsAsStartedEvenWhenItEndsStopped) {
    Behave(L"--start-pending 2500 --start-hint 1000 --fail-start");
    ASSERT_EQ(HxStandIn::StartWithoutWaiting(kHXServiceName), 0u);
    ServiceControl control = MakeControl();
    EXPECT_EQ(control.StartHXService(), 1);
    EXPECT_EQ(State(), static_cast<DWORD>(SERVICE_STOPPED));
    EXPECT_THAT(lines, Not(Contains(L"Service ended to final state:4")));
    EXPECT_EQ(lines.back(), L"HX Service was succesfully started");
}

TEST_F(ServiceControlTest, AStopPendingServiceIsWaitedForThenStarted) {
    Behave(L"--stop-pending 2500 --stop-hint 500");
    ASSERT_EQ(HxStandIn::StartWithoutWaiting(kHXServiceName), 0u);
    ASSERT_EQ(HxStandIn::WaitForState(kHXServiceName, SERVICE_RUNNING, kSettleTimeoutMs), 0u);
    ASSERT_EQ(HxStandIn::RequestStop(kHXServiceName), 0u);
    ASSERT_EQ(State(), static_cast<DWORD>(SERVICE_STOP_PENDING));
    ServiceControl control = MakeControl();
    EXPECT_EQ(control.StartHXService(), 1);
    EXPECT_EQ(State(), static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_TRUE(AppearInOrder(lines, {L"Service is not started, so start it...", L"IsServiceStopped: Halvex",
                                      L"Service pending...3", L"Service ended to final state:1",
                                      L"starting service ....", L"Service started successfully",
                                      L"HX Service was succesfully started"}));
}

TEST_F(ServiceControlTest, AServiceThatFailsToStartIsReportedAsAProblem) {
    Behave(L"--start-pending 1500 --start-hint 1000 --fail-start");
    ServiceControl control = MakeControl();
    EXPECT_EQ(control.StartHXService(), 0);
    EXPECT_TRUE(AppearInOrder(
        lines, {L"starting service ....", L"Service pending...2",
                L"Service started FAILED - Timeout while waiting for the service to Start - Halvex",
                L"closing schService", L"There was a problem starting HX Service"}));
}

TEST_F(ServiceControlTest, AServiceThatDoesNotExistGivesOneWithItsErrorCodes) {
    ServiceControl control = MakeControl();
    EXPECT_EQ(control.StartSvc(L"HalvexMissing"), 1);
    EXPECT_THAT(
        lines, ElementsAre(L"StartSvc:HalvexMissing", L"IsServiceStarted - OpenService failed - Code 1060",
                           L"Service is not started, so start it...", L"IsServiceStopped: HalvexMissing",
                           L"IsServiceStopped - OpenService failed - Code 1060", L"OpenService failed:1060"));
    EXPECT_FALSE(control.IsServiceStarted(L"HalvexMissing"));
    EXPECT_FALSE(control.IsServiceStopped(L"HalvexMissing"));
}

TEST_F(ServiceControlTest, AStartThatOutlastsTheBoundEndsAsNotStarted) {
    Behave(L"--start-pending 6000 --start-hint 0");
    ServiceControl control = MakeControl({2000, 5});
    const DWORD start = GetTickCount();
    EXPECT_EQ(control.StartHXService(), 0);
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_EQ(State(), static_cast<DWORD>(SERVICE_START_PENDING));
    EXPECT_TRUE(AppearInOrder(
        lines, {L"starting service ....", L"Service pending...2", L"Service operation timed out.",
                L"Service wait abandoned - still pending after 2000 ms",
                L"Service started FAILED - Timeout while waiting for the service to Start - Halvex",
                L"There was a problem starting HX Service"}));
}

TEST_F(ServiceControlTest, AServicePendingWhenAskedBeyondTheBoundCountsAsNotStarted) {
    Behave(L"--start-pending 8000 --start-hint 0");
    ASSERT_EQ(HxStandIn::StartWithoutWaiting(kHXServiceName), 0u);
    ServiceControl control = MakeControl({2000, 5});
    EXPECT_FALSE(control.IsServiceStarted(kHXServiceName));
    EXPECT_EQ(control.StartSvc(kHXServiceName), 1);
    EXPECT_THAT(lines, Contains(L"Service wait abandoned - still pending after 2000 ms"));
    EXPECT_EQ(lines.back(), L"closing schService");
}

} // namespace
