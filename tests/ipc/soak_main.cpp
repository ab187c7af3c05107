#include <gtest/gtest.h>
#include <objbase.h>

#include <cwchar>
#include <string>

namespace HxIpcTest {
extern std::size_t g_soakCommands;
}

// The soak runs with logging off, as the provider does unless the service's logging configuration says
// otherwise. --commands=N sets the length of the stream.
int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::wcsncmp(argv[i], L"--commands=", 11) == 0)
            HxIpcTest::g_soakCommands = std::wcstoul(argv[i] + 11, nullptr, 10);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
