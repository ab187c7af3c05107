#include "Console.h"

#include "common/Utf8Text.h"

#include <objbase.h>

#include <cstdio>

namespace HxHost {

void PrintLine(const std::wstring& text) {
    const std::string utf8 = HxTools::ToUtf8Text(text + L"\n");
    fwrite(utf8.data(), 1, utf8.size(), stdout);
    fflush(stdout);
}

std::wstring Hex(HRESULT hr) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

std::wstring GuidText(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

} // namespace HxHost
