#pragma once
// The road a LogonUI session runs on, as the session sees it: the story it tells, how much of LogonUI's
// screen it prints, where its failures go, the moments at which the road watches beside LogonUI's calls,
// and the verdict. The session reaches the road through this alone (road/RoadJudge.h is the one).

#include "logonui/Story.h"

#include <windows.h>

#include <string>

namespace HxHost {

class ProviderEvents;

// What the sign-in came to, for the verdict.
struct SignInOutcome {
    int messageType = -1; // of the serialization handed over; -1: none
    bool handedOver = false;
    ULONGLONG handedOverAt = 0; // ms since the selection
    std::wstring result;        // as reported to the tile
};

class Road {
public:
    virtual Story& story() = 0;

    // A line of LogonUI's screen (the user array, the fields, the tiles): printed unless the road tells
    // its story without --verbose.
    virtual void Show(const std::wstring& line) = 0;
    // Such a line that goes into the story when the screen is not printed.
    virtual void ShowOrTell(const std::wstring& line) = 0;
    // What a tile tells the person (a status, the serialization): in the story, and printed off a road.
    virtual void Tell(const std::wstring& story, const std::wstring& screen) = 0;

    // A step that did not do what was expected: printed at once; the verdict names the first.
    virtual void Fail(const std::wstring& step, const std::wstring& expected, const std::wstring& happened) = 0;
    // The story so far and the failed verdict, for a host about to end at once (a call hangs or crashes).
    virtual void FailAtOnce(const std::wstring& call, const std::wstring& expected, const std::wstring& happened) = 0;

    // The session's moments, in this order.
    virtual void Begin() = 0;
    virtual void BeforeProvider() = 0;
    virtual void TileSelected() = 0;
    // True once the UI application accepted a SHOW; false (failed) when none came in time.
    virtual bool AwaitShow() = 0;
    // True when LogonUI was told that the credential changed; false when the locked session was
    // disconnected instead, or when a step did not happen in time (failed).
    virtual bool AwaitRecognition(const ProviderEvents& events) = 0;
    virtual void AfterSignIn() = 0;
    // Checks what the road expects and prints the story and the verdict; the process exit code.
    virtual int Conclude(const SignInOutcome& outcome) = 0;

protected:
    ~Road() = default;
};

} // namespace HxHost
