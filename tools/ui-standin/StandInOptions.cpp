#include "StandInOptions.h"

#include "common/CommandLine.h"

#include <shellapi.h>

namespace HxUIStandIn {

namespace {

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

// "LOGON,wait:100,UIINPUT": each action in order.
std::function<void(const std::wstring&)> AppendTo(std::vector<std::wstring>& actions) {
    return [&actions](const std::wstring& action) {
        if (!action.empty())
            actions.push_back(action);
    };
}

} // namespace

std::optional<int> ParseStandInOptions(int argc, wchar_t** argv, StandInOptions& options) {
    HxTools::CommandLine line(
        "The UI application stand-in: serves \\\\.\\pipe\\NuvUIPipeServer<pid>, records and "
        "answers the provider's commands, and sends actions to \\\\.\\pipe\\CPPipeServer<pid>.",
        "Corvani.Halvex.UI.exe");
    line.footer("Actions: LOGON | DESELECT | UIINPUT | recognize | wait:<ms> | raw:<text> | exit\n"
                "Further options are read from the environment variable HX_UI_STANDIN_OPTIONS.");
    line.Text("-l", options.language, "The UI language id the provider passes")->type_name("LANGID");
    line.add_flag("-h", options.hidden, "Start hidden");
    line.Text("--record", options.recordFile, "Where every received command and sent action is recorded");
    line.add_flag("--record-times", options.recordTimes, "Each recorded line starts with GetTickCount64");
    line.add_flag("--no-reply", options.noReply, "Keep the connection, never answer");
    line.add_flag("--never-read", options.neverRead,
                  "Accept connections with no pipe buffer, never read them");
    line.Number("--hang-up", options.hangUpFirst, "The first N commands: disconnect without answering");
    line.Number("--reply-bytes", options.replyBytes, "Reply with exactly N bytes");
    line.Number("--reply-delay", options.replyDelayMilliseconds, "Wait N ms before each reply");
    line.add_flag_callback(
        "--stay-on-close", [&options] { options.exitOnClose = false; }, "Keep running after a CLOSE command");
    line.Each("--send", AppendTo(options.actions), "Actions to send at the start: A,B,...")->delimiter(',');
    line.add_flag("--stdin", options.actionsFromStdin,
                  "Send the actions read from standard input, one a line");
    line.Each("--on-show", AppendTo(options.showActions), "Actions once the first SHOW was answered: A,B,...")
        ->delimiter(',');
    line.Credentials("--credentials", options.domain, options.user, options.password,
                     "What recognize places in the credential sections before it sends LOGON");
    line.Text("--crash-once-after-show", options.crashOnceMarker,
              "Exit at once after the first SHOW unless this marker file exists (created first)");
    if (const std::optional<int> exitCode = line.Parse(AllArguments(argc, argv)))
        return exitCode;
    options.replyBytesGiven = line.count("--reply-bytes") > 0;
    return std::nullopt;
}

} // namespace HxUIStandIn
