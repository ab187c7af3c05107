#pragma once
// The trace-log capture of the test process itself, created in main before any test writes a line.

#include "support/TraceLogCapture.h"

namespace HxTest {

TraceLogCapture& ProcessCapture();

} // namespace HxTest
