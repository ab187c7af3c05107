#pragma once
// The measurements of the floors program; each prints its samples and returns the exit code.

#include <string>

namespace HxFloors {

int MeasureFaceUIFloor(const std::wstring& signedDirectory);
int ProtectBlobs(const std::wstring& file);
int MeasureLogonFloor(const std::wstring& blobFile);
int MeasureTraceLine(int trials);
int ListenToDebugOutput(const std::wstring& file);
int StopListening();

// Prints "floors: <what> <where>" to the error output; the exit code 1.
int Fail(const char* what, const std::wstring& where);

} // namespace HxFloors
