#include "StandInOptions.h"

#include <cstdio>
#include <shellapi.h>
#include <cwchar>

namespace HxUIStandIn {

namespace {

bool ParseNumber(const wchar_t* text, DWORD& value) {
    wchar_t* end = nullptr;
    const unsigned long number = std::wcstoul(text, &end, 10);
    if (end == text || *end != L'\0')
        return false;
    value = static_cast<DWORD>(number);
    return true;
}

// Splits "LOGON,wait:100,UIINPUT" into its actions.
void AppendActions(const std::wstring& script, std::vector<std::wstring>& actions) {
    std::size_t begin = 0;
    while (begin <= script.size()) {
        const std::size_t comma = script.find(L',', begin);
        const std::size_t end = comma == std::wstring::npos ? script.size() : comma;
        if (end > begin)
            actions.push_back(script.substr(begin, end - begin));
        if (comma == std::wstring::npos)
            break;
        begin = comma + 1;
    }
}

StandInOptions Invalid(StandInOptions options, const std::wstring& error) {
    options.valid = false;
    options.error = error;
    return options;
}

// The options that take a number; false when `name` is none of them.
bool SetNumberOption(const std::wstring& name, DWORD number, StandInOptions& options) {
    if (name == L"--hang-up") {
        options.hangUpFirst = number;
    } else if (name == L"--reply-delay") {
        options.replyDelayMilliseconds = number;
    } else if (name == L"--reply-bytes") {
        options.replyBytesGiven = true;
        options.replyBytes = number;
    } else {
        return false;
    }
    return true;
}

// The options that take a text; false when `name` is none of them.
bool SetTextOption(const std::wstring& name, const std::wstring& value, StandInOptions& options) {
    if (name == L"-l")
        options.language = value;
    else if (name == L"--record")
        options.recordFile = value;
    else if (name == L"--crash-once-after-show")
        options.crashOnceMarker = value;
    else if (name == L"--send")
        AppendActions(value, options.actions);
    else if (name == L"--on-show")
        AppendActions(value, options.showActions);
    else
        return false;
    return true;
}

// The options without a value; false when `name` is none of them.
bool SetFlagOption(const std::wstring& name, StandInOptions& options) {
    if (name == L"-h")
        options.hidden = true;
    else if (name == L"--no-reply")
        options.noReply = true;
    else if (name == L"--never-read")
        options.neverRead = true;
    else if (name == L"--stay-on-close")
        options.exitOnClose = false;
    else if (name == L"--stdin")
        options.actionsFromStdin = true;
    else if (name == L"--record-times")
        options.recordTimes = true;
    else
        return false;
    return true;
}

} // namespace

// The command line followed by the options of the environment variable.
std::vector<std::wstring> AllArguments(int argc, wchar_t** argv) {
    std::vector<std::wstring> arguments(argv + 1, argv + argc);
    wchar_t extra[4096] = {};
    const DWORD length = GetEnvironmentVariableW(kExtraOptionsVariable, extra, ARRAYSIZE(extra));
    if (length == 0 || length >= ARRAYSIZE(extra))
        return arguments;
    int count = 0;
    wchar_t** split = CommandLineToArgvW((L"x " + std::wstring(extra)).c_str(), &count);
    for (int i = 1; split && i < count; ++i)
        arguments.emplace_back(split[i]);
    LocalFree(split);
    return arguments;
}

StandInOptions ParseStandInOptions(int argc, wchar_t** argv) {
    StandInOptions options;
    const std::vector<std::wstring> arguments = AllArguments(argc, argv);
    const std::size_t count = arguments.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::wstring& name = arguments[i];
        if (SetFlagOption(name, options))
            continue;
        if (name == L"--credentials") {
            if (i + 3 >= count)
                return Invalid(options, L"--credentials needs DOMAIN USER PASSWORD");
            options.domain = arguments[++i];
            options.user = arguments[++i];
            options.password = arguments[++i];
            continue;
        }
        if (i + 1 >= count)
            return Invalid(options, L"unknown option or missing value: " + name);
        const std::wstring& value = arguments[++i];
        DWORD number = 0;
        if (SetTextOption(name, value, options))
            continue;
        if (!ParseNumber(value.c_str(), number) || !SetNumberOption(name, number, options))
            return Invalid(options, L"unknown option or bad value: " + name + L" " + value);
    }
    return options;
}

void PrintUsage() {
    std::fputws(
        L"Corvani.Halvex.UI.exe (stand-in) [-l <language id>] [-h] [--record <file> [--record-times]]\n"
        L"    [--no-reply] [--never-read] [--hang-up <n>] [--reply-bytes <n>] [--reply-delay <ms>] [--stay-on-close]\n"
        L"    [--send <action>[,<action>...]] [--stdin] [--on-show <action>[,<action>...]]\n"
        L"    [--credentials <domain> <user> <password>] [--crash-once-after-show <marker file>]\n"
        L"  actions: LOGON | DESELECT | UIINPUT | recognize | wait:<ms> | raw:<text> | exit\n"
        L"  recognize: fills the credential sections with --credentials, then sends LOGON.\n"
        L"  --record-times: each recorded line starts with GetTickCount64, for a timeline across processes.\n"
        L"  Further options are read from the environment variable HX_UI_STANDIN_OPTIONS.\n"
        L"  Serves \\\\.\\pipe\\NuvUIPipeServer<pid>; sends actions to \\\\.\\pipe\\CPPipeServer<pid>.\n",
        stdout);
}

} // namespace HxUIStandIn
