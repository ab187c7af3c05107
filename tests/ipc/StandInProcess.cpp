#include "StandInProcess.h"

#include "PipeTestSupport.h"
#include "support/TestPaths.h"

namespace HxIpcTest {

namespace {

std::wstring NewRecordFile() {
    static int counter = 0;
    wchar_t directory[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, directory);
    return std::wstring(directory) + L"hx-ui-standin-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter) + L".txt";
}

std::string ReadWholeFile(const std::wstring& path) {
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    std::string content;
    char buffer[4096];
    DWORD read = 0;
    while (file && ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
        content.append(buffer, read);
    return content;
}

} // namespace

StandInProcess::StandInProcess(const std::wstring& options, bool feedStdin) : _recordFile(NewRecordFile()) {
    std::wstring commandLine =
        L"\"" + HxTest::BinDirectory() + L"Corvani.Halvex.UI.exe\" --record \"" + _recordFile + L"\" " + options;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    Corvani::Nuv::Platform::UniqueHandle childStdin;
    if (feedStdin) {
        SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        HANDLE readEnd = nullptr, writeEnd = nullptr;
        if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0))
            return;
        childStdin.reset(readEnd);
        _stdin.reset(writeEnd);
        SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);
        startup.hStdInput = readEnd;
    }
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, feedStdin, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process))
        return;
    _process.reset(process.hProcess);
    Corvani::Nuv::Platform::UniqueHandle thread(process.hThread);
    _pid = process.dwProcessId;
    WaitForLine("START", 10000);
}

StandInProcess::~StandInProcess() {
    if (_process && !WaitForExit(0)) {
        TerminateProcess(_process.get(), 1);
        WaitForExit(5000);
    }
    DeleteFileW(_recordFile.c_str());
}

std::vector<std::string> StandInProcess::Lines() const {
    std::vector<std::string> lines;
    const std::string content = ReadWholeFile(_recordFile);
    std::size_t begin = 0;
    for (std::size_t end; (end = content.find("\r\n", begin)) != std::string::npos; begin = end + 2)
        lines.push_back(content.substr(begin, end - begin));
    return lines;
}

std::vector<std::string> StandInProcess::LinesStartingWith(const std::string& prefix) const {
    std::vector<std::string> matching;
    for (const std::string& line : Lines())
        if (line.rfind(prefix, 0) == 0)
            matching.push_back(line);
    return matching;
}

bool StandInProcess::WaitForLine(const std::string& prefix, DWORD ms) const {
    const ULONGLONG giveUpAt = NowMs() + ms;
    while (LinesStartingWith(prefix).empty()) {
        if (NowMs() >= giveUpAt)
            return false;
        Sleep(10);
    }
    return true;
}

bool StandInProcess::WriteStdin(const std::string& text) {
    DWORD written = 0;
    return _stdin && WriteFile(_stdin.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

bool StandInProcess::WaitForExit(DWORD ms) const {
    return _process && WaitForSingleObject(_process.get(), ms) == WAIT_OBJECT_0;
}

} // namespace HxIpcTest
