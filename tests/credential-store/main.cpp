// Runs the tests in three processes: this one without any "Negotiate" package; a child started after the
// test package is installed, for the tests named WithNegotiate.*; and, with the package and the trace logs
// off, a child for the stress tests named Race.*, which race threads as fast as they go.

#include "TestNegotiatePackage.h"
#include "platform/UniqueResource.h"
#include "support/RegistryValue.h"
#include "support/TestMain.h"

#include <gtest/gtest.h>
#include <string>

namespace {

constexpr wchar_t kChildFlag[] = L"--with-negotiate-child";
constexpr wchar_t kRaceChildFlag[] = L"--race-child";

int RunChild(const wchar_t* flag, const wchar_t* filter) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" " + flag + L" --gtest_filter=" + filter +
                               L" --gtest_color=no";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
        return 1;
    Corvani::Nuv::Platform::UniqueHandle process(info.hProcess), thread(info.hThread);
    WaitForSingleObject(process.get(), 300000);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.get(), &exitCode);
    return static_cast<int>(exitCode);
}

int RunChildrenWithPackage() {
    HxTest::TestNegotiatePackage package;
    if (!package.installed()) {
        fprintf(stderr, "could not install the test Negotiate package\n");
        return 1;
    }
    int result = RunChild(kChildFlag, L"WithNegotiate.*");
    // No "InstallDir" while the race child runs: its loggers find no configuration and stay off. This
    // process's loggers have resolved their directory already.
    HxTest::ScopedRegistryValue installDir(L"SOFTWARE\\Halvex\\InstallInfo", L"InstallDir");
    installDir.Remove();
    result |= RunChild(kRaceChildFlag, L"Race.*");
    return result;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring first = argc > 1 ? argv[1] : L"";
    if (first == kRaceChildFlag)
        return HxTest::RunTestsWithoutLog(argc, argv);
    const bool child = first == kChildFlag;
    if (!child)
        testing::GTEST_FLAG(filter) = "-WithNegotiate.*:Race.*";
    int result = HxTest::RunTestsWithCapturedLog(argc, argv);
    if (!child) {
        fflush(stdout);
        result |= RunChildrenWithPackage();
    }
    return result;
}
