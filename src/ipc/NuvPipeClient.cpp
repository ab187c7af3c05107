#include "ipc/NuvPipeClient.h"

#include "ipc/CommandTexts.h"
#include "ipc/PipeNames.h"
#include "ipc/PipeClientTrace.h"
#include "logging/TraceLog.h"

namespace Corvani::Nuv::IPC {

namespace {

constexpr int kShowAttempts = 6;
constexpr DWORD kShowPauseMilliseconds = 500;
constexpr int kSelfCloseAttempts = 3;
constexpr DWORD kSelfClosePauseMilliseconds = 100;

} // namespace

NuvPipeClient::NuvPipeClient()
    : _showCommand(kShowCommandText), _hideCommand(kHideCommandText),
      _changePasswordCommand(kChangePasswordCommandText), _closeCommand(kCloseCommandText),
      _selfCloseCommand(kSelfCloseCommandText) {}

NuvPipeClient::NuvPipeClient(DWORD uiPid) : NuvPipeClient() {
    _serverPipeName = ProviderPipeName(uiPid);
    _uiPipeName = UIPipeName(uiPid);
    _uiPid = ProcessIdText(uiPid);
    _uiProcessId = uiPid;
}

bool NuvPipeClient::Show(DWORD& error) {
    Log("NuvPipeClient::Show");
    const bool result = SendWithPauses(_showCommand, error, "NuvPipeClient::Show - Sleep 500 ms");
    Log("NuvPipeClient::Show - Ret: " + ResultText(result));
    return result;
}

bool NuvPipeClient::ChangePassword(DWORD& error) {
    return SendWithPauses(_changePasswordCommand, error, nullptr);
}

bool NuvPipeClient::Hide(DWORD& error) {
    Log("NuvPipeClient::Hide |");
    const bool result = SendCommand(_hideCommand, _uiPipeName, error);
    if (result)
        Log("NuvPipeClient::Hide | sent successfully");
    return result;
}

bool NuvPipeClient::Close(DWORD& error) {
    const bool result = SendCommand(_closeCommand, _uiPipeName, error);
    Log(result ? "NuvPipeClient::Close sent successfully"
               : "NuvPipeClient::Close ERROR, unable to send close command");
    return result;
}

bool NuvPipeClient::SelfClose(DWORD& error) {
    bool result = false;
    for (int attempt = 1; attempt <= kSelfCloseAttempts; ++attempt) {
        if (attempt > 1)
            Sleep(kSelfClosePauseMilliseconds);
        result = SendCommand(_selfCloseCommand, _serverPipeName, error);
        if (result || error != ERROR_FILE_NOT_FOUND)
            break;
    }
    return result;
}

// Show and ChangePassword: up to six attempts on the UI pipe, each failed one followed by a pause.
bool NuvPipeClient::SendWithPauses(const std::wstring& command, DWORD& error, const char* pauseLine) {
    bool result = false;
    for (int attempt = 1; attempt <= kShowAttempts; ++attempt) {
        result = SendCommand(command, _uiPipeName, error);
        if (result)
            break;
        if (pauseLine != nullptr)
            Log(pauseLine);
        Sleep(kShowPauseMilliseconds);
    }
    return result;
}

void NuvPipeClient::Log(const std::string& message) const {
    Logging::WritePipeClientLog(message, _uiPid);
}

void NuvPipeClient::Log(const char* message) const noexcept {
    try {
        Logging::WritePipeClientLog(message, _uiPid);
    } catch (...) {
        // The text could not even be copied: the line is lost.
    }
}

} // namespace Corvani::Nuv::IPC
