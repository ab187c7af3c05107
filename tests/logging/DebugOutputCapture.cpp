#include "DebugOutputCapture.h"

#include <cstring>

namespace HxTest {

namespace {

constexpr DWORD kBufferSize = 4096;
constexpr DWORD kPollMilliseconds = 20;

} // namespace

DebugOutputCapture::DebugOutputCapture() {
    SetLastError(ERROR_SUCCESS);
    _section.reset(
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferSize, L"DBWIN_BUFFER"));
    if (!_section || GetLastError() == ERROR_ALREADY_EXISTS)
        return;
    _view.reset(MapViewOfFile(_section.get(), FILE_MAP_READ, 0, 0, kBufferSize));
    _bufferReady.reset(CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY"));
    _dataReady.reset(CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY"));
    if (_view && _bufferReady && _dataReady)
        _thread = std::thread(&DebugOutputCapture::Listen, this);
}

DebugOutputCapture::~DebugOutputCapture() {
    _stop = true;
    if (_thread.joinable())
        _thread.join();
}

void DebugOutputCapture::Listen() {
    SetEvent(_bufferReady.get());
    while (!_stop) {
        if (WaitForSingleObject(_dataReady.get(), kPollMilliseconds) != WAIT_OBJECT_0)
            continue;
        const auto* bytes = static_cast<const char*>(_view.get());
        DWORD processId = 0;
        std::memcpy(&processId, bytes, sizeof(processId));
        const char* text = bytes + sizeof(processId);
        std::string message(text, strnlen(text, kBufferSize - sizeof(processId)));
        {
            std::lock_guard<std::mutex> lock(_mutex);
            _messages.emplace_back(processId, std::move(message));
        }
        SetEvent(_bufferReady.get());
    }
}

std::vector<std::string> DebugOutputCapture::From(unsigned long processId) const {
    std::lock_guard<std::mutex> lock(_mutex);
    std::vector<std::string> texts;
    for (const auto& [sender, text] : _messages)
        if (sender == processId)
            texts.push_back(text);
    return texts;
}

} // namespace HxTest
