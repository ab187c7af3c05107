#pragma once
// Command line of the host: which screen LogonUI shows and in which language.

#include "platform/CredentialProviderApi.h"

#include <string>

namespace HxHost {

struct HostOptions {
    CREDENTIAL_PROVIDER_USAGE_SCENARIO scenario = CPUS_LOGON;
    LANGID language = 0; // 0: the thread's own UI language
    bool select = true;
    bool logonFails = false; // report STATUS_LOGON_FAILURE instead of success
    // A recognised face: the host places these credentials in the sections and has the UI application
    // stand-in send LOGON to the provider's pipe server. The provider is then created in-process.
    bool recognize = false;
    std::wstring domain, user, password;
    bool valid = true;
};

HostOptions ParseHostOptions(int argc, wchar_t** argv);
void PrintUsage();

} // namespace HxHost
