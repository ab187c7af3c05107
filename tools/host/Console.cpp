#include "Console.h"

#include <atomic>
#include <cstdio>

namespace HxHost {

namespace {
std::atomic<bool> g_verbose{false};
} // namespace

void PrintLine(const std::wstring& text) {
    const std::wstring line = text + L"\n";
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), bytes, nullptr,
                        nullptr);
    fwrite(utf8.data(), 1, utf8.size(), stdout);
    fflush(stdout);
}

void Detail(const std::wstring& text) {
    if (g_verbose)
        PrintLine(text);
}

void SetVerbose(bool verbose) { g_verbose = verbose; }

std::wstring Hex(HRESULT hr) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

} // namespace HxHost
