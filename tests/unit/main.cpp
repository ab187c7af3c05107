#include "support/TraceLogCapture.h"

#include <gtest/gtest.h>
#include <objbase.h>

HxTest::TraceLogCapture* g_capture = nullptr;

// The provider runs in LogonUI's single-threaded apartment; so do the tests. The trace log goes to a
// temporary directory for the whole run, set up before the first trace line.
int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int result = 0;
    {
        HxTest::TraceLogCapture capture;
        g_capture = &capture;
        result = RUN_ALL_TESTS();
        g_capture = nullptr;
    }
    CoUninitialize();
    return result;
}
