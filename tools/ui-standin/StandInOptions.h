#pragma once
// Command line of the UI application stand-in.

#include <windows.h>
#include <optional>
#include <string>
#include <vector>

namespace HxUIStandIn {

struct StandInOptions {
    // What the provider passes: " -l " + UI language id, and " -h " to start hidden.
    std::wstring language;
    bool hidden = false;

    // Where every received command (and every sent action) is recorded, besides stdout.
    std::wstring recordFile;
    bool recordTimes = false; // each line starts with the system's millisecond tick and a blank

    // Misbehaviour for tests.
    bool noReply = false;         // keep the connection, never answer
    bool neverRead = false;       // accept connections with no pipe buffer and never read from them
    DWORD hangUpFirst = 0;        // the first N commands: disconnect without answering
    bool replyBytesGiven = false; // reply with exactly replyBytes bytes
    DWORD replyBytes = 0;
    DWORD replyDelayMilliseconds = 0;
    bool exitOnClose = true;
    // Exit at once after the first SHOW, as a crash would, unless this file exists; it is created first,
    // so that the stand-in started again behaves.
    std::wstring crashOnceMarker;

    // Actions: "LOGON", "DESELECT", "UIINPUT", "recognize", "wait:<ms>", "raw:<text>", "exit".
    std::vector<std::wstring> actions;
    bool actionsFromStdin = false;
    // Performed once, after the first SHOW (or CHANGEPASSWORD) has been answered.
    std::vector<std::wstring> showActions;

    // What "recognize" places in the credential sections before it sends LOGON, as the service does.
    std::wstring domain, user, password;
};

// The environment variable whose text is read as further options after the command line: the provider
// starts the UI application with its language and hidden options only.
inline constexpr wchar_t kExtraOptionsVariable[] = L"HX_UI_STANDIN_OPTIONS";

// Fills `options` from the command line, then the options in kExtraOptionsVariable. The exit status when they
// end the run: 0 after --help (printed), 2 after a bad option or value (its error printed); nothing when the
// run goes on.
std::optional<int> ParseStandInOptions(int argc, wchar_t** argv, StandInOptions& options);

} // namespace HxUIStandIn
