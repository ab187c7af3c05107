#pragma once
// The provider's end of "\\.\pipe\CPPipeServer" + UI process id: a loop, on a thread of its own, that
// serves one connection at a time, reads one command from it, turns LOGON, DESELECT and UIINPUT into
// events for the observers and ends on any other command.

#include "ipc/IPCMessage.h"
#include "ipc/Subject.h"
#include "platform/UniqueResource.h"

#include <windows.h>
#include <atomic>
#include <string>

namespace Corvani::Nuv::IPC {

class NuvPipeServer : public Subject {
public:
    // The server for one UI process. Creates no pipe.
    explicit NuvPipeServer(DWORD uiPid);
    // A running loop belongs to its server object: it is never copied or assigned.
    NuvPipeServer(const NuvPipeServer&) = delete;
    NuvPipeServer& operator=(const NuvPipeServer&) = delete;
    // Neither stops the loop nor disconnects a client: the loop must have ended before.
    ~NuvPipeServer() override;

    // Creates the first instance, which must be the first of its name: a name that another process holds
    // already is traced as taken and false is returned. Start creates it itself when this was not called.
    bool Open();

    // Serves one connection after another on the calling thread until a command ends the loop, creating
    // an instance fails, or an exception comes. Only the UI application and this process are served: any
    // other client's connection is dropped unread.
    void Start();

    // Asks the loop to end after the connection it serves now, even when SELF_CLOSE cannot reach it
    // because a client holds the only instance. Any thread may call it.
    void RequestStop() noexcept { _stopRequested = true; }

    // Reads and handles one command on a connected instance; true when the loop is to go on.
    bool Receive(HANDLE pipe);

    // Dispatches one parsed command to the observers; true when the loop is to go on.
    bool HandleIPCEvent(IPCMessage message);

    // Thread routine; the parameter is the server. 1 for a null server, otherwise 0 after Start.
    static DWORD WINAPI ThreadEntry(LPVOID server);

private:
    bool CreateInstance();
    bool WaitForClient();
    bool IsClientAccepted();
    void EndInstance();
    void AbandonInstance();
    void WriteResponse(HANDLE pipe);
    void Log(const std::string& message) const;

    const wchar_t* _response = nullptr;
    Platform::UniqueFileHandle _hPipe;
    bool _isRunning = false;
    std::atomic<bool> _stopRequested{false};
    std::wstring _pipeName;
    std::string _uiPid;
    DWORD _uiProcessId = 0;
    // The first instance has been created: the name is this server's from then on.
    bool _nameHeld = false;
};

} // namespace Corvani::Nuv::IPC
