// The host's stand-in for a recognised face, through COM alone: before LogonUI creates the provider, the
// host tells the UI application stand-in (through its environment, which the provider's launch passes
// on) where to record what it receives and whom to recognise. Selecting the tile then makes the provider
// start the service and launch the signed stand-in, which, on its first SHOW, places the credentials in
// the sections as the product's service does and sends LOGON. The host waits, bounded, for what LogonUI
// would see: CredentialsChanged, or the locked session disconnected with this provider remembered.

#include "Console.h"
#include "logonui/HostEvents.h"
#include "platform/ProviderClsid.h"
#include "road/RoadJudge.h"
#include "road/StandInRecord.h"

#include <string>

namespace HxHost {

namespace {

constexpr wchar_t kStandInOptionsVariable[] = L"HX_UI_STANDIN_OPTIONS";
constexpr ULONGLONG kStartPatienceMilliseconds = 20000;       // selection to the UI application's start
constexpr ULONGLONG kRecognitionPatienceMilliseconds = 30000; // selection to CredentialsChanged
constexpr ULONGLONG kCommandPatienceMilliseconds = 10000;     // end of the lock-screen script to the commands
constexpr DWORD kPollMilliseconds = 50;
// The provider's trace text when it refuses to start a UI application whose signature it does not trust.
constexpr char kStartRefused[] = "UI EXE verification Failed";

std::wstring Quote(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring TemporaryRecord() {
    wchar_t directory[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, directory);
    return std::wstring(directory) + L"hxhost-" + std::to_wstring(GetCurrentProcessId()) + L"-ui-standin.txt";
}

std::wstring Listed(const std::vector<std::wstring>& items) {
    std::wstring text;
    for (const std::wstring& item : items)
        text += (text.empty() ? L"" : L", ") + item;
    return text.empty() ? L"none" : text;
}

} // namespace

// What went wrong, in the provider's own words when its trace log has an error since the start.
std::wstring RoadJudge::WithTraceError(const std::wstring& happened) const {
    const std::wstring error = _verdict.LatestTraceError();
    return error.empty() ? happened : happened + L" (the trace log says: " + error + L")";
}

void RoadJudge::PrepareStandIn() {
    if (_standInRecord.empty())
        _standInRecord = TemporaryRecord();
    DeleteFileW(_standInRecord.c_str());
    std::wstring options = L"--record " + Quote(_standInRecord) + L" --record-times";
    if (_options.recognize)
        options += L" --credentials " + Quote(_options.domain) + L" " + Quote(_options.user) + L" " +
                   Quote(_options.password) + L" --on-show wait:" + std::to_wstring(_options.recognitionDelay) +
                   L",recognize";
    // Options the caller gave the stand-in already (misbehaviour for a measurement, say) are kept; they are
    // read once, so that a later provider instance of the same run does not add its own to the first's.
    static const std::wstring given = [] {
        wchar_t text[2048] = {};
        const DWORD length = GetEnvironmentVariableW(kStandInOptionsVariable, text, ARRAYSIZE(text));
        return length > 0 && length < ARRAYSIZE(text) ? std::wstring(text) : std::wstring();
    }();
    const std::wstring all = given.empty() ? options : given + L" " + options;
    SetEnvironmentVariableW(kStandInOptionsVariable, all.c_str());
    if (_options.recognize)
        PrintLine(L"The UI application will recognise " + _options.domain + L"\\" + _options.user + L" (password " +
                  std::to_wstring(_options.password.size()) + L" characters) " +
                  std::to_wstring(_options.recognitionDelay) + L" ms after its first SHOW");
}

// True when LogonUI was told that the credential changed; false when the provider disconnected the
// locked session instead, or when a step did not happen in time (then the session has failed).
bool RoadJudge::AwaitRecognition(const ProviderEvents& events) {
    const LONG changesBefore = events.changes();
    const ULONGLONG since = GetTickCount64();
    for (;;) {
        if (events.changes() != changesBefore)
            return true;
        if (_observer.rememberedProvider() == Corvani::Nuv::CredentialProvider::kProviderClsidText) {
            _disconnected = true;
            return false;
        }
        const StandInRecord record = ReadStandInRecord(_standInRecord);
        const ULONGLONG waited = GetTickCount64() - since;
        const bool refused = !record.started && _verdict.TraceLogGained(kStartRefused);
        if (refused || !record.logonFailure.empty() || (!record.started && waited > kStartPatienceMilliseconds) ||
            waited > kRecognitionPatienceMilliseconds) {
            FailRecognition(since);
            return false;
        }
        if (events.ChangedSince(changesBefore, kPollMilliseconds))
            return true;
    }
}

// Names the first step of the recognition that did not happen.
void RoadJudge::FailRecognition(ULONGLONG since) {
    const StandInRecord record = ReadStandInRecord(_standInRecord);
    const std::wstring waited = std::to_wstring((GetTickCount64() - since) / 1000) + L" s";
    if (!record.started && _verdict.TraceLogGained(kStartRefused))
        Fail(L"UI application started", L"the provider to launch the UI application after the selection",
             WithTraceError(L"the provider refused to start it: its signature is not trusted"));
    else if (!record.started)
        Fail(L"UI application started", L"the provider to launch the UI application after the selection",
             WithTraceError(L"no UI application started within " + waited));
    else if (!record.showAccepted)
        Fail(L"SHOW accepted", L"the provider to send SHOW to the UI application",
             WithTraceError(L"no SHOW within " + waited + L"; the UI application received: " + Listed(record.commands)));
    else if (!record.logonAnswered)
        Fail(L"LOGON received", L"the UI application's LOGON answered by the provider",
             WithTraceError(record.logonFailure.empty() ? L"no LOGON answered within " + waited : record.logonFailure));
    else
        Fail(L"CredentialsChanged", L"the provider to raise CredentialsChanged or disconnect the locked session",
             WithTraceError(L"neither within " + waited + L" of the selection"));
}

// True once the UI application has accepted a SHOW; false (and the session failed) when none came in time.
bool RoadJudge::AwaitShow() {
    const ULONGLONG since = GetTickCount64();
    while (!ReadStandInRecord(_standInRecord).showAccepted) {
        if (GetTickCount64() - since > kStartPatienceMilliseconds) {
            FailRecognition(since);
            return false;
        }
        Sleep(kPollMilliseconds);
    }
    return true;
}

// The commands a road expects may follow the last change of the lock screen by a poll period or two; the
// UI application records the answer to its LOGON only after the provider may have handed the credentials
// over or disconnected the session.
void RoadJudge::AwaitCommands() {
    if (_standInRecord.empty())
        return;
    const ULONGLONG giveUpAt = GetTickCount64() + kCommandPatienceMilliseconds;
    StandInRecord record = ReadStandInRecord(_standInRecord);
    while ((!InOrder(record.commands, _options.expect.commands) || record.LogonAwaitingAnswer()) &&
           GetTickCount64() < giveUpAt) {
        Sleep(kPollMilliseconds);
        record = ReadStandInRecord(_standInRecord);
    }
    for (const StandInRecord::Event& event : record.events)
        _timeline.MarkAt(event.tick, event.text);
    if (!InOrder(record.commands, _options.expect.commands))
        Fail(L"UI application commands", Listed(_options.expect.commands) + L" in this order",
             L"the UI application received " + Listed(record.commands));
}

} // namespace HxHost
