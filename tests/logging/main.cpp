#include "ChildProcess.h"
#include "LoggingTestProcess.h"
#include "support/TestMain.h"

HxTest::TraceLogCapture& HxTest::ProcessCapture() { return HxTest::CapturedLog(); }

// Started with a scenario in the environment, the executable is a child process of a logging test and runs
// only that scenario; otherwise it runs the tests, with its own logs routed into a temporary directory.
int wmain(int argc, wchar_t** argv) {
    wchar_t scenario[64] = {};
    if (GetEnvironmentVariableW(HxTest::kChildScenarioVariable, scenario, 64) > 0)
        return HxTest::RunScenario(scenario);

    return HxTest::RunTestsWithCapturedLog(argc, argv);
}
