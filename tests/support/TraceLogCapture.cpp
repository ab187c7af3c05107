#include "support/TraceLogCapture.h"

#include <algorithm>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <tuple>
#include <windows.h>

namespace HxTest {

namespace {

constexpr wchar_t kInstallInfoKey[] = L"SOFTWARE\\Halvex\\InstallInfo";

std::wstring NewCaptureDirectory() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    std::wstring directory = std::wstring(temp) + L"hxlog-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                             std::to_wstring(GetTickCount64()) + L"\\";
    std::filesystem::create_directories(directory + L"logs");
    return directory;
}

std::string ToAnsi(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string ansi(static_cast<size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), ansi.data(), length, nullptr,
                        nullptr);
    return ansi;
}

} // namespace

TraceLogCapture::TraceLogCapture()
    : _installDirectory(NewCaptureDirectory()), _logsDirectory(_installDirectory + L"logs\\"),
      _installDir(kInstallInfoKey, L"InstallDir") {
    // InstallDir is stored without its trailing backslash: the loggers append "\NLog.config".
    _installDir.SetString(_installDirectory.substr(0, _installDirectory.size() - 1));
    _ready = WriteNlogConfig(_installDirectory, NlogConfigFor(_logsDirectory)) &&
             _installDir.ReadString() + L"\\" == _installDirectory;
}

TraceLogCapture::~TraceLogCapture() {
    std::error_code ignored;
    std::filesystem::remove_all(_installDirectory, ignored);
}

std::wstring TraceLogCapture::TodaysFile(const std::wstring& baseName) const {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    return _logsDirectory + std::to_wstring(now.wYear) + L"-" + std::to_wstring(now.wMonth) + L"-" +
           std::to_wstring(now.wDay) + L"-" + baseName;
}

// Every daily file of the base name, oldest first, so that a run across local midnight reads on in the
// next day's file.
std::string TraceLogCapture::ReadBytes(const std::wstring& baseName) const {
    std::vector<std::pair<std::tuple<int, int, int>, std::filesystem::path>> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(_logsDirectory, error)) {
        const std::wstring name = entry.path().filename().wstring();
        int year = 0, month = 0, day = 0;
        wchar_t rest[MAX_PATH] = {};
        if (swscanf(name.c_str(), L"%d-%d-%d-%259ls", &year, &month, &day, rest) == 4 && baseName == rest)
            files.push_back({{year, month, day}, entry.path()});
    }
    std::sort(files.begin(), files.end());
    std::string bytes;
    for (const auto& [date, path] : files) {
        std::ifstream file(path, std::ios::binary);
        bytes.append(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    return bytes;
}

std::vector<std::string> TraceLogCapture::ReadLines(const std::wstring& baseName) const {
    std::istringstream content(ReadBytes(baseName));
    std::vector<std::string> lines;
    for (std::string line; std::getline(content, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> TraceLogCapture::CPMessages() const {
    std::vector<std::string> messages;
    for (const std::string& line : CPLines())
        messages.push_back(CPMessageOf(line));
    return messages;
}

bool WriteNlogConfig(const std::wstring& directory, const std::string& content) {
    std::ofstream file(std::filesystem::path(directory + L"NLog.config"), std::ios::binary | std::ios::trunc);
    file << content;
    return static_cast<bool>(file.flush());
}

std::string NlogConfigFor(const std::wstring& logsDirectory) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n"
           "<nlog>\r\n"
           "  <targets>\r\n"
           "    <target name=\"file\" xsi:type=\"File\" fileName=\"" +
           ToAnsi(logsDirectory) +
           "service-${shortdate}.log\" />\r\n"
           "  </targets>\r\n"
           "</nlog>\r\n";
}

std::string CPMessageOf(const std::string& line) {
    size_t pos = 0;
    for (int field = 0; field < 5; ++field) {
        pos = line.find(" | ", pos);
        if (pos == std::string::npos)
            return std::string();
        pos += 3;
    }
    return line.substr(pos);
}

} // namespace HxTest
