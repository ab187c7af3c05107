#pragma once
// Sends the provider's commands: SHOW, CHANGEPASSWORD, HIDE and CLOSE to the UI application's pipe and
// SELF_CLOSE to the provider's own server. Every command is one short connection: open, switch to
// message read mode, write, read one reply, close. Operations return true when the command was written
// and a reply was read, and leave the Win32 error in their out-parameter.

#include "platform/UniqueResource.h"

#include <windows.h>
#include <string>

namespace Corvani::Nuv::IPC {

class NuvPipeClient {
public:
    // A placeholder: empty pipe names, so every operation fails at the open.
    NuvPipeClient();
    // The client for one UI process.
    explicit NuvPipeClient(DWORD uiPid);

    // Up to 6 attempts, 500 ms apart (also after the last failed one).
    bool Show(DWORD& error);
    bool ChangePassword(DWORD& error);
    // One attempt each.
    bool Hide(DWORD& error);
    bool Close(DWORD& error);
    // Up to 3 attempts, retried after 100 ms only while no instance of the provider pipe exists.
    bool SelfClose(DWORD& error);

    // One complete exchange of `command` on `pipeName`.
    bool SendCommand(const std::wstring& command, const std::wstring& pipeName, DWORD& error);
    // Up to 6 opens; a busy pipe is waited for 1000 ms before the next. The client lends the server no
    // more than its identity, and a pipe served by any process but the expected one counts as not opened.
    bool OpenPipe(Platform::UniqueFileHandle& handle, const std::wstring& pipeName, DWORD& error);
    bool SetPipeToReadMode(HANDLE pipe, DWORD& error);
    // Writes the command and its NUL as one message. Gives up with ERROR_TIMEOUT when the peer has not
    // taken it within 5 seconds.
    bool WriteIntoPipe(HANDLE pipe, const std::wstring& command, DWORD& error);
    // Reads one reply message of any length, in pieces of 4096 bytes, without looking at it. Gives up
    // with ERROR_TIMEOUT when the reply has not arrived within 5 seconds.
    bool ReadResponseFromPipe(HANDLE pipe, DWORD& error);

private:
    bool SendWithPauses(const std::wstring& command, DWORD& error, const char* pauseLine);
    // This process serves every provider pipe; the UI application it was made for serves the UI pipe.
    DWORD ExpectedServer(const std::wstring& pipeName) const;
    bool IsServedByExpectedProcess(HANDLE pipe, const std::wstring& pipeName, DWORD& error);
    void Log(const std::string& message) const;
    // A fixed text; never throws.
    void Log(const char* message) const noexcept;

    std::wstring _showCommand;
    std::wstring _hideCommand;
    std::wstring _changePasswordCommand;
    std::wstring _closeCommand;
    std::wstring _selfCloseCommand;
    std::wstring _serverPipeName;
    std::wstring _uiPipeName;
    std::string _uiPid;
    DWORD _uiProcessId = 0;
};

} // namespace Corvani::Nuv::IPC
