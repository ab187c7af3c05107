// UI application stand-in: what the provider needs of the face-recognition application, and nothing of
// its face recognition. See StandInOptions.cpp for the command line.

#include "ActionSender.h"
#include "CommandServer.h"
#include "Recorder.h"
#include "StandInOptions.h"
#include "StandInWindow.h"
#include "platform/UniqueResource.h"

#include <string>

namespace {

using namespace HxUIStandIn;

struct StandInContext {
    const StandInOptions* options;
    Recorder* recorder;
    CommandServer* server;
    HANDLE actions;
};

// Reads one line of stdin (UTF-8, LF or CR LF); false at the end of the input.
bool ReadStdinLine(std::wstring& line) {
    std::string bytes;
    char c = 0;
    DWORD read = 0;
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    while (ReadFile(input, &c, 1, &read, nullptr) && read == 1) {
        if (c == '\n') {
            if (!bytes.empty() && bytes.back() == '\r')
                bytes.pop_back();
            line.assign(bytes.begin(), bytes.end());
            return true;
        }
        bytes += c;
    }
    line.assign(bytes.begin(), bytes.end());
    return !bytes.empty();
}

[[noreturn]] void Finish(Recorder& recorder) {
    recorder.Line("EXIT");
    ExitProcess(0);
}

DWORD WINAPI RunActions(LPVOID parameter) {
    const auto* context = static_cast<const StandInContext*>(parameter);
    ActionSender sender(*context->recorder, *context->options);
    for (const std::wstring& action : context->options->actions)
        if (!sender.Perform(action))
            Finish(*context->recorder);
    std::wstring line;
    while (context->options->actionsFromStdin && ReadStdinLine(line))
        if (!line.empty() && !sender.Perform(line))
            Finish(*context->recorder);
    return 0;
}

// Serves the UI pipe until CLOSE; when no instance can be created, the actions still run to their end.
DWORD WINAPI Serve(LPVOID parameter) {
    const auto* context = static_cast<const StandInContext*>(parameter);
    if (!context->server->Run() && context->actions)
        WaitForSingleObject(context->actions, INFINITE);
    Finish(*context->recorder);
}

std::string StartLine(const StandInOptions& options) {
    return "START pid=" + std::to_string(GetCurrentProcessId()) +
           " lang=" + (options.language.empty() ? std::string("-") : HxTools::ToUtf8Text(options.language)) +
           " hidden=" + (options.hidden ? "1" : "0");
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    StandInOptions options;
    if (const std::optional<int> exitCode = ParseStandInOptions(argc, argv, options))
        return *exitCode;
    Recorder recorder(options.recordFile, options.recordTimes);
    StandInWindow window(options, recorder);
    CommandServer server(options, recorder, [&window](const std::wstring& text) { window.OnCommand(text); });
    // The pipe exists before the start is recorded and before the window, so that a provider that does
    // not wait for the window finds it.
    server.Listen();
    recorder.Line(StartLine(options));

    StandInContext context{&options, &recorder, &server, nullptr};
    Corvani::Nuv::Platform::UniqueHandle actions;
    if (!options.actions.empty() || options.actionsFromStdin)
        actions.reset(CreateThread(nullptr, 0, RunActions, &context, CREATE_SUSPENDED, nullptr));
    context.actions = actions.get();
    if (actions)
        ResumeThread(actions.get());
    Corvani::Nuv::Platform::UniqueHandle serving(CreateThread(nullptr, 0, Serve, &context, 0, nullptr));
    if (window.Create())
        window.RunMessageLoop();
    WaitForSingleObject(serving.get(), INFINITE);
    Finish(recorder);
}
