// The logon buffer handed to LogonUI and the handling of the logon result.

#include "credential/LogonBuffer.h"
#include "credential/NuvCredential.h"
#include "platform/NegotiatePackage.h"
#include "platform/ProviderClsid.h"
#include "platform/SecureText.h"

namespace Corvani::Nuv::CredentialProvider {

namespace {

constexpr NTSTATUS kStatusLogonFailure = static_cast<NTSTATUS>(0xC000006D);

std::u16string_view View(const std::wstring& text) {
    return std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size());
}

HRESULT MessageTypeFor(CREDENTIAL_PROVIDER_USAGE_SCENARIO scenario, uint32_t& messageType) {
    switch (scenario) {
    case CPUS_LOGON: messageType = kKerbInteractiveLogon; return S_OK;
    case CPUS_UNLOCK_WORKSTATION: messageType = kKerbWorkstationUnlockLogon; return S_OK;
    case CPUS_CREDUI: messageType = 0; return S_OK;
    default: return E_FAIL;
    }
}

// The packed buffer holds the password: wiped before it is freed.
void DiscardBuffer(CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION& serialization) {
    if (serialization.rgbSerialization) {
        SecureZeroMemory(serialization.rgbSerialization, serialization.cbSerialization);
        Platform::UniqueCoTaskMemory owner(serialization.rgbSerialization);
    }
    serialization.rgbSerialization = nullptr;
    serialization.cbSerialization = 0;
}

} // namespace

HRESULT NuvCredential::DescribeLogon(uint32_t& messageType) const {
    if (!LogonTextsFit({View(_domain), View(_user), View(_password)}))
        return HRESULT_FROM_WIN32(ERROR_ARITHMETIC_OVERFLOW);
    return MessageTypeFor(_usageScenario, messageType);
}

HRESULT NuvCredential::PackLogon(uint32_t messageType,
                                 CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION& serialization) const {
    const LogonTexts texts = {View(_domain), View(_user), View(_password)};
    const size_t size = LogonBufferSize(texts);
    auto* buffer = static_cast<uint8_t*>(CoTaskMemAlloc(size));
    if (!buffer)
        return E_OUTOFMEMORY;
    PackLogonBuffer(messageType, texts, buffer);
    serialization.cbSerialization = static_cast<ULONG>(size);
    serialization.rgbSerialization = buffer;
    return S_OK;
}

IFACEMETHODIMP NuvCredential::GetSerialization(CREDENTIAL_PROVIDER_GET_SERIALIZATION_RESPONSE* response,
                                               CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION* serialization,
                                               LPWSTR* /*optionalStatusText*/,
                                               CREDENTIAL_PROVIDER_STATUS_ICON* /*optionalStatusIcon*/) {
    Log("NuvCredential::GetSerialization | 1");
    _autoLogon = 0;
    if (!response || !serialization) {
        Log("NuvCredential::GetSerialization | ERROR");
        return E_INVALIDARG;
    }
    uint32_t messageType = 0;
    HRESULT hr = DescribeLogon(messageType);
    if (SUCCEEDED(hr)) {
        Log("NuvCredential::GetSerialization | 2");
        hr = PackLogon(messageType, *serialization);
    }
    ULONG package = 0;
    if (SUCCEEDED(hr)) {
        Log("NuvCredential::GetSerialization | 3");
        hr = Platform::LookupNegotiatePackage(package);
        if (FAILED(hr))
            DiscardBuffer(*serialization);
    }
    if (FAILED(hr)) {
        Log("NuvCredential::GetSerialization | ERROR");
        return hr;
    }
    Log("NuvCredential::GetSerialization | 4");
    serialization->ulAuthenticationPackage = package;
    serialization->clsidCredentialProvider = CLSID_NuvProvider;
    *response = CPGSR_RETURN_CREDENTIAL_FINISHED;
    return S_OK;
}

IFACEMETHODIMP NuvCredential::ReportResult(NTSTATUS status, NTSTATUS /*substatus*/, LPWSTR* optionalStatusText,
                                           CREDENTIAL_PROVIDER_STATUS_ICON* optionalStatusIcon) {
    Log("NuvCredential::ReportResult | ");
    if (optionalStatusText)
        *optionalStatusText = nullptr;
    if (optionalStatusIcon)
        *optionalStatusIcon = CPSI_NONE;
    Platform::ClearSecret(_password);
    if (status == kStatusLogonFailure) {
        Log("NuvCredential::ReportResult | ERROR STATUS_LOGON_FAILURE");
        _logonFailed = true;
    } else {
        Platform::ClearSecret(_domain);
        Platform::ClearSecret(_user);
    }
    return S_OK;
}

} // namespace Corvani::Nuv::CredentialProvider
