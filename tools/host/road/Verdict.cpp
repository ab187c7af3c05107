#include "road/Verdict.h"

#include "common/Utf8Text.h"

#include "Console.h"
#include "platform/UniqueResource.h"
#include "road/TextFile.h"

#include <cwchar>
#include <mutex>
#include <string>
#include <utility>

namespace HxHost {

namespace {

// The date a daily log's name starts with ("2026-9-30-CP.log": no leading zeros), as one number that
// orders by date; 0 for a name that does not start with one.
unsigned long long DateOfLogName(const wchar_t* name) {
    unsigned year = 0, month = 0, day = 0;
    if (swscanf(name, L"%u-%u-%u-", &year, &month, &day) != 3)
        return 0;
    return (static_cast<unsigned long long>(year) * 100 + month) * 100 + day;
}

std::wstring NewestTraceLog(const std::wstring& directory) {
    WIN32_FIND_DATAW found = {};
    const Corvani::Nuv::Platform::UniqueFindHandle search(FindFirstFileW((directory + L"\\*-CP.log").c_str(), &found));
    if (!search)
        return directory + L"\\*-CP.log";
    std::wstring newest = found.cFileName;
    while (FindNextFileW(search.get(), &found))
        if (DateOfLogName(found.cFileName) > DateOfLogName(newest.c_str()))
            newest = found.cFileName;
    return directory + L"\\" + newest;
}

// Today's daily log, or the pattern while the day's first line has not been written: an older day's
// log must not be taken for the run's.
std::wstring TodaysTraceLog(const std::wstring& directory) {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    const std::wstring today = directory + L"\\" + std::to_wstring(now.wYear) + L"-" + std::to_wstring(now.wMonth) +
                               L"-" + std::to_wstring(now.wDay) + L"-CP.log";
    return GetFileAttributesW(today.c_str()) != INVALID_FILE_ATTRIBUTES ? today : directory + L"\\*-CP.log";
}

LONGLONG FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

} // namespace

Verdict::Verdict(const std::wstring& road, const std::wstring& logDirectory)
    : _road(road.empty() ? L"hxhost" : road), _logDirectory(logDirectory),
      _traceLog(logDirectory.empty() ? std::wstring() : logDirectory + L"\\*-CP.log") {}

void Verdict::Start() {
    if (_logDirectory.empty())
        return;
    _traceLog = TodaysTraceLog(_logDirectory);
    _sizeAtStart = FileSize(_traceLog);
}

bool Verdict::First() {
    std::lock_guard<std::mutex> guard(_lock);
    return !std::exchange(_printed, true);
}

void Verdict::Passed(const std::wstring& summary) {
    if (First())
        PrintLine(L"VERDICT " + _road + L": passed (" + summary + L")");
}

void Verdict::Failed(const std::wstring& step, const std::wstring& expected, const std::wstring& happened) {
    if (!First())
        return;
    if (!_logDirectory.empty() && _traceLog.find(L'*') != std::wstring::npos)
        _traceLog = NewestTraceLog(_logDirectory); // the day's log began during the run
    PrintLine(L"VERDICT " + _road + L": FAILED at step \"" + step + L"\": expected " + expected + L"; happened: " +
              happened + L"; log: " + (_traceLog.empty() ? L"(no trace log directory given)" : _traceLog));
}

// What the provider's trace log gained since Start (at most 1 MiB of it).
std::string Verdict::TraceTextSinceStart() const {
    if (_logDirectory.empty())
        return std::string();
    // A log that did not exist at the start (the first trace line of the day came during the run) is
    // read from its beginning.
    const std::wstring path = _traceLog.find(L'*') == std::wstring::npos ? _traceLog : NewestTraceLog(_logDirectory);
    return ReadSharedText(path, _sizeAtStart);
}

bool Verdict::TraceLogGained(const std::string& text) const {
    return TraceTextSinceStart().find(text) != std::string::npos;
}

std::wstring Verdict::LatestTraceError() const {
    const std::string text = TraceTextSinceStart();
    const size_t error = text.rfind("ERROR");
    if (error == std::string::npos)
        return std::wstring();
    // The line without its first five fields (time, level, process, thread, logger).
    const size_t lineStart = text.find_last_of("\r\n", error);
    size_t begin = lineStart == std::string::npos ? 0 : lineStart + 1;
    for (int field = 0; field < 5; ++field) {
        const size_t bar = text.find('|', begin);
        if (bar == std::string::npos || bar > error)
            break;
        begin = bar + 1;
    }
    const size_t end = text.find_first_of("\r\n", error);
    std::string line = text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    line.erase(0, line.find_first_not_of(' '));
    return HxTools::ToWideText(line);
}

} // namespace HxHost
