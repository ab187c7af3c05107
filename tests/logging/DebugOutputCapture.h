#pragma once
// Test helper: listens to the debugger output of every process of the Wine prefix through the DBWIN_BUFFER
// protocol (the section "DBWIN_BUFFER" with the events DBWIN_BUFFER_READY and DBWIN_DATA_READY), for as
// long as it lives.

#include "platform/UniqueResource.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace HxTest {

class DebugOutputCapture {
public:
    DebugOutputCapture();
    ~DebugOutputCapture();
    DebugOutputCapture(const DebugOutputCapture&) = delete;
    DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

    // False when the objects could not be created (for instance another listener owns them).
    bool Active() const { return _thread.joinable(); }

    // The texts received so far from one process, in the order they arrived.
    std::vector<std::string> From(unsigned long processId) const;

private:
    void Listen();

    Corvani::Nuv::Platform::UniqueHandle _section;
    Corvani::Nuv::Platform::UniqueMappedView _view;
    Corvani::Nuv::Platform::UniqueHandle _bufferReady;
    Corvani::Nuv::Platform::UniqueHandle _dataReady;
    std::atomic<bool> _stop{false};
    mutable std::mutex _mutex;
    std::vector<std::pair<unsigned long, std::string>> _messages;
    std::thread _thread;
};

} // namespace HxTest
