#pragma once
// Sends the stand-in's own commands (LOGON, DESELECT, UIINPUT or any raw text) to the provider pipe
// "\\.\pipe\CPPipeServer" + its own process id, one connection per command. The pipe may not exist yet
// (the provider starts its server after the UI process) or be between two instances, so an open that
// finds no pipe is retried and a busy pipe is waited for, for up to ten seconds in all.

#include "Recorder.h"
#include "StandInOptions.h"

#include <windows.h>
#include <string>

namespace HxUIStandIn {

class ActionSender {
public:
    ActionSender(Recorder& recorder, const StandInOptions& options);

    // Performs one action; false for "exit".
    bool Perform(const std::wstring& action);

private:
    void Send(const std::string& label, const std::wstring& text);
    // Places the recognised user's credentials in the sections, as the product's service does.
    bool FillSections();

    Recorder& _recorder;
    const StandInOptions& _options;
    std::wstring _pipeName;
};

} // namespace HxUIStandIn
