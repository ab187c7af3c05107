// What a whole process settles once: the install directory, the three loggers and the line prefix. Each
// test starts this executable again as a child process with a scenario (ChildScenarios.cpp).

#include "ChildProcess.h"
#include "LogTestHelpers.h"

#include "logging/LocalClock.h"
#include "logging/LogFilePath.h"
#include "support/RegistryValue.h"
#include "support/TraceLogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>

using namespace HxTest;

namespace {

const std::wstring kLogNames[] = {L"CP.log", L"PipeServer.log", L"PipeClient.log"};

struct ParsedLine {
    std::string processId;
    std::string prefixThreadId;
    std::string rest;
};

std::optional<ParsedLine> Parse(const std::string& line) {
    static const std::regex pattern(
        "[0-9]{4}-[0-9]{2}-[0-9]{2}\\.[0-9]{2}:[0-9]{2}:[0-9]{2} \\| ([0-9]+) \\| ([0-9]+) \\| (.*)");
    std::smatch match;
    if (!std::regex_match(line, match, pattern))
        return std::nullopt;
    return ParsedLine{match[1], match[2], match[3]};
}

// Sizes of today's files in the fallback directory, which a silent child must leave alone.
std::map<std::wstring, uintmax_t> FallbackFileSizes() {
    std::map<std::wstring, uintmax_t> sizes;
    for (const std::wstring& name : kLogNames) {
        const std::wstring path = Corvani::Nuv::Logging::BuildLogFilePath(
            FallbackLogsPath(), Corvani::Nuv::Logging::CurrentLocalTime(), name);
        std::error_code missing;
        const uintmax_t size = std::filesystem::file_size(std::filesystem::path(path), missing);
        sizes[name] = missing ? 0 : size;
    }
    return sizes;
}

// Runs the "silent" child and checks that none of its lines reached a file or the debugger output.
std::vector<std::string> RunSilentChild(const std::wstring& logsDirectory) {
    DebugOutputCapture debug;
    EXPECT_TRUE(debug.Active());
    const auto sizesBefore = FallbackFileSizes();
    const ChildRun run = RunChildScenario(L"silent");
    EXPECT_TRUE(run.started);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(sizesBefore, FallbackFileSizes());
    if (!logsDirectory.empty()) {
        EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::path(logsDirectory)));
    }
    const std::vector<std::string> sent = FlushedFrom(debug, run.processId);
    for (const std::string& text : sent)
        EXPECT_EQ(std::string::npos, text.find("silent-marker")) << text;
    return sent;
}

TEST(LoggingProcess, WithoutNlogConfigNothingIsWritten) {
    TraceLogCapture child;
    std::filesystem::remove(child.InstallDirectory() + L"NLog.config");
    const std::vector<std::string> sent = RunSilentChild(child.LogsDirectory());
    EXPECT_EQ(3, std::count(sent.begin(), sent.end(), "HXLogger:: IsNlogConfigPresent ret: 0"));
    EXPECT_EQ(3, std::count(sent.begin(), sent.end(), "HXLogger:: constructor"));
}

TEST(LoggingProcess, WithoutInstallDirNothingIsWritten) {
    ScopedRegistryValue installDir(L"SOFTWARE\\Halvex\\InstallInfo", L"InstallDir");
    installDir.Remove();
    const std::vector<std::string> sent = RunSilentChild(std::wstring());
    EXPECT_EQ(
        3, std::count(sent.begin(), sent.end(), "HXLogger::GetServiceLogsPath ERROR Nlog.config was empty"));
    EXPECT_EQ(6, std::count(sent.begin(), sent.end(), "HXLogger::GetNlogConfigPath \\-- "));
}

TEST(LoggingProcess, LinePrefixKeepsTheFirstThreadWhileMessagesNameTheWriter) {
    TraceLogCapture child;
    const ChildRun run = RunChildScenario(L"threads");
    ASSERT_EQ(0u, run.exitCode);
    const std::string pid = std::to_string(run.processId);

    std::set<std::string> prefixThreads;
    std::map<std::wstring, std::vector<std::string>> rests;
    for (const std::wstring& name : kLogNames) {
        const std::string bytes = child.ReadBytes(name);
        EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), std::count(bytes.begin(), bytes.end(), '\r'));
        for (const std::string& line : SplitCRLFLines(bytes)) {
            const std::optional<ParsedLine> parsed = Parse(line);
            ASSERT_TRUE(parsed) << line;
            EXPECT_EQ(pid, parsed->processId);
            prefixThreads.insert(parsed->prefixThreadId);
            rests[name].push_back(parsed->rest);
        }
    }
    ASSERT_EQ(1u, prefixThreads.size());
    const std::string first = *prefixThreads.begin();
    const std::vector<std::string>& cp = rests[L"CP.log"];
    ASSERT_EQ(4u, cp.size());
    EXPECT_EQ("---------------- | ---------- Initializing CP.log logger -----------", cp[0]);
    EXPECT_EQ(pid + " | " + first + " | threads | main first", cp[1]);
    EXPECT_TRUE(std::regex_match(cp[2], std::regex(pid + " \\| ([0-9]+) \\| threads \\| worker")));
    EXPECT_EQ(std::string::npos, cp[2].find(" | " + first + " | ")) << "the worker is another thread";
    EXPECT_EQ(pid + " | " + first + " | threads | main last", cp[3]);
    EXPECT_EQ((std::vector<std::string>{
                  "---------------- | ---------- Initializing PipeServer.log logger -----------",
                  pid + " - threads | server | 77"}),
              rests[L"PipeServer.log"]);
    EXPECT_EQ((std::vector<std::string>{
                  "---------------- | ---------- Initializing PipeClient.log logger -----------",
                  pid + " - threads | client | 78"}),
              rests[L"PipeClient.log"]);
}

TEST(LoggingProcess, ThreadsRacingToTheFirstLineCreateEachLoggerOnce) {
    constexpr int kThreads = 16;
    constexpr int kLinesPerLog = 20;
    TraceLogCapture child;
    const ChildRun run = RunChildScenario(L"race");
    ASSERT_EQ(0u, run.exitCode);

    std::set<std::string> prefixThreads;
    const std::regex racePattern(".*race \\| t([0-9]+) n([0-9]+)( \\| 7[78])?");
    for (const std::wstring& name : kLogNames) {
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        const std::vector<std::string> lines = SplitCRLFLines(child.ReadBytes(name));
        ASSERT_EQ(1u + kThreads * kLinesPerLog, lines.size());
        std::set<std::pair<int, int>> seen;
        int initializationLines = 0;
        for (const std::string& line : lines) {
            const std::optional<ParsedLine> parsed = Parse(line);
            ASSERT_TRUE(parsed) << line;
            prefixThreads.insert(parsed->prefixThreadId);
            std::smatch match;
            if (std::regex_match(parsed->rest, match, racePattern))
                seen.insert({std::stoi(match[1]), std::stoi(match[2])});
            else
                initializationLines += parsed->rest.find("---------- Initializing ") != std::string::npos;
        }
        EXPECT_EQ(1, initializationLines);
        EXPECT_EQ(static_cast<size_t>(kThreads * kLinesPerLog), seen.size());
    }
    EXPECT_EQ(1u, prefixThreads.size());
}

} // namespace
