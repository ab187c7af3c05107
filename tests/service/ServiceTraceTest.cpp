// Without a trace sink of its own, ServiceControl sends every line to the debugger output only.

#include "logging/DebugOutputCapture.h"
#include "platform/ServiceControl.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Corvani::Nuv::Platform::ServiceControl;
using testing::ElementsAre;

constexpr DWORD kArrivalTimeoutMs = 5000;

// The messages of this process, once the expected number has arrived (or the time is up).
std::vector<std::string> Received(const HxTest::DebugOutputCapture& capture, size_t count) {
    const DWORD start = GetTickCount();
    std::vector<std::string> messages = capture.From(GetCurrentProcessId());
    while (messages.size() < count && GetTickCount() - start < kArrivalTimeoutMs) {
        Sleep(20);
        messages = capture.From(GetCurrentProcessId());
    }
    return messages;
}

TEST(ServiceTrace, EveryStepReachesTheDebuggerOutputWithTheHelperPrefix) {
    HxTest::DebugOutputCapture capture;
    ASSERT_TRUE(capture.Active());
    ServiceControl control;
    ASSERT_TRUE(control.IsValid());
    EXPECT_EQ(control.StartSvc(L"HalvexMissing"), 1);
    EXPECT_THAT(Received(capture, 6),
                ElementsAre("DroHelperLib - StartSvc:HalvexMissing\n",
                            "DroHelperLib - IsServiceStarted - OpenService failed - Code 1060\n",
                            "DroHelperLib - Service is not started, so start it...\n",
                            "DroHelperLib - IsServiceStopped: HalvexMissing\n",
                            "DroHelperLib - IsServiceStopped - OpenService failed - Code 1060\n",
                            "DroHelperLib - OpenService failed:1060\n"));
}

} // namespace
