#pragma once
// Narrow text of the system ANSI code page converted whole into wide text.

#include <string>
#include <string_view>

namespace Corvani::Nuv::Logging {

std::wstring AnsiToWide(std::string_view text);
std::string WideToAnsi(std::wstring_view text);

} // namespace Corvani::Nuv::Logging
