#include "CommandServer.h"

#include <vector>

namespace HxUIStandIn {

namespace {

constexpr DWORD kBufferBytes = 4096;
constexpr wchar_t kDefaultReply[] = L"{\"Result\": \"OK\"}";

bool IsCloseCommand(const std::wstring& text) {
    return text.find(L"\"CLOSE\"") != std::wstring::npos;
}

} // namespace

CommandServer::CommandServer(const StandInOptions& options, Recorder& recorder, CommandHandler onCommand)
    : _options(options), _recorder(recorder),
      _pipeName(L"\\\\.\\pipe\\NuvUIPipeServer" + std::to_wstring(GetCurrentProcessId())),
      _onCommand(std::move(onCommand)) {}

void CommandServer::Listen() { _listening = CreateInstance(); }

bool CommandServer::Run() {
    using Corvani::Nuv::Platform::UniqueFileHandle;
    UniqueFileHandle listening = _listening ? std::move(_listening) : CreateInstance();
    if (!listening) {
        _recorder.Line("SERVE failed " + std::to_string(GetLastError()));
        return false;
    }
    while (listening) {
        if (!ConnectNamedPipe(listening.get(), nullptr) && GetLastError() != ERROR_PIPE_CONNECTED) {
            listening = CreateInstance();
            continue;
        }
        UniqueFileHandle served = std::move(listening);
        listening = CreateInstance();
        const bool goOn = Serve(served.get());
        FlushFileBuffers(served.get());
        DisconnectNamedPipe(served.get());
        if (!goOn)
            break;
    }
    return true;
}

Corvani::Nuv::Platform::UniqueFileHandle CommandServer::CreateInstance() {
    return Corvani::Nuv::Platform::UniqueFileHandle(CreateNamedPipeW(
        _pipeName.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
        PIPE_UNLIMITED_INSTANCES, _options.neverRead ? 0 : kBufferBytes, _options.neverRead ? 0 : kBufferBytes, 0,
        nullptr));
}

bool CommandServer::Serve(HANDLE pipe) {
    if (_options.neverRead) {
        // The connection is held, and with no pipe buffer the client's write never completes.
        _recorder.Line("NEVERREAD");
        Sleep(INFINITE);
    }
    std::wstring text;
    DWORD bytes = 0;
    if (!ReadCommand(pipe, text, bytes)) {
        _recorder.Line("RECV failed " + std::to_string(GetLastError()));
        return true;
    }
    _recorder.Line("RECV " + std::to_string(bytes) + " " + HxTools::ToUtf8Text(text));
    if (++_commandsReceived <= _options.hangUpFirst) {
        _recorder.Line("HANGUP");
        return true;
    }
    if (_options.noReply) {
        WaitUntilClientLeaves(pipe);
        return true;
    }
    if (_options.replyDelayMilliseconds != 0)
        Sleep(_options.replyDelayMilliseconds);
    Reply(pipe);
    if (_onCommand)
        _onCommand(text);
    return !(IsCloseCommand(text) && _options.exitOnClose);
}

// One whole message, however long; the text ends at its first NUL.
bool CommandServer::ReadCommand(HANDLE pipe, std::wstring& text, DWORD& bytes) {
    std::vector<char> message;
    char buffer[kBufferBytes];
    for (;;) {
        DWORD read = 0;
        const BOOL ok = ReadFile(pipe, buffer, sizeof(buffer), &read, nullptr);
        if (!ok && GetLastError() != ERROR_MORE_DATA)
            return false;
        message.insert(message.end(), buffer, buffer + read);
        if (ok)
            break;
    }
    bytes = static_cast<DWORD>(message.size());
    text.assign(reinterpret_cast<const wchar_t*>(message.data()), message.size() / sizeof(wchar_t));
    text = text.substr(0, text.find(L'\0'));
    return true;
}

void CommandServer::Reply(HANDLE pipe) {
    std::vector<char> reply;
    if (_options.replyBytesGiven) {
        reply.resize(_options.replyBytes);
        for (std::size_t i = 0; i < reply.size(); ++i)
            reply[i] = static_cast<char>('a' + i % 26);
    } else {
        const char* text = reinterpret_cast<const char*>(kDefaultReply);
        reply.assign(text, text + sizeof(kDefaultReply));
    }
    DWORD written = 0;
    if (WriteFile(pipe, reply.data(), static_cast<DWORD>(reply.size()), &written, nullptr))
        _recorder.Line("REPLY " + std::to_string(written));
    else
        _recorder.Line("REPLY failed " + std::to_string(GetLastError()));
}

// Neither answers nor disconnects: the connection stays until the client closes its end.
void CommandServer::WaitUntilClientLeaves(HANDLE pipe) {
    _recorder.Line("NOREPLY");
    char buffer[kBufferBytes];
    DWORD read = 0;
    while (ReadFile(pipe, buffer, sizeof(buffer), &read, nullptr) || GetLastError() == ERROR_MORE_DATA) {
    }
    _recorder.Line("CLIENT LEFT");
}

} // namespace HxUIStandIn
