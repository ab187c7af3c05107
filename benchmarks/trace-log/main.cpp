// Writes 10,000 lines through WriteCPLog (open, append, close per line, plus the debugger output) and the
// same bytes through one file handle kept open, and prints lines per second of both. Run under Wine:
//   wine trace_log_benchmark.exe

#include "logging/AnsiText.h"
#include "logging/DebugOutput.h"
#include "logging/LocalClock.h"
#include "logging/LogFileAppender.h"
#include "logging/LogFilePath.h"
#include "logging/LogLineFormat.h"
#include "logging/Redaction.h"
#include "logging/TraceLog.h"
#include "platform/UniqueResource.h"
#include "support/TraceLogCapture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <windows.h>

namespace {

using namespace Corvani::Nuv::Logging;

constexpr int kLines = 10000;
constexpr int kRounds = 3;

double Seconds(LARGE_INTEGER start, LARGE_INTEGER end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Work> double Time(Work work) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    return Seconds(start, end);
}

// Trace texts of the kind the provider writes; every fifth carries a command with a masked field.
std::string Message(int index) {
    if (index % 5 == 0)
        return "NuvPipeServer::ReadCommand | {\"Command\":\"LOGON\",\"Payload\":{\"pwd\":\"p" +
               std::to_string(index) + "\",\"user\":\"someone\"}}";
    return "NuvCredential::LaunchAndShowUI | 4 sending SHOW, attempt " + std::to_string(index % 4 + 1);
}

// The file lines after the first `skip`, each with its CR LF.
std::vector<std::string> FileLines(const std::string& bytes, size_t skip) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = bytes.find("\r\n"); end != std::string::npos; end = bytes.find("\r\n", start)) {
        lines.push_back(bytes.substr(start, end + 2 - start));
        start = end + 2;
    }
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(skip, lines.size())));
    return lines;
}

double AppendThroughOneHandle(const std::wstring& path, const std::vector<std::string>& lines) {
    Corvani::Nuv::Platform::UniqueFileHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return Time([&] {
        for (const std::string& line : lines) {
            DWORD written = 0;
            WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        }
    });
}

void Report(const char* what, double seconds, size_t lines) {
    std::printf("%-44s %10.0f lines/s  (%.2f us/line)\n", what, static_cast<double>(lines) / seconds,
                seconds * 1e6 / static_cast<double>(lines));
}

// One round of every measurement; the lines that WriteCPLog wrote in it are the bytes of the floor.
struct Round {
    double log = 0, floor = 0, append = 0, debug = 0, compose = 0;
};

Round MeasureRound(const HxTest::TraceLogCapture& capture, const std::vector<std::string>& messages,
                   int round) {
    Round times;
    times.log = Time([&] {
        for (const std::string& message : messages)
            WriteCPLog(message);
    });
    const std::vector<std::string> lines =
        FileLines(capture.ReadBytes(L"CP.log"), 2 + static_cast<size_t>(round) * messages.size());
    if (lines.size() != messages.size()) {
        std::printf("expected %zu new lines in CP.log, found %zu\n", messages.size(), lines.size());
        std::exit(1);
    }
    const std::wstring suffix = std::to_wstring(round) + L".log";
    times.floor = AppendThroughOneHandle(capture.LogsDirectory() + L"floor-" + suffix, lines);

    // Where the time of one line goes: the two system steps on their own, and the composition in memory
    // (conversion, masking, time stamp, path and bytes).
    const std::wstring partsPath = capture.LogsDirectory() + L"parts-" + suffix;
    times.append = Time([&] {
        for (const std::string& line : lines)
            AppendToFile(partsPath, line);
    });
    const std::wstring wideLine(lines.front().begin(), lines.front().end() - 2);
    times.debug = Time([&] {
        for (size_t index = 0; index < lines.size(); ++index)
            SendDebugOutput(wideLine);
    });
    times.compose = Time([&] {
        for (const std::string& message : messages) {
            std::wstring text = AnsiToWide(ComposeCPMessage("1 | ", GetCurrentThreadId(), message));
            RedactSensitiveFields(text);
            const std::tm now = CurrentLocalTime();
            const std::wstring output = ComposeOutputText(FormatLineTime(now), L"1 | 2 | ", text);
            if (BuildLogFilePath(capture.LogsDirectory(), now, L"CP.log").empty() ||
                ToLogFileBytes(output).empty())
                std::exit(1);
        }
    });
    return times;
}

} // namespace

int wmain() {
    HxTest::TraceLogCapture capture;
    WriteCPLog("TraceLogBenchmark | warm-up"); // creates the logger: the initialization line and this one

    std::vector<std::string> messages;
    for (int index = 0; index < kLines; ++index)
        messages.push_back(Message(index));

    // The machine is shared: the best of a few rounds is the figure least disturbed by others.
    Round best = MeasureRound(capture, messages, 0);
    for (int round = 1; round < kRounds; ++round) {
        const Round times = MeasureRound(capture, messages, round);
        best = {std::min(best.log, times.log), std::min(best.floor, times.floor),
                std::min(best.append, times.append), std::min(best.debug, times.debug),
                std::min(best.compose, times.compose)};
    }

    std::printf("best of %d rounds of %d lines\n", kRounds, kLines);
    Report("WriteCPLog", best.log, messages.size());
    Report("floor: same bytes through one open handle", best.floor, messages.size());
    std::printf("time per line, WriteCPLog / floor: %.1f\n", best.log / best.floor);
    Report("  open, append, close per line alone", best.append, messages.size());
    Report("  debugger output per line alone", best.debug, messages.size());
    Report("  composing the line in memory alone", best.compose, messages.size());
    return 0;
}
