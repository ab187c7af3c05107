#include "support/TestMain.h"

#include "support/FakeOutsideEffects.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <objbase.h>

namespace HxTest {

namespace {

TraceLogCapture* g_capture = nullptr;

} // namespace

int RunTestsWithCapturedLog(int& argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int result = 0;
    {
        // No test of the module's code disconnects the session running the tests, ends processes by name,
        // raises the priority of the test process or presses keys on the desktop; a test that looks at
        // one of these installs a fake of its own over the run's, and one that needs the real call says so.
        RunWideFakes fakes;
        // Created before the process's first trace line: the loggers resolve their directory once.
        TraceLogCapture capture;
        if (!capture.Ready()) {
            fprintf(stderr, "the trace log could not be routed to %ls\n", capture.InstallDirectory().c_str());
            return 1;
        }
        g_capture = &capture;
        result = RUN_ALL_TESTS();
        g_capture = nullptr;
    }
    CoUninitialize();
    return result;
}

int RunTestsWithoutLog(int& argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int result = 0;
    {
        RunWideFakes fakes;
        result = RUN_ALL_TESTS();
    }
    CoUninitialize();
    return result;
}

TraceLogCapture& CapturedLog() { return *g_capture; }

} // namespace HxTest
