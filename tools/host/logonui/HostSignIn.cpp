// LogonUI asks a tile that wants an immediate logon (or one the user submitted) for its serialization,
// submits it and reports the result.

#include "logonui/FieldText.h"
#include "logonui/HostSession.h"
#include "logonui/LogonBufferView.h"

#include <string>

using Corvani::Nuv::Platform::UniqueCoTaskMemory;
using Corvani::Nuv::Platform::UniqueCoTaskString;

namespace HxHost {

namespace {

constexpr NTSTATUS kLogonFailure = static_cast<NTSTATUS>(0xC000006D);

} // namespace

// The status text and icon a tile hands back with its serialization or result, as LogonUI shows them.
void HostSession::TellStatus(const wchar_t* call, const wchar_t* text, CREDENTIAL_PROVIDER_STATUS_ICON icon) {
    if (!text && icon == CPSI_NONE)
        return;
    const std::wstring line = std::wstring(call) + L" status: " + StatusText(text, icon);
    _road.Tell(line, line);
}

void HostSession::SignIn() {
    if (!_autoLogon && !_options.serialization)
        return;
    CREDENTIAL_PROVIDER_GET_SERIALIZATION_RESPONSE response = CPGSR_NO_CREDENTIAL_NOT_FINISHED;
    CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION serialization = {};
    UniqueCoTaskString statusText;
    CREDENTIAL_PROVIDER_STATUS_ICON statusIcon = CPSI_NONE;
    const Answer asked = Ask(L"GetSerialization", [&] {
        return selected()->GetSerialization(&response, &serialization, statusText.put(), &statusIcon);
    });
    UniqueCoTaskMemory buffer(serialization.rgbSerialization);
    TellStatus(asked.call, statusText.get(), statusIcon);
    if (!Check(asked))
        return;
    Detail(L"  response " + std::to_wstring(response) + L" (" + ResponseName(response) + L")");
    if (response != CPGSR_RETURN_CREDENTIAL_FINISHED) {
        _road.Tell(L"no serialization: response " + std::to_wstring(response) + L" (" + ResponseName(response) + L")",
                   L"Serialization: none (" + std::wstring(ResponseName(response)) + L")");
        return;
    }
    _outcome.handedOver = true;
    _outcome.handedOverAt = _story.Since();
    _outcome.messageType = KerberosMessageType(serialization);
    const std::wstring header = SerializationHeader(serialization);
    _road.Tell(L"serialization handed over: " + header, L"Serialization: " + header);
    if (_outcome.messageType >= 0)
        PrintLogonBuffer(serialization, _verbosity);
    SecureZeroMemory(serialization.rgbSerialization, serialization.cbSerialization);
    ReportResult();
}

// The result of the logon LogonUI made with the serialization, as the host was told to report it.
void HostSession::ReportResult() {
    const NTSTATUS status = _options.logonFails ? kLogonFailure : 0;
    _outcome.result = _options.logonFails ? L"STATUS_LOGON_FAILURE" : L"STATUS_SUCCESS";
    UniqueCoTaskString statusText;
    CREDENTIAL_PROVIDER_STATUS_ICON statusIcon = CPSI_NONE;
    const Answer reported = Ask(L"ReportResult", [&] {
        return selected()->ReportResult(status, 0, statusText.put(), &statusIcon);
    });
    Check(reported, L"(" + _outcome.result + L")");
    _story.Mark(L"result reported: " + _outcome.result + (_options.logonFails ? L" (a wrong password)" : L""));
    TellStatus(reported.call, statusText.get(), statusIcon);
}

} // namespace HxHost
