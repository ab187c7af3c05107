#include "StandInOptions.h"

#include <cstdio>
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
    else if (name == L"--send")
        AppendActions(value, options.actions);
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
    else if (name == L"--stay-on-close")
        options.exitOnClose = false;
    else if (name == L"--stdin")
        options.actionsFromStdin = true;
    else
        return false;
    return true;
}

} // namespace

StandInOptions ParseStandInOptions(int argc, wchar_t** argv) {
    StandInOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::wstring name = argv[i];
        if (SetFlagOption(name, options))
            continue;
        if (i + 1 >= argc)
            return Invalid(options, L"unknown option or missing value: " + name);
        const std::wstring value = argv[++i];
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
        L"Corvani.Halvex.UI.exe (stand-in) [-l <language id>] [-h] [--record <file>]\n"
        L"    [--no-reply] [--hang-up <n>] [--reply-bytes <n>] [--reply-delay <ms>] [--stay-on-close]\n"
        L"    [--send <action>[,<action>...]] [--stdin]\n"
        L"  actions: LOGON | DESELECT | UIINPUT | wait:<ms> | raw:<text> | exit\n"
        L"  Serves \\\\.\\pipe\\NuvUIPipeServer<pid>; sends actions to \\\\.\\pipe\\CPPipeServer<pid>.\n",
        stdout);
}

} // namespace HxUIStandIn
