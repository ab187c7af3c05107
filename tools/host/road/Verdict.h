#pragma once
// How a run of the host ends, in one line: "VERDICT <road>: passed (...)", or "VERDICT <road>: FAILED at
// step "<step>": expected ...; happened: ...; log: <file>", the line a newcomer reads first.

#include <windows.h>
#include <string>

namespace HxHost {

// The road's name for the verdict and the directory of the provider's trace logs (may be empty). Each
// session of the host sets it, and then prints one verdict of its own.
void SetVerdictContext(const std::wstring& road, const std::wstring& logDirectory);

void PrintPassed(const std::wstring& summary);
void PrintFailed(const std::wstring& step, const std::wstring& expected, const std::wstring& happened);

// The last line containing "ERROR" that the provider's trace log gained since SetVerdictContext; empty
// when there is none.
std::wstring LatestTraceError();
// True when the provider's trace log gained a line containing `text` since SetVerdictContext.
bool TraceLogGained(const std::string& text);

} // namespace HxHost
