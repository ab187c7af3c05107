#include "support/PipePeer.h"

#include "support/TestPaths.h"

#include <fstream>
#include <filesystem>

namespace HxTest {

namespace {

Corvani::Nuv::Platform::UniqueHandle StartPeer(std::wstring commandLine, DWORD* pid = nullptr) {
    commandLine = L"\"" + BinDirectory() + L"hx_pipe_peer.exe\" " + commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process))
        return {};
    CloseHandle(process.hThread);
    if (pid != nullptr)
        *pid = process.dwProcessId;
    return Corvani::Nuv::Platform::UniqueHandle(process.hProcess);
}

std::vector<std::string> ReadLines(const std::wstring& path) {
    std::ifstream stream{std::filesystem::path(path)};
    std::vector<std::string> lines;
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line.substr(0, line.find('\r')));
    return lines;
}

} // namespace

PipeSquatter::PipeSquatter(const std::vector<std::wstring>& names)
    : _record(NewTempDirectory(L"hx-squatter-") + L"record.txt") {
    std::wstring commandLine = L"squat \"" + _record + L"\"";
    for (const std::wstring& name : names)
        commandLine += L" " + name;
    _process = StartPeer(commandLine, &_pid);
    for (int wait = 0; _process && wait < 1000 && !_ready; ++wait) {
        for (const std::string& line : ReadLines(_record))
            _ready = _ready || line == "READY";
        Sleep(10);
    }
}

PipeSquatter::~PipeSquatter() {
    if (_process) {
        TerminateProcess(_process.get(), 0);
        WaitForSingleObject(_process.get(), 5000);
    }
}

std::vector<std::string> PipeSquatter::Received() const {
    std::vector<std::string> received;
    for (const std::string& line : ReadLines(_record))
        if (line.rfind("RECV ", 0) == 0)
            received.push_back(line);
    return received;
}

DWORD SendFromAnotherProcess(const std::wstring& pipeName, const std::wstring& text, DWORD* pid) {
    std::wstring quoted;
    for (wchar_t character : text)
        quoted += character == L'"' ? std::wstring(L"\\\"") : std::wstring(1, character);
    const Corvani::Nuv::Platform::UniqueHandle process = StartPeer(L"send " + pipeName + L" \"" + quoted + L"\"", pid);
    DWORD exitCode = 99;
    if (process && WaitForSingleObject(process.get(), 15000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.get(), &exitCode);
    return exitCode;
}

} // namespace HxTest
