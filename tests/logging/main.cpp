#include "ChildProcess.h"
#include "LoggingTestProcess.h"

#include <gtest/gtest.h>
#include <objbase.h>

namespace {

HxTest::TraceLogCapture* g_processCapture = nullptr;

} // namespace

HxTest::TraceLogCapture& HxTest::ProcessCapture() {
    return *g_processCapture;
}

// Started with a scenario in the environment, the executable is a child process of a logging test and runs
// only that scenario; otherwise it runs the tests, with its own logs routed into a temporary directory.
int wmain(int argc, wchar_t** argv) {
    wchar_t scenario[64] = {};
    if (GetEnvironmentVariableW(HxTest::kChildScenarioVariable, scenario, 64) > 0)
        return HxTest::RunScenario(scenario);

    testing::InitGoogleTest(&argc, argv);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int result = 0;
    {
        HxTest::TraceLogCapture capture;
        g_processCapture = &capture;
        result = RUN_ALL_TESTS();
        g_processCapture = nullptr;
    }
    CoUninitialize();
    return result;
}
