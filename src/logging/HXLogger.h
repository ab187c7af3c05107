#pragma once
// One trace log file: "CP.log", "PipeServer.log" or "PipeClient.log". A logger resolves its directory and
// reads its settings once, at construction; each line then opens, appends to and closes the daily file.

#include "logging/LocalClock.h"
#include "platform/CriticalSection.h"
#include "platform/Guarded.h"

#include <memory>
#include <string>

namespace Corvani::Nuv::Logging {

class HXLogger {
public:
    explicit HXLogger(const std::wstring& baseFileName, LocalClock clock = &CurrentLocalTime);
    ~HXLogger();
    HXLogger(const HXLogger&) = delete;
    HXLogger& operator=(const HXLogger&) = delete;

    // Writes one line (masked unless full logging is on) to the debugger output and the daily file.
    // Does nothing when the service's logging configuration was absent at construction. Never throws.
    void Write(const std::wstring& line) noexcept;

    bool IsLoggingEnabled() const noexcept { return mNlogConfigPresent; }
    bool IsFullLogEnabled() const noexcept { return mFullLogEnabled; }
    const std::wstring& LogsPath() const noexcept { return mLogsPath; }

private:
    // The time text and the daily file's path of one second, shared by the lines written in it.
    struct LineStamp {
        std::tm second;
        std::wstring time;
        std::wstring path;
    };
    std::shared_ptr<const LineStamp> StampOf(const std::tm& now);

    void Initialize(const std::wstring& baseFileName);
    void WriteInitializationLine(const std::wstring& baseFileName);

    // Log directory resolution.
    bool IsNlogConfigPresent();
    std::wstring GetNlogConfigPath();
    std::wstring GetServiceLogsPath();
    std::wstring ResolveLogsPath();
    std::wstring GetLocalAppDataPath();
    bool CreateDirectoryRecursively(const std::wstring& directory);

    static constexpr wchar_t kLogsSubfolder[] = L"\\hxdata\\logs\\";

    bool mNlogConfigPresent = false;
    std::wstring mLogsPath;
    std::wstring mFileName;
    bool mFullLogEnabled = false;
    LocalClock mClock;
    Platform::Guarded<std::shared_ptr<const LineStamp>> mStamp;
    Platform::CriticalSection mLock;
};

} // namespace Corvani::Nuv::Logging
