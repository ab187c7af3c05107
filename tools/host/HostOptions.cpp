#include "HostOptions.h"

#include "Console.h"
#include "platform/ProviderClsid.h"

#include <cwchar>
#include <string>

namespace HxHost {

namespace {

bool ParseScenario(const std::wstring& text, CREDENTIAL_PROVIDER_USAGE_SCENARIO& scenario) {
    if (text == L"logon")
        scenario = CPUS_LOGON;
    else if (text == L"unlock")
        scenario = CPUS_UNLOCK_WORKSTATION;
    else if (text == L"changepassword")
        scenario = CPUS_CHANGE_PASSWORD;
    else if (text == L"credui")
        scenario = CPUS_CREDUI;
    else if (text == L"plap")
        scenario = CPUS_PLAP;
    else
        return false;
    return true;
}

DWORD Number(const wchar_t* text) { return static_cast<DWORD>(wcstoul(text, nullptr, 10)); }

// "message-type=N", "disconnect" or "commands=SHOW,HIDE,...".
bool ParseExpectation(const std::wstring& text, RoadExpectation& expect) {
    if (text.rfind(L"message-type=", 0) == 0) {
        expect.messageType = static_cast<int>(Number(text.c_str() + 13));
    } else if (text == L"disconnect") {
        expect.disconnect = true;
    } else if (text.rfind(L"commands=", 0) == 0) {
        for (size_t begin = 9; begin <= text.size();) {
            const size_t comma = text.find(L',', begin);
            const size_t end = comma == std::wstring::npos ? text.size() : comma;
            if (end > begin)
                expect.commands.push_back(text.substr(begin, end - begin));
            begin = end + 1;
        }
    } else {
        return false;
    }
    return true;
}

// The options that take one value; false when `arg` is none of them or its value is bad.
bool ParseValueOption(const std::wstring& arg, const wchar_t* value, HostOptions& options) {
    if (arg == L"--clsid") {
        options.clsidGiven = true;
        return SUCCEEDED(CLSIDFromString(value, &options.clsid));
    }
    if (arg == L"--scenario")
        return ParseScenario(value, options.scenario);
    if (arg == L"--expect")
        return ParseExpectation(value, options.expect);
    if (arg == L"--user")
        options.users.push_back(value);
    else if (arg == L"--lang")
        options.language = static_cast<LANGID>(Number(value));
    else if (arg == L"--tile")
        options.tile = Number(value);
    else if (arg == L"--call-bound")
        options.callBound = Number(value);
    else if (arg == L"--recognize-delay")
        options.recognitionDelay = Number(value);
    else if (arg == L"--standin-record")
        options.standInRecord = value;
    else if (arg == L"--road")
        options.road = value;
    else if (arg == L"--log-dir")
        options.logDirectory = value;
    else if (arg == L"--tile-picture")
        options.tilePicture = value;
    else if (arg == L"--splash-picture")
        options.splashPicture = value;
    else if (arg == L"--reselect-after") {
        options.reselect = true;
        options.reselectAfter = Number(value);
    } else if (arg == L"--instances")
        options.instances = Number(value);
    else if (arg == L"--advise-within")
        options.adviseBound = Number(value);
    else if (arg == L"--dismiss-after")
        options.lockScreen.dismissAfter = Number(value);
    else if (arg == L"--lock-again-after")
        options.lockScreen.backAfter = Number(value);
    else if (arg == L"--dismiss-again-after")
        options.lockScreen.dismissAgainAfter = Number(value);
    else
        return false;
    return true;
}

bool ParseFlag(const std::wstring& arg, HostOptions& options) {
    if (arg == L"--lock-screen")
        options.lockScreen.upAtStart = true;
    else if (arg == L"--logon-fails")
        options.logonFails = true;
    else if (arg == L"--no-select")
        options.select = false;
    else if (arg == L"--serialization")
        options.serialization = true;
    else if (arg == L"--scenarios")
        options.probeScenarios = true;
    else if (arg == L"--no-user-array")
        options.userArray = false;
    else if (arg == L"--verbose")
        options.verbose = true;
    else
        return false;
    return true;
}

} // namespace

HostOptions ParseHostOptions(int argc, wchar_t** argv) {
    HostOptions options;
    options.clsid = Corvani::Nuv::CredentialProvider::CLSID_NuvProvider;
    for (int i = 1; i < argc && options.valid; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--recognize" && i + 3 < argc) {
            options.recognize = true;
            options.domain = argv[++i];
            options.user = argv[++i];
            options.password = argv[++i];
        } else if (!ParseFlag(arg, options)) {
            options.valid = i + 1 < argc && ParseValueOption(arg, argv[i + 1], options);
            ++i;
        }
    }
    return options;
}

void PrintUsage() {
    PrintLine(
        L"usage: hxhost [--clsid {GUID}] [--scenario logon|unlock|changepassword|credui|plap] [--lang LANGID]\n"
        L"              [--scenarios] [--user DOMAIN\\NAME[=SID]]... [--no-user-array]\n"
        L"              [--tile N] [--no-select] [--serialization] [--logon-fails]\n"
        L"              [--call-bound MS] [--verbose] [--tile-picture FILE.png] [--splash-picture FILE.png]\n"
        L"              [--recognize DOMAIN USER PASSWORD [--recognize-delay MS]] [--standin-record FILE]\n"
        L"              [--lock-screen] [--dismiss-after MS [--lock-again-after MS [--dismiss-again-after MS]]]\n"
        L"              [--road NAME [--expect message-type=N|disconnect|commands=SHOW,HIDE,...]...]\n"
        L"              [--log-dir DIR] [--reselect-after MS] [--instances N [--advise-within MS]]\n"
        L"  Drives the credential provider of the class id (default: this product's) as LogonUI does and\n"
        L"  prints what LogonUI would show. A provider that implements ICredentialProviderSetUserArray gets\n"
        L"  the users LogonUI shows: the local user running the host and each --user (its SID looked up,\n"
        L"  or given). Each call of the provider must return within --call-bound ms (default 15000); a\n"
        L"  call that hangs or crashes ends the run with a verdict naming it.\n"
        L"  --reselect-after: once SHOW was accepted the tile is deselected, and selected again MS later.\n"
        L"  --instances: that many providers one after the other in this process, each with its verdict;\n"
        L"  each later one's Advise within --advise-within ms, and no thread of an earlier one left.");
}

} // namespace HxHost
