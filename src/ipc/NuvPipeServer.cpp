#include "ipc/NuvPipeServer.h"

#include "ipc/CPEvent.h"
#include "ipc/CommandTexts.h"
#include "ipc/PipeNames.h"
#include "ipc/PipeSecurity.h"
#include "ipc/SynchronousIoDeadline.h"
#include "logging/TraceLog.h"
#include "platform/WorkerThread.h"

#include <cwchar>
#include <exception>
#include <memory>

namespace Corvani::Nuv::IPC {

namespace {

constexpr DWORD kOpenMode = PIPE_ACCESS_DUPLEX;
constexpr DWORD kPipeMode = PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS;
constexpr DWORD kBufferBytes = kMaxCommandBytes;
constexpr DWORD kDefaultTimeout = 0;
// A client that connects and then neither writes, nor reads the reply, nor leaves, holds the loop for at
// most this long in the read and as long again in the flush: the loop always comes back to SELF_CLOSE.
constexpr DWORD kConnectionIoMilliseconds = 5000;

} // namespace

NuvPipeServer::NuvPipeServer(DWORD uiPid)
    : _response(kServerResponseText), _pipeName(ProviderPipeName(uiPid)), _uiPid(ProcessIdText(uiPid)),
      _uiProcessId(uiPid) {}

NuvPipeServer::~NuvPipeServer() = default;

DWORD WINAPI NuvPipeServer::ThreadEntry(LPVOID server) {
    if (server == nullptr)
        return 1;
    // Start already handles the standard exceptions; nothing else may leave a thread routine.
    Platform::ThreadBoundary(nullptr, [server] { static_cast<NuvPipeServer*>(server)->Start(); });
    return 0;
}

void NuvPipeServer::Start() {
    try {
        _isRunning = true;
        Log("NuvPipeServer::Start BEGIN thread loop");
        while (_isRunning) {
            if (!_hPipe && !CreateInstance()) {
                Log("NuvPipeServer::Start - Error creating pipe");
                _isRunning = false;
                continue;
            }
            Log("NuvPipeServer::Start Pipe created: " + NarrowLowBytes(_pipeName));
            if (!WaitForClient()) {
                _hPipe.reset();
                continue;
            }
            if (!IsClientAccepted()) {
                AbandonInstance();
                _isRunning = !_stopRequested;
                continue;
            }
            _isRunning = Receive(_hPipe.get()) && !_stopRequested;
            EndInstance();
        }
        Log("NuvPipeServer::Start END thread loop");
    } catch (const std::exception& error) {
        _isRunning = false;
        AbandonInstance();
        Log(std::string("NuvPipeServer::Start - Exception received: ") + error.what());
    }
}

bool NuvPipeServer::Receive(HANDLE pipe) {
    wchar_t buffer[kMaxCommandBytes / sizeof(wchar_t)];
    DWORD bytesRead = 0;
    BOOL read = FALSE;
    DWORD error = ERROR_SUCCESS;
    {
        SynchronousIoDeadline deadline(kConnectionIoMilliseconds);
        read = ReadFile(pipe, buffer, sizeof(buffer), &bytesRead, nullptr);
        error = read ? ERROR_SUCCESS : GetLastError();
    }
    if (!read || bytesRead == 0) {
        if (error == ERROR_BROKEN_PIPE)
            Log("NuvPipeServer::Receive - InstanceThread: client disconnected");
        else
            Log("NuvPipeServer::Receive - InstanceThread ReadFile failed");
        return true;
    }
    Log("NuvPipeServer::Response");
    const bool goOn = HandleIPCEvent(parseIPCMessage(buffer, bytesRead / sizeof(wchar_t)));
    WriteResponse(pipe);
    return goOn;
}

bool NuvPipeServer::HandleIPCEvent(IPCMessage message) {
    Log("NuvPipeServer::HandleIPCEvent - command:" + message.command);
    if (message.command == kLogonCommandName) {
        notify(std::make_unique<CPLogonEvent>());
        return true;
    }
    if (message.command == kDeselectCommandName) {
        notify(std::make_unique<CPCloseEvent>());
        return true;
    }
    if (message.command == kUIInputCommandName) {
        notify(std::make_unique<CPINPUTEvent>());
        return true;
    }
    return false;
}

bool NuvPipeServer::Open() {
    return _hPipe || CreateInstance();
}

// The first instance may not join a pipe of the same name that another process created: that process would
// own the pipe's security and could serve the UI application's commands itself.
bool NuvPipeServer::CreateInstance() {
    PipeSecurity security;
    if (!security.IsValid())
        return false;
    const DWORD openMode = _nameHeld ? kOpenMode : kOpenMode | FILE_FLAG_FIRST_PIPE_INSTANCE;
    _hPipe.reset(CreateNamedPipeW(_pipeName.c_str(), openMode, kPipeMode, PIPE_UNLIMITED_INSTANCES,
                                  kBufferBytes, kBufferBytes, kDefaultTimeout, security.Attributes()));
    if (_hPipe) {
        _nameHeld = true;
        return true;
    }
    const DWORD error = GetLastError();
    if (!_nameHeld && (error == ERROR_ACCESS_DENIED || error == ERROR_PIPE_BUSY))
        Log("NuvPipeServer::Start - pipe name taken by another process: " + NarrowLowBytes(_pipeName));
    return false;
}

// Only the UI application this server was made for, and this process (SELF_CLOSE), are served. The server
// for no process (a start that failed) serves this process only.
bool NuvPipeServer::IsClientAccepted() {
    ULONG client = 0;
    if (GetNamedPipeClientProcessId(_hPipe.get(), &client) &&
        ((client == _uiProcessId && client != 0) || client == GetCurrentProcessId()))
        return true;
    Log("NuvPipeServer::Start - connection refused, client process: " + std::to_string(client));
    return false;
}

// A client that connected before the wait began counts as connected.
bool NuvPipeServer::WaitForClient() {
    return ConnectNamedPipe(_hPipe.get(), nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
}

// The flush lets the client read the response before the disconnect discards it.
void NuvPipeServer::EndInstance() {
    {
        SynchronousIoDeadline deadline(kConnectionIoMilliseconds);
        FlushFileBuffers(_hPipe.get());
    }
    DisconnectNamedPipe(_hPipe.get());
    _hPipe.reset();
}

// After an exception nothing was written that the client still has to read.
void NuvPipeServer::AbandonInstance() {
    if (!_hPipe)
        return;
    DisconnectNamedPipe(_hPipe.get());
    _hPipe.reset();
}

void NuvPipeServer::WriteResponse(HANDLE pipe) {
    const DWORD bytes = static_cast<DWORD>((std::wcslen(_response) + 1) * sizeof(wchar_t));
    DWORD written = 0;
    if (WriteFile(pipe, _response, bytes, &written, nullptr))
        return;
    // A client that sent its command and left without waiting for the reply is no fault of anybody's.
    const DWORD error = GetLastError();
    if (error != ERROR_NO_DATA && error != ERROR_BROKEN_PIPE && error != ERROR_PIPE_NOT_CONNECTED)
        Log("NuvPipeServer::WriteResponse - response not written. GLE= " + std::to_string(error));
}

void NuvPipeServer::Log(const std::string& message) const {
    Logging::WritePipeServerLog(message, _uiPid);
}

} // namespace Corvani::Nuv::IPC
