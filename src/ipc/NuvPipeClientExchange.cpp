// One exchange of the pipe client: open, read mode, write, reply.

#include "ipc/NuvPipeClient.h"

#include "ipc/PipeClientTrace.h"
#include "ipc/PipeNames.h"
#include "ipc/PipeSecurity.h"
#include "ipc/SynchronousIoDeadline.h"

#include <exception>

namespace Corvani::Nuv::IPC {

namespace {

constexpr int kOpenAttempts = 6;
constexpr DWORD kBusyWaitMilliseconds = 1000;
constexpr DWORD kReplyReadBytes = 4096;
constexpr DWORD kReplyTimeoutMilliseconds = 5000;
// A peer that accepts the connection and never reads would otherwise hold the writing thread (LogonUI's,
// in UnAdvise) for as long as it likes.
constexpr DWORD kWriteTimeoutMilliseconds = 5000;
// The server may identify the client but never act as it.
constexpr DWORD kOpenFlags = SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION;

// The attributes are the same for every open: built once, on first use, and kept.
PipeSecurity& ClientPipeSecurity() {
    static PipeSecurity security;
    return security;
}

} // namespace

bool NuvPipeClient::SendCommand(const std::wstring& command, const std::wstring& pipeName, DWORD& error) {
    error = ERROR_SUCCESS;
    bool result = false;
    try {
        Log("NuvPipeClient::SendCommand --");
        Platform::UniqueFileHandle pipe;
        if (!OpenPipe(pipe, pipeName, error))
            return result;
        Log("NuvPipeClient::SendCommand pipe opened");
        if (!SetPipeToReadMode(pipe.get(), error))
            return result;
        Log("NuvPipeClient::SendCommand set read mode ok");
        if (!WriteIntoPipe(pipe.get(), command, error))
            return result;
        Log("NuvPipeClient::SendCommand Write into pipe ok");
        if (!ReadResponseFromPipe(pipe.get(), error))
            return result;
        result = true;
        Log("NuvPipeClient::SendCommand SUCCESS!");
    } catch (const std::exception& exception) {
        Log("NuvPipeClient::SendCommand exception:");
        Log(exception.what());
    }
    return result;
}

bool NuvPipeClient::OpenPipe(Platform::UniqueFileHandle& handle, const std::wstring& pipeName, DWORD& error) {
    PipeSecurity& security = ClientPipeSecurity();
    bool result = false;
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        handle.reset(CreateFileW(pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, security.Attributes(),
                                 OPEN_EXISTING, kOpenFlags, nullptr));
        if (handle) {
            result = IsServedByExpectedProcess(handle.get(), pipeName, error);
            if (!result)
                handle.reset();
            break;
        }
        error = GetLastError();
        Log("NuvPipeClient::OpenPipe ERROR CreteFile result: " + std::to_string(error));
        if (error != ERROR_PIPE_BUSY)
            break;
        if (!WaitNamedPipeW(pipeName.c_str(), kBusyWaitMilliseconds)) {
            Log("NuvPipeClient::OpenPipe Could not open pipe: 1 second wait timed out.");
            break;
        }
    }
    Log("NuvPipeClient::OpenPipe Ret: " + ResultText(result));
    return result;
}

DWORD NuvPipeClient::ExpectedServer(const std::wstring& pipeName) const {
    return pipeName.rfind(kProviderPipePrefix, 0) == 0 ? GetCurrentProcessId() : _uiProcessId;
}

// A process that created the pipe's name before its rightful server would otherwise receive the command.
bool NuvPipeClient::IsServedByExpectedProcess(HANDLE pipe, const std::wstring& pipeName, DWORD& error) {
    const DWORD expected = ExpectedServer(pipeName);
    ULONG server = 0;
    if (GetNamedPipeServerProcessId(pipe, &server) && server == expected && expected != 0)
        return true;
    error = ERROR_ACCESS_DENIED;
    Log("NuvPipeClient::OpenPipe refused: the pipe is served by process " + std::to_string(server) +
        ", not by " + std::to_string(expected));
    return false;
}

bool NuvPipeClient::SetPipeToReadMode(HANDLE pipe, DWORD& error) {
    DWORD mode = PIPE_READMODE_MESSAGE;
    if (SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr))
        return true;
    error = GetLastError();
    Log("NuvPipeClient::SetPipeToReadMode failed. GLE= " + std::to_string(error));
    return false;
}

bool NuvPipeClient::WriteIntoPipe(HANDLE pipe, const std::wstring& command, DWORD& error) {
    Log("WriteIntoPipe --");
    const DWORD bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
    DWORD written = 0;
    bool result = false;
    {
        SynchronousIoDeadline deadline(kWriteTimeoutMilliseconds);
        result = WriteFile(pipe, command.c_str(), bytes, &written, nullptr) != FALSE;
        if (!result) {
            error = GetLastError();
            if (error == ERROR_OPERATION_ABORTED && deadline.HasExpired())
                error = ERROR_TIMEOUT;
        }
    }
    if (!result)
        Log("NuvPipeClient::WriteIntoPipe WriteFile to pipe failed. GLE= " + std::to_string(error));
    Log("WriteIntoPipe restul: " + ResultText(result));
    return result;
}

bool NuvPipeClient::ReadResponseFromPipe(HANDLE pipe, DWORD& error) {
    char buffer[kReplyReadBytes];
    DWORD readError = ERROR_SUCCESS;
    bool timedOut = false;
    {
        SynchronousIoDeadline deadline(kReplyTimeoutMilliseconds);
        DWORD bytesRead = 0;
        while (!ReadFile(pipe, buffer, sizeof(buffer), &bytesRead, nullptr)) {
            readError = GetLastError();
            if (readError != ERROR_MORE_DATA)
                break;
            readError = ERROR_SUCCESS;
        }
        timedOut = readError == ERROR_OPERATION_ABORTED && deadline.HasExpired();
    }
    if (readError == ERROR_SUCCESS)
        return true;
    if (timedOut) {
        error = ERROR_TIMEOUT;
        Log("NuvPipeClient::ReadResponseFromPipe no reply within " +
            std::to_string(kReplyTimeoutMilliseconds) + " ms. GLE= " + std::to_string(error));
        return false;
    }
    error = readError;
    Log("NuvPipeClient::ReadResponseFromPipe failed. GLE= " + std::to_string(error));
    return false;
}

} // namespace Corvani::Nuv::IPC
