#pragma once
// Shared pieces of the logging tests that run in the test process itself.

#include "DebugOutputCapture.h"

#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace HxTest {

// Replaces the NLog.config of the process's capture for the length of a test (nullopt: no file at all)
// and puts the capture's own back afterwards.
class ScopedNlogConfig {
public:
    explicit ScopedNlogConfig(const std::optional<std::string>& content);
    ~ScopedNlogConfig();
    ScopedNlogConfig(const ScopedNlogConfig&) = delete;
    ScopedNlogConfig& operator=(const ScopedNlogConfig&) = delete;
};

// A clock that answers what the test set last.
void SetFakeNow(int year, int month, int day, int hour, int minute, int second);
std::tm FakeNow();

// A new directory (ending with a backslash) under the capture's install directory that does not exist yet.
std::wstring FreshDirectoryPath(const std::wstring& name);

// The NLog.config content that names a log directory (ending with a backslash).
std::string ConfigNaming(const std::wstring& directory);

// The local application-data folder followed by "\hxdata\logs\".
std::wstring FallbackLogsPath();

std::string ReadFileBytes(const std::wstring& path);
std::vector<std::string> SplitCRLFLines(const std::string& bytes);
bool FileExists(const std::wstring& path);

// Waits until every debugger output sent so far has reached the capture, then answers what came from the
// process.
std::vector<std::string> FlushedFrom(const DebugOutputCapture& capture, unsigned long processId);

} // namespace HxTest
