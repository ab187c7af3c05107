#pragma once
// The floors program's output: one "sample NAME VALUE" line per measured value, in milliseconds, that
// run.sh gathers over the trials; and the clock they are read from.

#include <string>

namespace HxFloors {

// Milliseconds from the performance counter (the pipe benchmark's clock).
double NowMilliseconds();

void PrintSample(const std::string& name, double milliseconds);

// The pipe exchange of one command as the protocol has it: open, message mode, the UTF-16LE text with its
// NUL written, one reply read (all of it), close. True when a reply came.
bool ExchangeCommand(const std::wstring& pipeName, const std::wstring& command);

} // namespace HxFloors
