#include "Recorder.h"

#include <cstdio>

namespace HxUIStandIn {

using Corvani::Nuv::Platform::CriticalSectionLock;

Recorder::Recorder(const std::wstring& file, bool times) : _times(times) {
    if (file.empty())
        return;
    // Appended to: a stand-in started again after another ended (a crash, say) adds to the same record.
    _file.reset(CreateFileW(file.c_str(), FILE_APPEND_DATA,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

void Recorder::Line(const std::string& text) {
    const std::string line = (_times ? std::to_string(GetTickCount64()) + " " : std::string()) + text + "\r\n";
    CriticalSectionLock guard(_lock);
    DWORD written = 0;
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output != nullptr && output != INVALID_HANDLE_VALUE)
        WriteFile(output, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    if (_file)
        WriteFile(_file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::string ToUtf8(const std::wstring& text) {
    if (text.empty())
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size,
                            nullptr, nullptr);
    return utf8;
}

} // namespace HxUIStandIn
