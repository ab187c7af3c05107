// Runs the tests in two processes: this one without any "Negotiate" package, and a child started after the
// test package is installed, for the tests named WithNegotiate.*.

#include "TestNegotiatePackage.h"
#include "platform/UniqueResource.h"
#include "support/TestMain.h"

#include <gtest/gtest.h>
#include <string>

namespace {

constexpr wchar_t kChildFlag[] = L"--with-negotiate-child";

int RunChildWithPackage() {
    HxTest::TestNegotiatePackage package;
    if (!package.installed()) {
        fprintf(stderr, "could not install the test Negotiate package\n");
        return 1;
    }
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" " + kChildFlag +
                               L" --gtest_filter=WithNegotiate.* --gtest_color=no";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
        return 1;
    Corvani::Nuv::Platform::UniqueHandle process(info.hProcess), thread(info.hThread);
    WaitForSingleObject(process.get(), 120000);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.get(), &exitCode);
    return static_cast<int>(exitCode);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const bool child = argc > 1 && std::wstring(argv[1]) == kChildFlag;
    if (!child)
        testing::GTEST_FLAG(filter) = "-WithNegotiate.*";
    int result = HxTest::RunTestsWithCapturedLog(argc, argv);
    if (!child) {
        fflush(stdout);
        result |= RunChildWithPackage();
    }
    return result;
}
