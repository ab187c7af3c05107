// LogonUI asks a tile that wants an immediate logon (or one the user submitted) for its serialization,
// submits it and reports the result; then the verdict of the road.

#include "Console.h"
#include "logonui/FieldText.h"
#include "logonui/HostSession.h"
#include "logonui/LogonBufferView.h"
#include "road/StandInRecord.h"
#include "road/Verdict.h"

#include <string>

using Corvani::Nuv::Platform::UniqueCoTaskMemory;
using Corvani::Nuv::Platform::UniqueCoTaskString;

namespace HxHost {

namespace {

constexpr NTSTATUS kLogonFailure = static_cast<NTSTATUS>(0xC000006D);

std::wstring At(ULONGLONG ms) { return L"+" + std::to_wstring(ms) + L" ms"; }

// A splash still up this long after the UI application accepted SHOW covers the face UI.
constexpr ULONGLONG kSplashDownAfterShowMilliseconds = 300;

} // namespace

// The status text and icon a tile hands back with its serialization or result, as LogonUI shows them.
void HostSession::TellStatus(const wchar_t* call, const wchar_t* text, CREDENTIAL_PROVIDER_STATUS_ICON icon) {
    if (!text && icon == CPSI_NONE)
        return;
    const std::wstring line = std::wstring(call) + L" status: " + StatusText(text, icon);
    _timeline.Mark(line);
    if (!onRoad())
        PrintLine(line);
}

namespace {

} // namespace

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
        _timeline.Mark(L"no serialization: response " + std::to_wstring(response) + L" (" + ResponseName(response) +
                       L")");
        if (!onRoad())
            PrintLine(L"Serialization: none (" + std::wstring(ResponseName(response)) + L")");
        return;
    }
    _handedOver = true;
    _handedOverAt = _timeline.Since();
    _messageType = KerberosMessageType(serialization);
    const std::wstring header = SerializationHeader(serialization);
    _timeline.Mark(L"serialization handed over: " + header);
    if (!onRoad())
        PrintLine(L"Serialization: " + header);
    if (_messageType >= 0)
        PrintLogonBuffer(serialization);
    SecureZeroMemory(serialization.rgbSerialization, serialization.cbSerialization);
    ReportResult();
}

// The result of the logon LogonUI made with the serialization, as the host was told to report it.
void HostSession::ReportResult() {
    const NTSTATUS status = _options.logonFails ? kLogonFailure : 0;
    _result = _options.logonFails ? L"STATUS_LOGON_FAILURE" : L"STATUS_SUCCESS";
    UniqueCoTaskString statusText;
    CREDENTIAL_PROVIDER_STATUS_ICON statusIcon = CPSI_NONE;
    const Answer reported = Ask(L"ReportResult", [&] {
        return selected()->ReportResult(status, 0, statusText.put(), &statusIcon);
    });
    Check(reported, L"(" + _result + L")");
    _timeline.Mark(L"result reported: " + _result + (_options.logonFails ? L" (a wrong password)" : L""));
    TellStatus(reported.call, statusText.get(), statusIcon);
}

// Once a SHOW was accepted the splash must be down: it would cover the face UI.
void HostSession::CheckSplashAfterShow() {
    if (_options.standInRecord.empty() || !_observer.SplashSeen())
        return;
    for (const ULONGLONG shown : ReadStandInRecord(_options.standInRecord).showAcceptedAt) {
        const ULONGLONG check = shown + kSplashDownAfterShowMilliseconds;
        if (_observer.SplashUpAt(check)) {
            Fail(L"splash window down", L"the splash down within " + std::to_wstring(kSplashDownAfterShowMilliseconds) +
                                             L" ms of SHOW accepted",
                 L"the splash was still up at " + At(check - _timeline.Origin()));
            return;
        }
    }
}

// The story, then one verdict line: the first failed step, or a road's expectations checked.
void HostSession::Conclude() {
    const RoadExpectation& expect = _options.expect;
    if (expect.messageType >= 0 && _messageType != expect.messageType)
        Fail(L"serialization handed over", L"a logon buffer of message type " + std::to_wstring(expect.messageType),
             _messageType < 0 ? std::wstring(L"no logon buffer (auto-logon FALSE)")
                              : L"message type " + std::to_wstring(_messageType));
    CheckSplashAfterShow();
    if (expect.disconnect && !_disconnected)
        Fail(L"session disconnected", L"the locked session disconnected and LastLoggedOnProvider written",
             L"LastLoggedOnProvider unchanged");
    _timeline.Print();
    if (_failed) {
        PrintFailed(_failure.step, _failure.expected,
                    _laterFailures == 0 ? _failure.happened
                                        : _failure.happened + L" (and " + std::to_wstring(_laterFailures) +
                                              L" later failure(s), each on its line above)");
        return;
    }
    std::wstring summary;
    if (_messageType >= 0)
        summary = L"message type " + std::to_wstring(_messageType) + L" handed over at " + At(_handedOverAt) +
                  L", " + _result;
    else if (_handedOver)
        summary = L"serialization handed over at " + At(_handedOverAt);
    if (_disconnected)
        summary += std::wstring(summary.empty() ? L"" : L"; ") + L"locked session disconnected, LastLoggedOnProvider written";
    if (!expect.commands.empty()) {
        std::wstring commands;
        for (const std::wstring& command : expect.commands)
            commands += (commands.empty() ? L"" : L", ") + command;
        summary += std::wstring(summary.empty() ? L"" : L"; ") + L"the UI application received " + commands;
    }
    PrintPassed(summary.empty() ? L"every call succeeded" : summary);
}

} // namespace HxHost
