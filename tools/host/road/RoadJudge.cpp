#include "road/RoadJudge.h"

#include "Console.h"
#include "road/StandInRecord.h"

namespace HxHost {

namespace {

std::wstring At(ULONGLONG ms) { return L"+" + std::to_wstring(ms) + L" ms"; }

// A splash still up this long after the UI application accepted SHOW covers the face UI.
constexpr ULONGLONG kSplashDownAfterShowMilliseconds = 300;

} // namespace

RoadJudge::RoadJudge(const HostOptions& options)
    : _options(options), _standInRecord(options.standInRecord), _verdict(options.road, options.logDirectory),
      _observer(_timeline, options.splashPicture), _lockScreen(options.lockScreen, _timeline) {}

void RoadJudge::Show(const std::wstring& line) {
    if (showsScreen())
        PrintLine(line);
}

void RoadJudge::ShowOrTell(const std::wstring& line) {
    if (showsScreen())
        PrintLine(line);
    else
        _timeline.Mark(line);
}

void RoadJudge::Tell(const std::wstring& story, const std::wstring& screen) {
    _timeline.Mark(story);
    if (!onRoad())
        PrintLine(screen);
}

// Each failure is printed at once, so that one LogonUI lives with does not hide the ones after it; the
// verdict names the first.
void RoadJudge::Fail(const std::wstring& step, const std::wstring& expected, const std::wstring& happened) {
    PrintLine(L"FAILED at step \"" + step + L"\": expected " + expected + L"; happened: " + happened);
    _timeline.Mark(L"failed at step \"" + step + L"\": " + happened);
    if (!_failed)
        _failure = {step, expected, happened};
    else
        ++_laterFailures;
    _failed = true;
}

void RoadJudge::FailAtOnce(const std::wstring& call, const std::wstring& expected, const std::wstring& happened) {
    _timeline.Print();
    _verdict.Failed(call, expected, happened);
}

void RoadJudge::Begin() { _verdict.Start(); }

void RoadJudge::BeforeProvider() {
    if (onRoad() || _options.recognize)
        PrepareStandIn();
}

void RoadJudge::TileSelected() {
    _observer.Start();
    _lockScreen.Start();
}

void RoadJudge::AfterSignIn() {
    _lockScreen.Finish();
    AwaitCommands();
}

// Once a SHOW was accepted the splash must be down: it would cover the face UI.
void RoadJudge::CheckSplashAfterShow() {
    if (_standInRecord.empty() || !_observer.SplashSeen())
        return;
    for (const ULONGLONG shown : ReadStandInRecord(_standInRecord).showAcceptedAt) {
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
int RoadJudge::Conclude(const SignInOutcome& outcome) {
    const RoadExpectation& expect = _options.expect;
    if (expect.messageType >= 0 && outcome.messageType != expect.messageType)
        Fail(L"serialization handed over", L"a logon buffer of message type " + std::to_wstring(expect.messageType),
             outcome.messageType < 0 ? std::wstring(L"no logon buffer (auto-logon FALSE)")
                                     : L"message type " + std::to_wstring(outcome.messageType));
    CheckSplashAfterShow();
    if (expect.disconnect && !_disconnected)
        Fail(L"session disconnected", L"the locked session disconnected and LastLoggedOnProvider written",
             L"LastLoggedOnProvider unchanged");
    _timeline.Print();
    if (_failed) {
        _verdict.Failed(_failure.step, _failure.expected,
                        _laterFailures == 0 ? _failure.happened
                                            : _failure.happened + L" (and " + std::to_wstring(_laterFailures) +
                                                  L" later failure(s), each on its line above)");
        return 1;
    }
    _verdict.Passed(Summary(outcome));
    return 0;
}

std::wstring RoadJudge::Summary(const SignInOutcome& outcome) const {
    std::wstring summary;
    if (outcome.messageType >= 0)
        summary = L"message type " + std::to_wstring(outcome.messageType) + L" handed over at " +
                  At(outcome.handedOverAt) + L", " + outcome.result;
    else if (outcome.handedOver)
        summary = L"serialization handed over at " + At(outcome.handedOverAt);
    if (_disconnected)
        summary += std::wstring(summary.empty() ? L"" : L"; ") + L"locked session disconnected, LastLoggedOnProvider written";
    if (!_options.expect.commands.empty()) {
        std::wstring commands;
        for (const std::wstring& command : _options.expect.commands)
            commands += (commands.empty() ? L"" : L", ") + command;
        summary += std::wstring(summary.empty() ? L"" : L"; ") + L"the UI application received " + commands;
    }
    return summary.empty() ? L"every call succeeded" : summary;
}

} // namespace HxHost
