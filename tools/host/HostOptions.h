#pragma once
// Command line of the host: which screen LogonUI shows and in which language.

#include "HostLockScreen.h"
#include "platform/CredentialProviderApi.h"

#include <string>

namespace HxHost {

struct HostOptions {
    CREDENTIAL_PROVIDER_USAGE_SCENARIO scenario = CPUS_LOGON;
    LANGID language = 0; // 0: the thread's own UI language
    bool select = true;
    bool logonFails = false; // report STATUS_LOGON_FAILURE instead of success
    // A recognised face: the UI application stand-in that the provider launches places these credentials
    // in the sections and sends LOGON, recognitionDelay ms after its first SHOW.
    bool recognize = false;
    std::wstring domain, user, password;
    DWORD recognitionDelay = 300;
    LockScreenScript lockScreen;
    std::wstring standInRecord; // where the UI application stand-in records what it receives
    bool valid = true;
};

HostOptions ParseHostOptions(int argc, wchar_t** argv);
void PrintUsage();

} // namespace HxHost
