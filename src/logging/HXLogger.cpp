#include "logging/HXLogger.h"

#include "logging/AnsiText.h"
#include "logging/DebugOutput.h"
#include "logging/LogFileAppender.h"
#include "logging/LogFilePath.h"
#include "logging/LogLineFormat.h"
#include "logging/Redaction.h"
#include "platform/Registry.h"

#include <exception>

namespace Corvani::Nuv::Logging {

namespace {

bool SameSecond(const std::tm& a, const std::tm& b) {
    return a.tm_sec == b.tm_sec && a.tm_min == b.tm_min && a.tm_hour == b.tm_hour && a.tm_mday == b.tm_mday &&
           a.tm_mon == b.tm_mon && a.tm_year == b.tm_year;
}

// Process id and the id of the thread that writes the first line of the process, for every line of every
// logger.
const std::wstring& LinePrefix() {
    static const std::wstring prefix = BuildLinePrefix(GetCurrentProcessId(), GetCurrentThreadId());
    return prefix;
}

} // namespace

HXLogger::HXLogger(const std::wstring& baseFileName, LocalClock clock) : mClock(clock) {
    SendDebugOutput(L"HXLogger:: constructor");
    Initialize(baseFileName);
}

HXLogger::~HXLogger() {
    SendDebugOutput(L"HXLogger:: destructor");
}

void HXLogger::Initialize(const std::wstring& baseFileName) {
    SendDebugOutput(L"HXLogger:: Initialize");
    mFileName = baseFileName;
    mNlogConfigPresent = IsNlogConfigPresent();
    mLogsPath = ResolveLogsPath();
    try {
        if (CreateDirectoryRecursively(mLogsPath))
            WriteInitializationLine(baseFileName);
    } catch (const std::exception& error) {
        SendDebugOutput(L"HXLogger::Initialize ERROR mLoggingEnabled = false " + AnsiToWide(error.what()));
    }
    // Read after the initialization line, which is therefore always masked.
    mFullLogEnabled = Platform::IsFullLogEnabled();
    SendDebugOutput(L"HXLogger::Initialize leaving");
}

void HXLogger::WriteInitializationLine(const std::wstring& baseFileName) {
    Write(L"---------------- | ---------- Initializing " + baseFileName + L" logger -----------");
    SendDebugOutput(L"HXLogger::Initialize mLoggingEnabled = true");
}

void HXLogger::Write(const std::wstring& line) noexcept {
    if (!mNlogConfigPresent)
        return;
    try {
        std::wstring masked;
        const std::wstring* text = &line;
        if (!mFullLogEnabled && MayHoldSensitiveField(line)) {
            masked = line;
            RedactSensitiveFields(masked);
            if (!masked.empty())
                text = &masked;
        }
        // One reading of the clock dates the line and names its file, so both agree at midnight.
        const std::shared_ptr<const LineStamp> stamp = StampOf(mClock());
        const std::wstring output = ComposeOutputText(stamp->time, LinePrefix(), *text);
        SendDebugOutput(output);
        const std::string bytes = ToLogFileBytes(output);
        Platform::CriticalSectionLock lock(mLock);
        AppendToFile(stamp->path, bytes);
    } catch (const std::exception&) {
        // A line that cannot be composed (out of memory) is dropped.
    }
}

// The time text and the path change once a second at most: they are composed for the first line of a
// second, not for every line.
std::shared_ptr<const HXLogger::LineStamp> HXLogger::StampOf(const std::tm& now) {
    std::shared_ptr<const LineStamp> stamp = mStamp.Get();
    if (stamp && SameSecond(stamp->second, now))
        return stamp;
    stamp = std::make_shared<const LineStamp>(
        LineStamp{now, FormatLineTime(now), BuildLogFilePath(mLogsPath, now, mFileName)});
    mStamp.Set(stamp);
    return stamp;
}

} // namespace Corvani::Nuv::Logging
