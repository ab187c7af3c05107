#pragma once
// Names of the two pipes, both ending in the UI process id.

#include <cstdint>
#include <string>

namespace Corvani::Nuv::IPC {

inline constexpr wchar_t kProviderPipePrefix[] = L"\\\\.\\pipe\\CPPipeServer";
inline constexpr wchar_t kUIPipePrefix[] = L"\\\\.\\pipe\\NuvUIPipeServer";

// The process id in decimal: no sign, no leading zeros, no separators.
std::string ProcessIdText(std::uint32_t processId);

// "\\.\pipe\CPPipeServer" + id: served by the provider.
std::wstring ProviderPipeName(std::uint32_t processId);

// "\\.\pipe\NuvUIPipeServer" + id: served by the UI application.
std::wstring UIPipeName(std::uint32_t processId);

// Each character's low byte, for trace lines.
std::string NarrowLowBytes(const std::wstring& text);

} // namespace Corvani::Nuv::IPC
