#pragma once
// A NuvPipeServer for a made-up UI process id, running on a thread of its own with a recording observer
// attached, as the UI launcher runs it.

#include "ipc/CPEvent.h"
#include "ipc/IObserver.h"
#include "ipc/NuvPipeServer.h"
#include "platform/CriticalSection.h"
#include "platform/UniqueResource.h"

#include <functional>
#include <string>
#include <vector>

namespace HxIpcTest {

class RecordingObserver : public IObserver {
public:
    void processEvent(CPEvent* event) override;

    std::vector<uint32_t> Types();
    std::vector<CPEvent*> Pointers();
    // Runs inside processEvent, on the server thread, after the event is recorded.
    std::function<void(CPEvent*)> onEvent;

private:
    Corvani::Nuv::Platform::CriticalSection _lock;
    std::vector<uint32_t> _types;
    std::vector<CPEvent*> _pointers;
};

class ServerRun {
public:
    explicit ServerRun(DWORD fakePid);
    // Stops a server that still runs (SELF_CLOSE) and waits for its thread.
    ~ServerRun();
    ServerRun(const ServerRun&) = delete;
    ServerRun& operator=(const ServerRun&) = delete;

    DWORD Pid() const { return _pid; }
    const std::wstring& PipeName() const { return _pipeName; }
    RecordingObserver& Observer() { return _observer; }
    Corvani::Nuv::IPC::NuvPipeServer& Server() { return _server; }

    bool IsRunning() const;
    // True when the thread ended within `ms`; its exit code in `exitCode`.
    bool WaitEnded(DWORD ms, DWORD* exitCode = nullptr);

private:
    DWORD _pid = 0;
    std::wstring _pipeName;
    RecordingObserver _observer;
    Corvani::Nuv::IPC::NuvPipeServer _server;
    Corvani::Nuv::Platform::UniqueHandle _thread;
};

} // namespace HxIpcTest
