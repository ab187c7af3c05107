#include "LogTestHelpers.h"

#include "LoggingTestProcess.h"
#include "platform/UniqueResource.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <knownfolders.h>
#include <shlobj.h>

namespace HxTest {

namespace {

std::tm g_fakeNow = {};
constexpr char kFlushMarker[] = "hx-debug-output-flush";

} // namespace

ScopedNlogConfig::ScopedNlogConfig(const std::optional<std::string>& content) {
    const std::wstring& directory = ProcessCapture().InstallDirectory();
    if (content)
        WriteNlogConfig(directory, *content);
    else
        std::filesystem::remove(directory + L"NLog.config");
}

ScopedNlogConfig::~ScopedNlogConfig() {
    WriteNlogConfig(ProcessCapture().InstallDirectory(), NlogConfigFor(ProcessCapture().LogsDirectory()));
}

void SetFakeNow(int year, int month, int day, int hour, int minute, int second) {
    g_fakeNow = {};
    g_fakeNow.tm_year = year - 1900;
    g_fakeNow.tm_mon = month - 1;
    g_fakeNow.tm_mday = day;
    g_fakeNow.tm_hour = hour;
    g_fakeNow.tm_min = minute;
    g_fakeNow.tm_sec = second;
}

std::tm FakeNow() {
    return g_fakeNow;
}

std::wstring FreshDirectoryPath(const std::wstring& name) {
    static int counter = 0;
    return ProcessCapture().InstallDirectory() + name + L"-" + std::to_wstring(++counter) + L"\\";
}

std::string ConfigNaming(const std::wstring& directory) {
    return "<nlog>\r\n  <targets>\r\n    <target name=\"f\" fileName=\"" +
           std::string(directory.begin(), directory.end()) +
           "service.log\" />\r\n  </targets>\r\n</nlog>\r\n";
}

std::wstring FallbackLogsPath() {
    Corvani::Nuv::Platform::UniqueCoTaskString folder;
    SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, folder.put());
    return std::wstring(folder ? folder.get() : L"") + L"\\hxdata\\logs\\";
}

std::string ReadFileBytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<std::string> SplitCRLFLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = bytes.find("\r\n"); end != std::string::npos; end = bytes.find("\r\n", start)) {
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    if (start < bytes.size())
        lines.push_back(bytes.substr(start)); // a last line without its CR LF
    return lines;
}

bool FileExists(const std::wstring& path) {
    return std::filesystem::exists(std::filesystem::path(path));
}

std::vector<std::string> FlushedFrom(const DebugOutputCapture& capture, unsigned long processId) {
    OutputDebugStringA(kFlushMarker);
    for (int attempt = 0; attempt < 500; ++attempt) {
        std::vector<std::string> own = capture.From(GetCurrentProcessId());
        if (std::find(own.begin(), own.end(), kFlushMarker) != own.end())
            break;
        Sleep(10);
    }
    std::vector<std::string> texts = capture.From(processId);
    texts.erase(std::remove(texts.begin(), texts.end(), kFlushMarker), texts.end());
    return texts;
}

} // namespace HxTest
