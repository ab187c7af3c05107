#pragma once
// Line output of the host: UTF-8 text on standard output, one clear line per step.

#include <windows.h>
#include <string>

namespace HxHost {

void PrintLine(const std::wstring& text);
std::wstring Hex(HRESULT hr);

} // namespace HxHost
