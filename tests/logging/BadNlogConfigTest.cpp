// The service's logging configuration in bad shapes: a log directory that cannot be created, a daily file
// that cannot be written, an "NLog.config" that is a directory, a 4 MiB one without fileName. A child
// process writes a line to each log and shows the tile: it must end normally, report on the debugger
// output what the directory rules report, and the lines go where the rules send them or nowhere.

#include "ChildProcess.h"
#include "DebugOutputCapture.h"
#include "LogTestHelpers.h"

#include "logging/LocalClock.h"
#include "logging/LogFilePath.h"
#include "support/TraceLogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

using namespace HxTest;
namespace fs = std::filesystem;

namespace {

std::wstring TodaysFile(const std::wstring& directory, const wchar_t* baseName) {
    return Corvani::Nuv::Logging::BuildLogFilePath(directory, Corvani::Nuv::Logging::CurrentLocalTime(), baseName);
}

bool FileHolds(const std::wstring& path, const std::string& text) {
    std::ifstream file{fs::path(path), std::ios::binary};
    const std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return content.find(text) != std::string::npos;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

struct BadConfig {
    const char* name;
    // Lays the bad configuration into the install directory (ending with a backslash).
    std::function<void(const std::wstring& install)> lay;
    std::vector<std::string> reported; // debugger lines the child must send, three times each (one per log)
    // Where today's lines must have gone, given the install directory; empty: nowhere.
    std::function<std::wstring(const std::wstring& install)> linesIn;
};

TEST(BadNlogConfig, ChildEndsNormallyReportsAndShowsItsTile) {
    const std::string notFound = "HXLogger::GetServiceLogsPath ERROR log path was not found in Nlog.config";
    const std::string fallback = "HXLogger::ResolveLogsPath service logs path is empty or contains ${ basedir }";
    const BadConfig cases[] = {
        {"directory under a file",
         [](const std::wstring& install) {
             std::ofstream(fs::path(install + L"blocker")) << "a file";
             WriteNlogConfig(install, "<target fileName=\"" + Narrow(install) + "blocker\\logs\\x.log\" />\n");
         },
         {"HXLogger::Initialize ERROR Creating directory"},
         [](const std::wstring&) { return std::wstring(); }},
        {"daily file is a directory",
         [](const std::wstring& install) {
             WriteNlogConfig(install, NlogConfigFor(install + L"own\\"));
             fs::create_directories(fs::path(TodaysFile(install + L"own\\", L"CP.log")));
         },
         {},
         [](const std::wstring& install) { return install + L"own\\"; }},
        {"NLog.config is a directory",
         [](const std::wstring& install) {
             fs::remove(fs::path(install + L"NLog.config"));
             fs::create_directory(fs::path(install + L"NLog.config"));
         },
         {"HXLogger:: IsNlogConfigPresent ret: 1", notFound, fallback},
         [](const std::wstring&) { return FallbackLogsPath(); }},
        {"4 MiB without fileName",
         [](const std::wstring& install) {
             std::string content;
             while (content.size() < (4u << 20))
                 content += "<target name=\"f\" xsi:type=\"File\" FileName=\"D:\\x\\y.log\" layout=\"${message}\" />\n";
             WriteNlogConfig(install, content);
         },
         {"HXLogger:: IsNlogConfigPresent ret: 1", notFound, fallback},
         [](const std::wstring&) { return FallbackLogsPath(); }},
    };
    for (const BadConfig& c : cases) {
        TraceLogCapture child;
        ASSERT_TRUE(child.Ready()) << c.name;
        c.lay(child.InstallDirectory());
        DebugOutputCapture debug;
        ASSERT_TRUE(debug.Active()) << c.name;
        const ChildRun run = RunChildScenario(L"tile");
        ASSERT_TRUE(run.started) << c.name;
        EXPECT_EQ(0u, run.exitCode) << c.name;
        const std::vector<std::string> sent = FlushedFrom(debug, run.processId);
        for (const std::string& line : c.reported)
            EXPECT_EQ(3, std::count(sent.begin(), sent.end(), line)) << c.name << ": " << line;

        const std::wstring linesIn = c.linesIn(child.InstallDirectory());
        if (!linesIn.empty()) {
            const std::string marker = "silent-marker server | 77";
            EXPECT_TRUE(FileHolds(TodaysFile(linesIn, L"PipeServer.log"), marker)) << c.name;
        }
        EXPECT_TRUE(fs::is_empty(fs::path(child.LogsDirectory()))) << c.name;
    }
}

} // namespace
