#pragma once
// The logging tests need fresh processes for what a process settles once (the install directory, the
// loggers, the line prefix): the test executable starts itself again with a scenario name in the
// environment variable below, and main runs that scenario instead of the tests.

#include <string>

namespace HxTest {

inline constexpr wchar_t kChildScenarioVariable[] = L"HX_LOGGING_CHILD_SCENARIO";

struct ChildRun {
    bool started = false;
    unsigned long processId = 0;
    unsigned long exitCode = 0;
};

// Runs this executable with the scenario and waits for it to end (at most two minutes).
ChildRun RunChildScenario(const std::wstring& scenario);

// Runs the scenario named in the environment; the exit code of the child process.
int RunScenario(const std::wstring& scenario);

} // namespace HxTest
