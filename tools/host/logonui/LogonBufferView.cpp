#include "logonui/LogonBufferView.h"

#include "Console.h"

#include "platform/NegotiatePackage.h"

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

const wchar_t* MessageTypeName(unsigned long type) {
    return type == 2 ? L" (KerbInteractiveLogon)" : type == 7 ? L" (KerbWorkstationUnlockLogon)" : L"";
}

// The package's name, for each package the host knows whose id the LSA gives.
std::wstring PackageName(ULONG id) {
    for (const char* name : {"Negotiate", "Kerberos", "MICROSOFT_AUTHENTICATION_PACKAGE_V1_0"}) {
        ULONG packageId = 0;
        if (SUCCEEDED(Corvani::Nuv::Platform::LookupAuthenticationPackage(name, packageId)) && packageId == id)
            return std::wstring(name, name + strlen(name));
    }
    return std::wstring();
}

} // namespace

int KerberosMessageType(const CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION& serialization) {
    const std::wstring package = PackageName(serialization.ulAuthenticationPackage);
    if ((package != L"Negotiate" && package != L"Kerberos") || !serialization.rgbSerialization ||
        serialization.cbSerialization < sizeof(unsigned long))
        return -1;
    return static_cast<int>(ReadAt<unsigned long>(serialization.rgbSerialization, 0));
}

std::wstring SerializationHeader(const CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION& serialization) {
    const std::wstring package = PackageName(serialization.ulAuthenticationPackage);
    std::wstring header = L"package " + (package.empty() ? std::wstring(L"(unknown)") : package) + L" (id " +
                          std::to_wstring(serialization.ulAuthenticationPackage) + L"), " +
                          std::to_wstring(serialization.cbSerialization) + L" bytes";
    const int type = KerberosMessageType(serialization);
    if (type >= 0)
        header += L", message type " + std::to_wstring(type) + MessageTypeName(static_cast<unsigned long>(type));
    return header;
}

void PrintLogonBuffer(const CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION& serialization, const Verbosity& verbosity) {
    if (!serialization.rgbSerialization || serialization.cbSerialization < 64) {
        verbosity.Detail(L"  logon buffer missing or shorter than its header");
        return;
    }
    const BYTE* buffer = serialization.rgbSerialization;
    const auto messageType = ReadAt<unsigned long>(buffer, 0);
    const CountedText domain = Descriptor(buffer, 8), user = Descriptor(buffer, 24), password = Descriptor(buffer, 40);
    verbosity.Detail(L"  logon buffer " + std::to_wstring(serialization.cbSerialization) + L" bytes, message type " +
           std::to_wstring(messageType) + MessageTypeName(messageType));
    verbosity.Detail(L"  domain \"" + TextOf(serialization, domain) + L"\" at " + std::to_wstring(domain.offset));
    verbosity.Detail(L"  user \"" + TextOf(serialization, user) + L"\" at " + std::to_wstring(user.offset));
    verbosity.Detail(L"  password " + std::to_wstring(password.length / sizeof(wchar_t)) + L" characters at " +
                     std::to_wstring(password.offset));
    verbosity.Detail(L"  authentication package " + std::to_wstring(serialization.ulAuthenticationPackage) +
                     L", provider " + GuidText(serialization.clsidCredentialProvider));
}

} // namespace HxHost
