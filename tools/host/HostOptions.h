#pragma once
// Command line of the host: which screen LogonUI shows and in which language.

#include "platform/CredentialProviderApi.h"

namespace HxHost {

struct HostOptions {
    CREDENTIAL_PROVIDER_USAGE_SCENARIO scenario = CPUS_LOGON;
    LANGID language = 0; // 0: the thread's own UI language
    bool select = true;
    bool logonFails = false; // report STATUS_LOGON_FAILURE instead of success
    bool valid = true;
};

HostOptions ParseHostOptions(int argc, wchar_t** argv);
void PrintUsage();

} // namespace HxHost
