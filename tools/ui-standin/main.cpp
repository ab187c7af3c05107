// UI application stand-in: what the provider needs of the face-recognition application, and nothing of
// its face recognition. See StandInOptions.cpp for the command line.

#include "ActionSender.h"
#include "CommandServer.h"
#include "Recorder.h"
#include "StandInOptions.h"
#include "platform/UniqueResource.h"

#include <cstdio>
#include <string>

namespace {

using namespace HxUIStandIn;

struct ActionContext {
    const StandInOptions* options;
    Recorder* recorder;
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
    const auto* context = static_cast<const ActionContext*>(parameter);
    ActionSender sender(*context->recorder);
    for (const std::wstring& action : context->options->actions)
        if (!sender.Perform(action))
            Finish(*context->recorder);
    std::wstring line;
    while (context->options->actionsFromStdin && ReadStdinLine(line))
        if (!line.empty() && !sender.Perform(line))
            Finish(*context->recorder);
    return 0;
}

std::string StartLine(const StandInOptions& options) {
    return "START pid=" + std::to_string(GetCurrentProcessId()) +
           " lang=" + (options.language.empty() ? std::string("-") : ToUtf8(options.language)) +
           " hidden=" + (options.hidden ? "1" : "0");
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const StandInOptions options = ParseStandInOptions(argc, argv);
    if (!options.valid) {
        std::fwprintf(stderr, L"%ls\n", options.error.c_str());
        PrintUsage();
        return 2;
    }
    Recorder recorder(options.recordFile);
    recorder.Line(StartLine(options));

    ActionContext context{&options, &recorder};
    Corvani::Nuv::Platform::UniqueHandle actions;
    if (!options.actions.empty() || options.actionsFromStdin)
        actions.reset(CreateThread(nullptr, 0, RunActions, &context, 0, nullptr));

    CommandServer server(options, recorder);
    if (!server.Run() && actions)
        WaitForSingleObject(actions.get(), INFINITE);
    Finish(recorder);
}
