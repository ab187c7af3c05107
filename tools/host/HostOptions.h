#pragma once
// Command line of the host: which provider, which screen LogonUI shows and in which language, what a road
// of the walk-through expects, and what to show or save.

#include "road/HostLockScreen.h"
#include "platform/CredentialProviderApi.h"

#include <optional>
#include <string>
#include <vector>

namespace HxHost {

// What a road of the walk-through must end with; the verdict checks each one that is set.
struct RoadExpectation {
    int messageType = -1;               // the logon buffer's message type; -1: no serialization expected
    bool disconnect = false;            // the locked session disconnected, LastLoggedOnProvider written
    std::vector<std::wstring> commands; // received by the UI application in this order
};

struct HostOptions {
    CLSID clsid = {};         // the provider to drive; ours unless --clsid
    bool clsidGiven = false;
    CREDENTIAL_PROVIDER_USAGE_SCENARIO scenario = CPUS_LOGON;
    LANGID language = 0; // 0: the thread's own UI language
    bool select = true;
    DWORD tile = static_cast<DWORD>(-1); // -1: the provider's default tile (or the first)
    bool logonFails = false;              // report STATUS_LOGON_FAILURE instead of success
    bool serialization = false;           // ask for the serialization as a submit would, and show its header
    bool probeScenarios = false;          // ask fresh instances which usage scenarios they support
    bool userArray = true;                // hand a provider that asks for one the users LogonUI shows
    std::vector<std::wstring> users;      // "DOMAIN\name[=SID]": users shown besides the local one
    DWORD callBound = 15000;              // the watchdog's bound on each call of the provider, ms
    bool verbose = false;                 // every call and its result, too
    // A recognised face: the UI application stand-in that the provider launches places these credentials
    // in the sections and sends LOGON, recognitionDelay ms after its first SHOW.
    bool recognize = false;
    std::wstring domain, user, password;
    DWORD recognitionDelay = 300;
    LockScreenScript lockScreen;
    // The person picks another tile once the UI application was shown, and comes back after this many ms.
    bool reselect = false;
    DWORD reselectAfter = 1500;
    // Provider instances created, signed in with and released one after the other in this process, as
    // LogonUI does on every lock; the later ones' Advise must return within adviseBound ms (0: any time).
    DWORD instances = 1;
    DWORD adviseBound = 0;
    std::wstring standInRecord; // where the UI application stand-in records what it receives
    std::wstring road;          // name of the walk-through's road: prints its story and verdict
    RoadExpectation expect;
    std::wstring logDirectory;  // the provider's trace log directory, named by a failed verdict
    std::wstring tilePicture;   // PNG of the selected tile as LogonUI lays it out
    std::wstring splashPicture; // PNG of the splash window, photographed once it is up
};

// Fills `options` from the command line. The exit status when the command line ends the run: 0 after --help
// (printed), 2 after a bad option or value (its error printed); nothing when the run goes on.
std::optional<int> ParseHostOptions(int argc, wchar_t** argv, HostOptions& options);

} // namespace HxHost
