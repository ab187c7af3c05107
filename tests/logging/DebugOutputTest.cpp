// What a logger sends to the debugger output: every step of its construction, and each line it writes.

#include "LogTestHelpers.h"
#include "LoggingTestProcess.h"

#include "logging/HXLogger.h"
#include "logging/TraceLog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <windows.h>

using Corvani::Nuv::Logging::HXLogger;
using namespace HxTest;

namespace {

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

class DebugOutputTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(_capture.Active()) << "another listener owns DBWIN_BUFFER";
        SetFakeNow(2001, 1, 1, 9, 30, 0);
    }
    void TearDown() override { std::filesystem::remove(FallbackLogsPath() + L"2001-1-1-CP.log"); }

    std::vector<std::string> Sent() { return FlushedFrom(_capture, GetCurrentProcessId()); }

    DebugOutputCapture _capture;
};

// The reports of the lookup of the configuration path, sent by each use of it.
std::vector<std::string> ConfigPathReports() {
    const std::string configPath = Narrow(ProcessCapture().InstallDirectory()) + "NLog.config";
    return {"HXLogger::GetNlogConfigPath --", "HXLogger::GetNlogConfigPath \\-- " + configPath};
}

void Append(std::vector<std::string>& to, const std::vector<std::string>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

TEST_F(DebugOutputTest, ConstructionWithANamedDirectoryReportsEachStep) {
    const std::wstring directory = FreshDirectoryPath(L"reports");
    {
        ScopedNlogConfig config(ConfigNaming(directory));
        HXLogger logger(L"CP.log", &FakeNow);
        logger.Write(L"NuvProvider::Advise | 1 {\"pwd\":\"hunter2\"}");
    }
    std::vector<std::string> expected = {"HXLogger:: constructor", "HXLogger:: Initialize"};
    Append(expected, ConfigPathReports());
    Append(expected, {"HXLogger:: IsNlogConfigPresent ret: 1", "HXLogger::ResolveLogsPath --",
                      "HXLogger::GetServiceLogsPath --"});
    Append(expected, ConfigPathReports());
    Append(expected, {"HXLogger::GetServiceLogsPath log path was found in Nlog.config: " + Narrow(directory),
                      "HXLogger::ResolveLogsPath \\-- " + Narrow(directory),
                      "HXLogger::CreateDirectoryRecursively dir created: " + Narrow(directory)});
    const std::vector<std::string> fileLines = SplitCRLFLines(ReadFileBytes(directory + L"2001-1-1-CP.log"));
    ASSERT_EQ(2u, fileLines.size());
    Append(expected, {fileLines[0], "HXLogger::Initialize mLoggingEnabled = true",
                      "HXLogger::Initialize leaving", fileLines[1], "HXLogger:: destructor"});
    EXPECT_EQ(expected, Sent());
    EXPECT_EQ(std::string::npos, fileLines[1].find("hunter2")) << "the debugger gets the masked line too";
}

TEST_F(DebugOutputTest, FallbackDirectoryIsReported) {
    ScopedNlogConfig config("<target fileName=\"${basedir}/logs/service.log\" />");
    { HXLogger logger(L"CP.log", &FakeNow); }
    const std::vector<std::string> sent = Sent();
    const std::wstring fallback = FallbackLogsPath();
    const std::string localAppData =
        Narrow(fallback.substr(0, fallback.size() - std::wstring(L"\\hxdata\\logs\\").size()));
    const std::vector<std::string> expected = {
        "HXLogger::GetServiceLogsPath log path was found in Nlog.config: ${basedir}/logs/",
        "HXLogger::ResolveLogsPath service logs path is empty or contains ${ basedir }",
        "HXLogger::GetLocalAppDataPath init",
        "HXLogger::GetLocalAppDataPath obtained: " + localAppData,
        "HXLogger::ResolveLogsPath \\-- " + Narrow(fallback),
    };
    const auto start = std::find(sent.begin(), sent.end(), expected.front());
    ASSERT_NE(sent.end(), start);
    EXPECT_EQ(expected, std::vector<std::string>(start, std::min(sent.end(), start + expected.size())));
}

TEST_F(DebugOutputTest, MissingKeyAndMissingFileAreReported) {
    {
        ScopedNlogConfig config("<target FileName=\"C:\\x\\y.log\" />");
        HXLogger logger(L"CP.log", &FakeNow);
    }
    {
        ScopedNlogConfig config(std::nullopt);
        HXLogger logger(L"CP.log", &FakeNow);
        logger.Write(L"never seen");
    }
    const std::vector<std::string> sent = Sent();
    EXPECT_EQ(2, std::count(sent.begin(), sent.end(),
                            "HXLogger::GetServiceLogsPath ERROR log path was not found in Nlog.config"));
    EXPECT_EQ(1, std::count(sent.begin(), sent.end(), "HXLogger:: IsNlogConfigPresent ret: 0"));
    for (const std::string& text : sent)
        EXPECT_EQ(std::string::npos, text.find("never seen"));
}

TEST_F(DebugOutputTest, DroHelperTraceGoesToTheDebuggerOnly) {
    Corvani::Nuv::Logging::DroHelperTrace(L"ServiceHelper::Start | 1");
    const std::vector<std::string> sent = Sent();
    EXPECT_NE(sent.end(), std::find(sent.begin(), sent.end(), "DroHelperLib - ServiceHelper::Start | 1\n"));
    for (const wchar_t* file : {L"CP.log", L"PipeServer.log", L"PipeClient.log"})
        EXPECT_EQ(std::string::npos, ProcessCapture().ReadBytes(file).find("ServiceHelper::Start"));
}

} // namespace
