#pragma once
// A process of another party on the pipes (hx_pipe_peer beside the tests): a squatter that creates pipe
// names before their rightful servers and records what reaches it, or a client that is not the UI
// application. A squatter still running is ended with its object.

#include "platform/UniqueResource.h"

#include <windows.h>
#include <string>
#include <vector>

namespace HxTest {

class PipeSquatter {
public:
    explicit PipeSquatter(const std::vector<std::wstring>& names);
    // Not copied: it owns the process.
    ~PipeSquatter();

    // Every name was created by the squatter (waited for up to 10 s).
    bool Ready() const { return _ready; }
    DWORD Pid() const { return _pid; }
    // "RECV <name> <bytes>" for each message that reached it.
    std::vector<std::string> Received() const;

private:
    std::wstring _record;
    Corvani::Nuv::Platform::UniqueHandle _process;
    DWORD _pid = 0;
    bool _ready = false;
};

// Sends `text` to `pipeName` from a process of its own (its id in `pid`): 0 replied, 1 not opened, 2 not
// written, 3 no reply.
DWORD SendFromAnotherProcess(const std::wstring& pipeName, const std::wstring& text, DWORD* pid = nullptr);

} // namespace HxTest
