#include <gtest/gtest.h>
#include <objbase.h>

// The provider runs in LogonUI's single-threaded apartment; so do the tests.
int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
