#pragma once
// The stand-in's end of "\\.\pipe\NuvUIPipeServer" + its own process id: a message pipe on which every
// command is recorded and answered with one message (unless told to misbehave). A new instance is always
// listening while a command is served, so a client never finds the pipe missing between two commands.

#include "Recorder.h"
#include "StandInOptions.h"
#include "platform/UniqueResource.h"

#include <functional>
#include <string>

namespace HxUIStandIn {

class CommandServer {
public:
    using CommandHandler = std::function<void(const std::wstring& text)>;
    // `onCommand` sees every command answered, on the serving thread.
    CommandServer(const StandInOptions& options, Recorder& recorder, CommandHandler onCommand = {});

    // Creates the first instance of the pipe, so that it exists before anything else is done.
    void Listen();
    // Serves until CLOSE has been answered (unless --stay-on-close); false when no instance could be created.
    bool Run();

private:
    Corvani::Nuv::Platform::UniqueFileHandle CreateInstance();
    // Serves one connected client; false when the stand-in is to stop serving.
    bool Serve(HANDLE pipe);
    bool ReadCommand(HANDLE pipe, std::wstring& text, DWORD& bytes);
    void Reply(HANDLE pipe);
    void WaitUntilClientLeaves(HANDLE pipe);

    const StandInOptions& _options;
    Recorder& _recorder;
    std::wstring _pipeName;
    DWORD _commandsReceived = 0;
    CommandHandler _onCommand;
    Corvani::Nuv::Platform::UniqueFileHandle _listening;
};

} // namespace HxUIStandIn
