#pragma once
// Command line of the UI application stand-in.

#include <windows.h>
#include <string>
#include <vector>

namespace HxUIStandIn {

struct StandInOptions {
    bool valid = true;
    std::wstring error;

    // What the provider passes: " -l " + UI language id, and " -h " to start hidden.
    std::wstring language;
    bool hidden = false;

    // Where every received command (and every sent action) is recorded, besides stdout.
    std::wstring recordFile;

    // Misbehaviour for tests.
    bool noReply = false;         // keep the connection, never answer
    DWORD hangUpFirst = 0;        // the first N commands: disconnect without answering
    bool replyBytesGiven = false; // reply with exactly replyBytes bytes
    DWORD replyBytes = 0;
    DWORD replyDelayMilliseconds = 0;
    bool exitOnClose = true;

    // Actions: "LOGON", "DESELECT", "UIINPUT", "wait:<ms>", "raw:<text>", "exit".
    std::vector<std::wstring> actions;
    bool actionsFromStdin = false;
};

StandInOptions ParseStandInOptions(int argc, wchar_t** argv);
void PrintUsage();

} // namespace HxUIStandIn
