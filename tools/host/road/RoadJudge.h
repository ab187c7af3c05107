#pragma once
// The road a session of the host runs on (--road, or the plain one, named "hxhost"): it keeps the story of
// the sign-in, watches what a person would see beside LogonUI's calls (the service, the splash window, the
// lock screen, what the UI application stand-in received, LastLoggedOnProvider), and gives the verdict.

#include "HostOptions.h"
#include "logonui/Road.h"
#include "road/HostLockScreen.h"
#include "road/Observer.h"
#include "road/Timeline.h"
#include "road/Verdict.h"

#include <string>

namespace HxHost {

class RoadJudge final : public Road {
public:
    explicit RoadJudge(const HostOptions& options);

    Story& story() override { return _timeline; }
    void Show(const std::wstring& line) override;
    void ShowOrTell(const std::wstring& line) override;
    void Tell(const std::wstring& story, const std::wstring& screen) override;
    void Fail(const std::wstring& step, const std::wstring& expected, const std::wstring& happened) override;
    void FailAtOnce(const std::wstring& call, const std::wstring& expected, const std::wstring& happened) override;
    void Begin() override;
    void BeforeProvider() override;
    void TileSelected() override;
    bool AwaitShow() override;
    bool AwaitRecognition(const ProviderEvents& events) override;
    void AfterSignIn() override;
    int Conclude(const SignInOutcome& outcome) override;

private:
    // A face recognised by the UI application stand-in (HostRecognition.cpp).
    void PrepareStandIn();
    void FailRecognition(ULONGLONG since);
    std::wstring WithTraceError(const std::wstring& happened) const;
    void AwaitCommands();
    // The verdict (RoadJudge.cpp).
    void CheckSplashAfterShow();
    std::wstring Summary(const SignInOutcome& outcome) const;
    bool onRoad() const { return !_options.road.empty(); }
    bool showsScreen() const { return !onRoad() || _options.verbose; }

    // What the first failed step was; the verdict names it.
    struct Failure {
        std::wstring step, expected, happened;
    };

    const HostOptions _options;
    std::wstring _standInRecord; // where the UI application stand-in records what it receives
    Timeline _timeline;
    Verdict _verdict;
    Observer _observer;
    LockScreenPlayer _lockScreen;
    bool _disconnected = false; // the locked session, with this provider remembered
    bool _failed = false;
    Failure _failure; // the first; each one is printed as it happens
    int _laterFailures = 0;
};

} // namespace HxHost
