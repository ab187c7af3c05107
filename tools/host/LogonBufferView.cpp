#include "LogonBufferView.h"

#include "Console.h"

#include <cstring>
#include <string>

namespace HxHost {

namespace {

struct CountedText {
    unsigned short length = 0;
    unsigned long long offset = 0;
};

template <typename T> T ReadAt(const BYTE* buffer, size_t offset) {
    T value;
    std::memcpy(&value, buffer + offset, sizeof(value));
    return value;
}

CountedText Descriptor(const BYTE* buffer, size_t offset) {
    return {ReadAt<unsigned short>(buffer, offset), ReadAt<unsigned long long>(buffer, offset + 8)};
}

std::wstring TextOf(const CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION& serialization, const CountedText& text) {
    if (text.offset + text.length > serialization.cbSerialization)
        return L"(out of bounds)";
    std::wstring result(text.length / sizeof(wchar_t), L'\0');
    std::memcpy(result.data(), serialization.rgbSerialization + text.offset, text.length);
    return result;
}

std::wstring GuidText(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

} // namespace

void PrintLogonBuffer(const CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION& serialization) {
    if (!serialization.rgbSerialization || serialization.cbSerialization < 64) {
        PrintLine(L"  logon buffer missing or shorter than its header");
        return;
    }
    const BYTE* buffer = serialization.rgbSerialization;
    const auto messageType = ReadAt<unsigned long>(buffer, 0);
    const CountedText domain = Descriptor(buffer, 8), user = Descriptor(buffer, 24), password = Descriptor(buffer, 40);
    PrintLine(L"  logon buffer " + std::to_wstring(serialization.cbSerialization) + L" bytes, message type " +
              std::to_wstring(messageType) +
              (messageType == 2 ? L" (KerbInteractiveLogon)" : messageType == 7 ? L" (KerbWorkstationUnlockLogon)" : L""));
    PrintLine(L"  domain \"" + TextOf(serialization, domain) + L"\" at " + std::to_wstring(domain.offset));
    PrintLine(L"  user \"" + TextOf(serialization, user) + L"\" at " + std::to_wstring(user.offset));
    PrintLine(L"  password " + std::to_wstring(password.length / sizeof(wchar_t)) + L" characters at " +
              std::to_wstring(password.offset));
    PrintLine(L"  authentication package " + std::to_wstring(serialization.ulAuthenticationPackage) +
              L", provider " + GuidText(serialization.clsidCredentialProvider));
}

} // namespace HxHost
