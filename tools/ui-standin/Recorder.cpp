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

} // namespace HxUIStandIn
