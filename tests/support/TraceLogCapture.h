#pragma once
// Test helper: routes the trace logs of the test process into a fresh temporary directory and reads them
// back. The loggers resolve their directory once per process, so create the capture before the process
// writes its first trace line (in main or a global test environment) and keep it for the life of the
// process. It sets "InstallDir" under HKLM\SOFTWARE\Halvex\InstallInfo to the temporary directory, writes
// an NLog.config there that sends the logs to its "logs" subfolder, and on destruction puts the registry
// value back and deletes the directory.

#include "support/RegistryValue.h"

#include <string>
#include <vector>

namespace HxTest {

class TraceLogCapture {
public:
    TraceLogCapture();
    ~TraceLogCapture();
    TraceLogCapture(const TraceLogCapture&) = delete;
    TraceLogCapture& operator=(const TraceLogCapture&) = delete;

    // Whether the registry value and NLog.config are in place: without them logging stays off, and every
    // check that a line is absent would pass for nothing.
    bool Ready() const { return _ready; }

    // The directory that holds NLog.config, and the log directory it names; both end with a backslash.
    const std::wstring& InstallDirectory() const { return _installDirectory; }
    const std::wstring& LogsDirectory() const { return _logsDirectory; }

    // The lines of the daily files, without their CR LF endings; empty when there is no file.
    std::vector<std::string> CPLines() const { return ReadLines(L"CP.log"); }
    std::vector<std::string> PipeServerLines() const { return ReadLines(L"PipeServer.log"); }
    std::vector<std::string> PipeClientLines() const { return ReadLines(L"PipeClient.log"); }
    std::vector<std::string> ReadLines(const std::wstring& baseName) const;

    // The messages of today's CP.log, as the callers of WriteCPLog passed them.
    std::vector<std::string> CPMessages() const;

    // The whole content of the daily files of that name (today's, and yesterday's for a run that crossed
    // local midnight), byte for byte.
    std::string ReadBytes(const std::wstring& baseName) const;

    // The path of today's file (year-month-day-baseName in the log directory).
    std::wstring TodaysFile(const std::wstring& baseName) const;

private:
    std::wstring _installDirectory;
    std::wstring _logsDirectory;
    ScopedRegistryValue _installDir;
    bool _ready = false;
};

// Writes an NLog.config into a directory, as ANSI code-page bytes; true when written.
bool WriteNlogConfig(const std::wstring& directory, const std::string& content);

// The content of an NLog.config whose file target lies in the given directory (ending with a backslash).
std::string NlogConfigFor(const std::wstring& logsDirectory);

// The message of a CP.log line: the text after time, process id, thread id, process id and thread id;
// empty when the line has fewer fields.
std::string CPMessageOf(const std::string& line);

} // namespace HxTest
