#pragma once
// What the UI application stand-in recorded (with --record-times), read back as the host's story: when it
// started and with which parameters, each command it accepted, the recognition and the LOGON it sent.

#include <windows.h>

#include <string>
#include <vector>

namespace HxHost {

struct StandInRecord {
    struct Event {
        ULONGLONG tick;
        std::wstring text;
    };
    std::vector<Event> events;          // story lines
    std::vector<std::wstring> commands; // every command received, in order ("SHOW", "HIDE", ...)
    std::vector<ULONGLONG> showAcceptedAt; // when each SHOW (or CHANGEPASSWORD) was answered
    bool started = false;
    bool showAccepted = false;
    bool logonSent = false;
    bool logonAnswered = false;
    std::wstring logonFailure; // the stand-in's own line when its LOGON could not be sent

    // A LOGON on its way: the provider may have handed the credentials over before the stand-in wrote
    // down the answer it read.
    bool LogonAwaitingAnswer() const { return logonSent && !logonAnswered && logonFailure.empty(); }
};

StandInRecord ReadStandInRecord(const std::wstring& file);

// True when `wanted` occurs in `commands` in this order, other commands allowed in between.
bool InOrder(const std::vector<std::wstring>& commands, const std::vector<std::wstring>& wanted);

} // namespace HxHost
