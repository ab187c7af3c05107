#pragma once
// How a run of the host ends, in one line: "VERDICT <road>: passed (...)", or "VERDICT <road>: FAILED at
// step "<step>": expected ...; happened: ...; log: <file>", the line a newcomer reads first. Each session
// of the host has one verdict of its own, and reads what the provider's trace log gained during it.

#include <windows.h>

#include <mutex>
#include <string>

namespace HxHost {

class Verdict {
public:
    // `road` names the verdict ("hxhost" when empty); `logDirectory` holds the provider's trace logs (may
    // be empty).
    Verdict(const std::wstring& road, const std::wstring& logDirectory);
    Verdict(const Verdict&) = delete;
    Verdict& operator=(const Verdict&) = delete;

    // What the trace log gains from now on is the session's.
    void Start();

    // Only the first verdict is printed: a watchdog firing while the session prints its own is not a second one.
    void Passed(const std::wstring& summary);
    void Failed(const std::wstring& step, const std::wstring& expected, const std::wstring& happened);

    // The last line containing "ERROR" that the provider's trace log gained since Start; empty when there
    // is none.
    std::wstring LatestTraceError() const;
    // True when the provider's trace log gained a line containing `text` since Start.
    bool TraceLogGained(const std::string& text) const;

private:
    bool First();
    std::string TraceTextSinceStart() const;

    const std::wstring _road;
    const std::wstring _logDirectory;
    std::wstring _traceLog; // the newest *-CP.log of the log directory; a pattern until the file exists
    LONGLONG _sizeAtStart = 0;
    std::mutex _lock;
    bool _printed = false;
};

} // namespace HxHost
