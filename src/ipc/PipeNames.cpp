#include "ipc/PipeNames.h"

namespace Corvani::Nuv::IPC {

namespace {

// The digits are ASCII, so widening them through any code page gives the same characters.
std::wstring WidenDigits(const std::string& digits) {
    return std::wstring(digits.begin(), digits.end());
}

} // namespace

std::string ProcessIdText(std::uint32_t processId) {
    return std::to_string(processId);
}

std::wstring ProviderPipeName(std::uint32_t processId) {
    return kProviderPipePrefix + WidenDigits(ProcessIdText(processId));
}

std::wstring UIPipeName(std::uint32_t processId) {
    return kUIPipePrefix + WidenDigits(ProcessIdText(processId));
}

std::string NarrowLowBytes(const std::wstring& text) {
    std::string narrow(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        narrow[i] = static_cast<char>(static_cast<unsigned>(text[i]) & 0xFFu);
    return narrow;
}

} // namespace Corvani::Nuv::IPC
