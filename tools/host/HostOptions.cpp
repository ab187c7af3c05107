#include "HostOptions.h"

#include "Console.h"

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
    else
        return false;
    return true;
}

} // namespace

HostOptions ParseHostOptions(int argc, wchar_t** argv) {
    HostOptions options;
    for (int i = 1; i < argc && options.valid; ++i) {
        const std::wstring arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == L"--scenario" && hasValue)
            options.valid = ParseScenario(argv[++i], options.scenario);
        else if (arg == L"--lang" && hasValue)
            options.language = static_cast<LANGID>(wcstoul(argv[++i], nullptr, 10));
        else if (arg == L"--recognize" && i + 3 < argc) {
            options.recognize = true;
            options.domain = argv[++i];
            options.user = argv[++i];
            options.password = argv[++i];
        } else if (arg == L"--recognize-delay" && hasValue)
            options.recognitionDelay = static_cast<DWORD>(wcstoul(argv[++i], nullptr, 10));
        else if (arg == L"--standin-record" && hasValue)
            options.standInRecord = argv[++i];
        else if (arg == L"--lock-screen")
            options.lockScreen.upAtStart = true;
        else if (arg == L"--dismiss-after" && hasValue)
            options.lockScreen.dismissAfter = static_cast<DWORD>(wcstoul(argv[++i], nullptr, 10));
        else if (arg == L"--lock-again-after" && hasValue)
            options.lockScreen.backAfter = static_cast<DWORD>(wcstoul(argv[++i], nullptr, 10));
        else if (arg == L"--dismiss-again-after" && hasValue)
            options.lockScreen.dismissAgainAfter = static_cast<DWORD>(wcstoul(argv[++i], nullptr, 10));
        else if (arg == L"--logon-fails")
            options.logonFails = true;
        else if (arg == L"--no-select")
            options.select = false;
        else
            options.valid = false;
    }
    return options;
}

void PrintUsage() {
    PrintLine(L"usage: hxhost [--scenario logon|unlock|changepassword|credui] [--lang LANGID] [--no-select] [--logon-fails]\n"
              L"              [--recognize DOMAIN USER PASSWORD [--recognize-delay MS]]\n"
              L"              [--standin-record FILE] [--lock-screen] [--dismiss-after MS [--lock-again-after MS [--dismiss-again-after MS]]]");
}

} // namespace HxHost
