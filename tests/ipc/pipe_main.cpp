#include "PipeTraceLog.h"

#include <gtest/gtest.h>
#include <objbase.h>

// The provider runs in LogonUI's single-threaded apartment; so do the tests. The trace logs of this
// process go to a capture directory, which must be in place before the first trace line.
int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    HxIpcTest::StartPipeTraceCapture();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    HxIpcTest::StopPipeTraceCapture();
    return result;
}
