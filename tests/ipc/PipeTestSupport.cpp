#include "PipeTestSupport.h"

#include "ipc/PipeNames.h"

namespace HxIpcTest {

std::vector<char> Utf16Message(const std::wstring& text) {
    const char* begin = reinterpret_cast<const char*>(text.c_str());
    return std::vector<char>(begin, begin + (text.size() + 1) * sizeof(wchar_t));
}

DWORD UniqueFakePid() {
    static DWORD next = 0;
    return 3000000000u + (GetCurrentProcessId() % 1000) * 100000u + next++;
}

UniqueFileHandle OpenClient(const std::wstring& pipeName, DWORD patienceMs) {
    const ULONGLONG giveUpAt = NowMs() + patienceMs;
    for (;;) {
        UniqueFileHandle pipe(CreateFileW(pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
        const DWORD error = GetLastError();
        if (pipe || NowMs() >= giveUpAt)
            return pipe;
        if (error == ERROR_PIPE_BUSY)
            WaitNamedPipeW(pipeName.c_str(), 500);
        else if (error == ERROR_FILE_NOT_FOUND)
            Sleep(5);
        else
            return pipe;
    }
}

RawExchange SendRaw(const std::wstring& pipeName, const std::vector<char>& message) {
    RawExchange exchange;
    UniqueFileHandle pipe = OpenClient(pipeName);
    if (!pipe) {
        exchange.error = GetLastError();
        return exchange;
    }
    exchange.opened = true;
    DWORD mode = PIPE_READMODE_MESSAGE;
    SetNamedPipeHandleState(pipe.get(), &mode, nullptr, nullptr);
    DWORD written = 0;
    if (!WriteFile(pipe.get(), message.data(), static_cast<DWORD>(message.size()), &written, nullptr)) {
        exchange.error = GetLastError();
        return exchange;
    }
    exchange.written = true;
    char buffer[4096];
    DWORD read = 0;
    if (!ReadFile(pipe.get(), buffer, sizeof(buffer), &read, nullptr)) {
        exchange.error = GetLastError();
        return exchange;
    }
    exchange.replied = true;
    exchange.replyBytes = read;
    exchange.reply.assign(buffer, buffer + read);
    return exchange;
}

UniqueFileHandle CreateServerInstance(const std::wstring& pipeName, DWORD maxInstances, DWORD extraOpenMode,
                                      DWORD pipeType) {
    const DWORD readMode = pipeType == PIPE_TYPE_MESSAGE ? PIPE_READMODE_MESSAGE : PIPE_READMODE_BYTE;
    return UniqueFileHandle(CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_DUPLEX | extraOpenMode,
                                             pipeType | readMode | PIPE_WAIT, maxInstances, 2048, 2048, 0,
                                             nullptr));
}

ULONGLONG NowMs() {
    return GetTickCount64();
}

} // namespace HxIpcTest
