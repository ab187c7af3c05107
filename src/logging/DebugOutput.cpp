#include "logging/DebugOutput.h"

#include <windows.h>

namespace Corvani::Nuv::Logging {

void SendDebugOutput(const std::wstring& text) noexcept {
    OutputDebugStringW(text.c_str());
}

} // namespace Corvani::Nuv::Logging
