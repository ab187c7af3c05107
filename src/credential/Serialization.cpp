// The logon buffer handed to LogonUI and the handling of the logon result.

#include "credential/LogonBuffer.h"
#include "credential/NuvCredential.h"
#include "platform/ComBoundary.h"
#include "platform/NegotiatePackage.h"
#include "platform/ProviderClsid.h"
#include "platform/SecureText.h"

#include <memory>
#include <utility>

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

// The packed buffer holds the password: wiped before it is freed, unless it was handed over.
class LogonBufferOwner {
public:
    explicit LogonBufferOwner(size_t size) : _buffer(static_cast<uint8_t*>(CoTaskMemAlloc(size))), _size(size) {}
    ~LogonBufferOwner() {
        if (_buffer)
            SecureZeroMemory(_buffer, _size);
        Platform::UniqueCoTaskMemory owner(_buffer);
    }
    LogonBufferOwner(const LogonBufferOwner&) = delete;
    LogonBufferOwner& operator=(const LogonBufferOwner&) = delete;

    uint8_t* get() const noexcept { return _buffer; }
    [[nodiscard]] uint8_t* release() noexcept { return std::exchange(_buffer, nullptr); }

private:
    uint8_t* _buffer;
    size_t _size;
};

} // namespace

HRESULT NuvCredential::DescribeLogon(uint32_t& messageType) const {
    if (!LogonTextsFit({View(_domain), View(_user), View(_password)}))
        return HRESULT_FROM_WIN32(ERROR_ARITHMETIC_OVERFLOW);
    return MessageTypeFor(_usageScenario, messageType);
}

// One consistent set of credentials goes into the buffer: they are read under _credentialsLock, which a
// LOGON on the pipe thread takes to replace them.
HRESULT NuvCredential::PackLogon(CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION& serialization) {
    serialization.rgbSerialization = nullptr;
    serialization.cbSerialization = 0;
    std::unique_ptr<LogonBufferOwner> buffer;
    size_t size = 0;
    {
        Platform::CriticalSectionLock lock(_credentialsLock);
        uint32_t messageType = 0;
        const HRESULT described = DescribeLogon(messageType);
        if (FAILED(described))
            return described;
        Log("NuvCredential::GetSerialization | 2");
        const LogonTexts texts = {View(_domain), View(_user), View(_password)};
        size = LogonBufferSize(texts);
        buffer = std::make_unique<LogonBufferOwner>(size);
        if (!buffer->get())
            return E_OUTOFMEMORY;
        PackLogonBuffer(messageType, texts, buffer->get());
    }
    Log("NuvCredential::GetSerialization | 3");
    ULONG package = 0;
    const HRESULT found = Platform::LookupNegotiatePackage(package);
    if (FAILED(found))
        return found;
    serialization.ulAuthenticationPackage = package;
    serialization.clsidCredentialProvider = CLSID_NuvProvider;
    serialization.cbSerialization = static_cast<ULONG>(size);
    serialization.rgbSerialization = buffer->release();
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
    const HRESULT hr = Platform::ComBoundary([&] { return PackLogon(*serialization); });
    if (FAILED(hr)) {
        Log("NuvCredential::GetSerialization | ERROR");
        return hr;
    }
    Log("NuvCredential::GetSerialization | 4");
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
    const bool failed = status == kStatusLogonFailure;
    {
        Platform::CriticalSectionLock lock(_credentialsLock);
        Platform::ClearSecret(_password);
        if (!failed) {
            Platform::ClearSecret(_domain);
            Platform::ClearSecret(_user);
        }
    }
    if (failed) {
        Log("NuvCredential::ReportResult | ERROR STATUS_LOGON_FAILURE");
        _logonFailed = true;
    }
    return S_OK;
}

} // namespace Corvani::Nuv::CredentialProvider
