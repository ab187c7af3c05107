// The entry points the rest of the provider calls, writing through the process's own loggers.

#include "LogTestHelpers.h"
#include "LoggingTestProcess.h"

#include "logging/TraceLog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <thread>
#include <windows.h>

using namespace Corvani::Nuv::Logging;
using namespace HxTest;

namespace {

const std::string kTime = "[0-9]{4}-[0-9]{2}-[0-9]{2}\\.[0-9]{2}:[0-9]{2}:[0-9]{2}";

std::string Pid() {
    return std::to_string(GetCurrentProcessId());
}

TEST(TraceLogEntryPoints, CurrentTimeStringIsTheLineTimeFormat) {
    EXPECT_TRUE(std::regex_match(CurrentTimeString(), std::regex(kTime))) << CurrentTimeString();
}

TEST(TraceLogEntryPoints, CPLogLineCarriesTheWritingThreadInItsMessage) {
    WriteCPLog("NuvCredential::Initialize | 1");
    unsigned long workerId = 0;
    std::thread([&workerId] {
        workerId = GetCurrentThreadId();
        WriteCPLog("NuvCredential::LaunchUI | worker");
    }).join();

    const std::vector<std::string> lines = ProcessCapture().CPLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_TRUE(
        std::regex_match(lines.front(), std::regex(kTime + " \\| " + Pid() +
                                                   " \\| [0-9]+ \\| "
                                                   "---------------- \\| ---------- Initializing CP.log "
                                                   "logger -----------")))
        << lines.front();
    const std::string self = std::to_string(GetCurrentThreadId());
    const std::string worker = std::to_string(workerId);
    EXPECT_TRUE(std::regex_match(lines[lines.size() - 2],
                                 std::regex(kTime + " \\| " + Pid() + " \\| [0-9]+ \\| " + Pid() + " \\| " +
                                            self + " \\| NuvCredential::Initialize \\| 1")))
        << lines[lines.size() - 2];
    EXPECT_TRUE(std::regex_match(lines.back(),
                                 std::regex(kTime + " \\| " + Pid() + " \\| [0-9]+ \\| " + Pid() + " \\| " +
                                            worker + " \\| NuvCredential::LaunchUI \\| worker")))
        << lines.back();
    EXPECT_EQ("NuvCredential::LaunchUI | worker", CPMessageOf(lines.back()));
}

TEST(TraceLogEntryPoints, PipeLogsEndWithTheUIProcessId) {
    WritePipeServerLog("NuvPipeServer::Run | 1", "4242");
    WritePipeClientLog("NuvPipeClient::Send | SHOW", "4243");
    const std::string prefix = kTime + " \\| " + Pid() + " \\| [0-9]+ \\| " + Pid() + " - ";
    const std::vector<std::string> server = ProcessCapture().PipeServerLines();
    const std::vector<std::string> client = ProcessCapture().PipeClientLines();
    ASSERT_GE(server.size(), 2u); // the initialization line first
    ASSERT_GE(client.size(), 2u);
    EXPECT_NE(std::string::npos, server.front().find("Initializing PipeServer.log logger"));
    EXPECT_NE(std::string::npos, client.front().find("Initializing PipeClient.log logger"));
    EXPECT_TRUE(std::regex_match(server.back(), std::regex(prefix + "NuvPipeServer::Run \\| 1 \\| 4242")))
        << server.back();
    EXPECT_TRUE(std::regex_match(client.back(), std::regex(prefix + "NuvPipeClient::Send \\| SHOW \\| 4243")))
        << client.back();
}

} // namespace
