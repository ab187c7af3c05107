#pragma once
// The stand-in's end of "\\.\pipe\NuvUIPipeServer" + its own process id: a message pipe on which every
// command is recorded and answered with one message (unless told to misbehave). A new instance is always
// listening while a command is served, so a client never finds the pipe missing between two commands.

#include "Recorder.h"
#include "StandInOptions.h"
#include "platform/UniqueResource.h"

namespace HxUIStandIn {

class CommandServer {
public:
    CommandServer(const StandInOptions& options, Recorder& recorder);

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
};

} // namespace HxUIStandIn
