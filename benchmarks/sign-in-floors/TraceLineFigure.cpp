// A trace line: WriteCPLog against its floor, the per-line design on its own (the same bytes opened,
// appended and closed, and the same text sent to the debugger output), over the trials; and where the
// difference goes (the line's composition in memory, its masking, the clock).

#include "Floors.h"
#include "Samples.h"
#include "logging/AnsiText.h"
#include "logging/LocalClock.h"
#include "logging/LogFilePath.h"
#include "logging/LogLineFormat.h"
#include "logging/Redaction.h"
#include "logging/TraceLog.h"
#include "platform/UniqueResource.h"
#include "support/TraceLogCapture.h"

#include <string>
#include <vector>

namespace HxFloors {

namespace {

using namespace Corvani::Nuv::Logging;

constexpr int kLinesPerTrial = 2000;

// Trace texts of the kind the provider writes; every fifth carries a command with a masked field.
std::string Message(int index) {
    if (index % 5 == 0)
        return "NuvPipeServer::ReadCommand | {\"Command\":\"LOGON\",\"Payload\":{\"pwd\":\"p" + std::to_string(index) +
               "\",\"user\":\"someone\"}}";
    return "NuvCredential::LaunchAndShowUI | 4 sending SHOW, attempt " + std::to_string(index % 4 + 1);
}

// The last `count` lines of the file, without their CR LF.
std::vector<std::string> LastLines(const std::string& bytes, size_t count) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = bytes.find("\r\n"); end != std::string::npos; end = bytes.find("\r\n", start)) {
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return std::vector<std::string>(lines.end() - static_cast<std::ptrdiff_t>(std::min(count, lines.size())),
                                    lines.end());
}

void OpenAppendClose(const std::wstring& path, const std::string& bytes) {
    Corvani::Nuv::Platform::UniqueFileHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

template <typename Work> double PerLine(Work work) {
    const double start = NowMilliseconds();
    work();
    return (NowMilliseconds() - start) / kLinesPerTrial;
}

} // namespace

// Each product line is followed at once by its floor twin (a line of the same kind that WriteCPLog wrote
// in the warm-up), so that whatever else the machine does falls on both alike.
int MeasureTraceLine(int trials) {
    HxTest::TraceLogCapture capture;
    if (!capture.Ready())
        return Fail("no logging configuration in", capture.InstallDirectory());
    std::vector<std::string> messages;
    for (int index = 0; index < kLinesPerTrial; ++index)
        messages.push_back(Message(index));
    for (const std::string& message : messages)
        WriteCPLog(message); // creates the logger; its lines are the floor's
    std::vector<std::string> lines = LastLines(capture.ReadBytes(L"CP.log"), messages.size());
    std::vector<std::wstring> texts;
    for (std::string& line : lines) {
        texts.push_back(AnsiToWide(line));
        line += "\r\n";
    }
    if (lines.size() != messages.size())
        return Fail("WriteCPLog wrote fewer lines than asked into", capture.TodaysFile(L"CP.log"));
    const std::wstring floorFile = BuildLogFilePath(capture.LogsDirectory(), CurrentLocalTime(), L"floor.log");
    for (int trial = 0; trial < trials; ++trial) {
        double product = 0, floor = 0;
        for (size_t index = 0; index < messages.size(); ++index) {
            const double begin = NowMilliseconds();
            WriteCPLog(messages[index]);
            const double between = NowMilliseconds();
            OutputDebugStringW(texts[index].c_str());
            OpenAppendClose(floorFile, lines[index]);
            const double end = NowMilliseconds();
            product += between - begin;
            floor += end - between;
        }
        PrintSample("trace.product", product / kLinesPerTrial);
        PrintSample("trace.floor", floor / kLinesPerTrial);
        // What a line composes besides its floor: the message converted, masked when it may hold a
        // sensitive field, the clock read, the output text and its bytes (the time text and the file's
        // path are composed once a second).
        PrintSample("trace.part.compose", PerLine([&] {
                        for (const std::string& message : messages) {
                            std::wstring text = AnsiToWide(ComposeCPMessage("1 | ", GetCurrentThreadId(), message));
                            if (MayHoldSensitiveField(text))
                                RedactSensitiveFields(text);
                            CurrentLocalTime();
                            ToLogFileBytes(ComposeOutputText(L"2026-12-09.17:00:00", L"1 | 2 | ", text));
                        }
                    }));
        PrintSample("trace.part.mask", PerLine([&] {
                        for (const std::wstring& text : texts) {
                            if (!MayHoldSensitiveField(text))
                                continue;
                            std::wstring copy = text;
                            RedactSensitiveFields(copy);
                        }
                    }));
        PrintSample("trace.part.clock", PerLine([&] {
                        for (int index = 0; index < kLinesPerTrial; ++index)
                            CurrentLocalTime();
                    }));
    }
    return 0;
}

} // namespace HxFloors
