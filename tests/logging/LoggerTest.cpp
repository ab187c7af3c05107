// HXLogger in the test process: where its lines go for each kind of NLog.config, what each line looks like
// byte for byte, the daily split, masking and concurrent writers.

#include "LogTestHelpers.h"
#include "LoggingTestProcess.h"

#include "logging/HXLogger.h"
#include "support/RegistryValue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <thread>
#include <windows.h>

using Corvani::Nuv::Logging::HXLogger;
using namespace HxTest;

namespace {

constexpr char kInitializationLine[] =
    "---------------- \\| ---------- Initializing CP\\.log logger -----------";

std::string Pid() {
    return std::to_string(GetCurrentProcessId());
}

// Time stamp, this process's id, the thread id of the process's first line, then the text.
std::regex LinePattern(const std::string& time, const std::string& text) {
    return std::regex(time + " \\| " + Pid() + " \\| [0-9]+ \\| " + text);
}

class LoggerTest : public testing::Test {
protected:
    void SetUp() override { SetFakeNow(2001, 1, 1, 9, 30, 0); }
    void TearDown() override { std::filesystem::remove(FallbackLogsPath() + L"2001-1-1-CP.log"); }
};

struct ConfigCase {
    const char* description;
    std::optional<std::string> content;
    std::wstring expectedLogsPath;
    bool expectedEnabled;
};

TEST_F(LoggerTest, LogsPathForEachKindOfConfig) {
    const std::wstring named = FreshDirectoryPath(L"named");
    const std::wstring commented = FreshDirectoryPath(L"commented");
    const std::wstring fallback = FallbackLogsPath();
    const ConfigCase cases[] = {
        {"a Windows path", ConfigNaming(named), named, true},
        {"${basedir}", "<target fileName=\"${basedir}/logs/service.log\" />", fallback, true},
        {"first match inside a comment",
         "<!-- <target fileName=\"" + std::string(commented.begin(), commented.end()) + "x.log\" /> -->\n" +
             ConfigNaming(named),
         commented, true},
        {"FileName with a capital F", "<target FileName=\"C:\\other\\service.log\" />", fallback, true},
        {"value without closing quote", "<target fileName=\"C:\\other\\service.log />", fallback, true},
        {"an empty file", std::string(), fallback, true},
        {"no NLog.config", std::nullopt, fallback, false},
    };
    for (const ConfigCase& config : cases) {
        SCOPED_TRACE(config.description);
        std::filesystem::remove(fallback + L"2001-1-1-CP.log");
        ScopedNlogConfig scoped(config.content);
        HXLogger logger(L"CP.log", &FakeNow);
        EXPECT_EQ(config.expectedEnabled, logger.IsLoggingEnabled());
        EXPECT_EQ(config.expectedLogsPath, logger.LogsPath());
        EXPECT_TRUE(FileExists(config.expectedLogsPath)) << "the directory is created in every case";
        EXPECT_EQ(config.expectedEnabled, FileExists(config.expectedLogsPath + L"2001-1-1-CP.log"));
    }
}

TEST_F(LoggerTest, LinesAreSingleByteTextWithCRLFEndings) {
    const std::wstring directory = FreshDirectoryPath(L"format");
    ScopedNlogConfig config(ConfigNaming(directory));
    HXLogger logger(L"CP.log", &FakeNow);
    SetFakeNow(2001, 1, 1, 9, 30, 5);
    logger.Write(L"NuvCredential::Initialize | 1");
    logger.Write(L"");
    logger.Write(L"caf\u00E9 costs 5\u20AC \u4E2D | end");
    logger.Write(L"next line");

    const std::string bytes = ReadFileBytes(directory + L"2001-1-1-CP.log");
    const std::vector<std::string> lines = SplitCRLFLines(bytes);
    ASSERT_EQ(5u, lines.size()) << bytes;
    EXPECT_EQ("\r\n", bytes.substr(bytes.size() - 2));
    EXPECT_TRUE(std::regex_match(lines[0], LinePattern("2001-01-01\\.09:30:00", kInitializationLine)))
        << lines[0];
    EXPECT_TRUE(
        std::regex_match(lines[1], LinePattern("2001-01-01\\.09:30:05", "NuvCredential::Initialize \\| 1")));
    EXPECT_TRUE(std::regex_match(lines[2], LinePattern("2001-01-01\\.09:30:05", "")))
        << "ends with the prefix";
    EXPECT_TRUE(
        std::regex_match(lines[3], LinePattern("2001-01-01\\.09:30:05", "caf\xE9 costs 5\\? \\? \\| end")))
        << lines[3];
    EXPECT_TRUE(std::regex_match(lines[4], LinePattern("2001-01-01\\.09:30:05", "next line")));
}

TEST_F(LoggerTest, LinesOnEitherSideOfMidnightGoToTwoFiles) {
    const std::wstring directory = FreshDirectoryPath(L"midnight");
    ScopedNlogConfig config(ConfigNaming(directory));
    SetFakeNow(2016, 3, 7, 23, 59, 59);
    HXLogger logger(L"CP.log", &FakeNow);
    logger.Write(L"before midnight");
    SetFakeNow(2016, 3, 8, 0, 0, 0);
    logger.Write(L"after midnight");

    const std::vector<std::string> first = SplitCRLFLines(ReadFileBytes(directory + L"2016-3-7-CP.log"));
    const std::vector<std::string> second = SplitCRLFLines(ReadFileBytes(directory + L"2016-3-8-CP.log"));
    ASSERT_EQ(2u, first.size());
    ASSERT_EQ(1u, second.size());
    EXPECT_TRUE(std::regex_match(first[1], LinePattern("2016-03-07\\.23:59:59", "before midnight")));
    EXPECT_TRUE(std::regex_match(second[0], LinePattern("2016-03-08\\.00:00:00", "after midnight")));
}

TEST_F(LoggerTest, FullLogSwitchDecidesMaskingPerLogger) {
    const std::string secretLine = "NuvPipeServer::Read | {\"Command\":\"LOGON\",\"pwd\":\"hunter2\"}";
    ScopedRegistryValue fullLog(L"SOFTWARE\\Halvex\\Settings\\", L"FULL_LOG_ENABLE");
    for (const DWORD setting : {0u, 1u, 2u}) {
        SCOPED_TRACE(setting);
        setting == 2 ? fullLog.Remove() : fullLog.SetDword(setting);
        const std::wstring directory = FreshDirectoryPath(L"fulllog");
        ScopedNlogConfig config(ConfigNaming(directory));
        HXLogger logger(L"CP.log", &FakeNow);
        EXPECT_EQ(setting == 1, logger.IsFullLogEnabled());
        logger.Write(std::wstring(secretLine.begin(), secretLine.end()));
        const std::string bytes = ReadFileBytes(directory + L"2001-1-1-CP.log");
        const bool unmasked = bytes.find("\"pwd\":\"hunter2\"") != std::string::npos;
        EXPECT_EQ(setting == 1, unmasked) << bytes;
        if (setting != 1) {
            EXPECT_NE(std::string::npos, bytes.find("{\"Command\":\"LOGON\",\"pwd\":\"X\"}\r\n")) << bytes;
        }
    }
}

TEST_F(LoggerTest, ConcurrentWritersNeitherLoseNorInterleaveLines) {
    constexpr int kThreads = 8;
    constexpr int kLinesPerThread = 250;
    const std::wstring directory = FreshDirectoryPath(L"threads");
    ScopedNlogConfig config(ConfigNaming(directory));
    HXLogger logger(L"CP.log", &FakeNow);
    std::vector<std::thread> threads;
    for (int thread = 0; thread < kThreads; ++thread)
        threads.emplace_back([&logger, thread] {
            for (int line = 0; line < kLinesPerThread; ++line)
                logger.Write(L"w" + std::to_wstring(thread) + L" n" + std::to_wstring(line) + L" " +
                             std::wstring(1 + (line * 37) % 900, L'x'));
        });
    for (std::thread& thread : threads)
        thread.join();

    const std::vector<std::string> lines = SplitCRLFLines(ReadFileBytes(directory + L"2001-1-1-CP.log"));
    ASSERT_EQ(1u + kThreads * kLinesPerThread, lines.size());
    const std::regex pattern = LinePattern("2001-01-01\\.09:30:00", "w([0-9]+) n([0-9]+) (x+)");
    std::set<std::pair<int, int>> seen;
    for (size_t index = 1; index < lines.size(); ++index) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(lines[index], match, pattern)) << lines[index].substr(0, 120);
        const int line = std::stoi(match[2]);
        EXPECT_EQ(static_cast<size_t>(1 + (line * 37) % 900), match[3].length());
        seen.insert({std::stoi(match[1]), line});
    }
    EXPECT_EQ(static_cast<size_t>(kThreads * kLinesPerThread), seen.size());
}

} // namespace
