#pragma once
// The common body of the test executables' wmain: GoogleTest in a single-threaded apartment (the provider
// runs in LogonUI's), with the process's trace logs captured into a temporary directory for the whole run.

#include "support/TraceLogCapture.h"

namespace HxTest {

// Parses the GoogleTest flags from the command line and runs the registered tests; returns their result.
int RunTestsWithCapturedLog(int& argc, wchar_t** argv);

// The same with the trace logs off, for the stress tests that race threads as fast as they go: the
// caller makes sure that no "InstallDir" is registered while they run.
int RunTestsWithoutLog(int& argc, wchar_t** argv);

// The capture of the running tests (valid only while RunTestsWithCapturedLog runs them).
TraceLogCapture& CapturedLog();

} // namespace HxTest
