#pragma once
// The "PipeServer.log" and "PipeClient.log" lines of the pipe test process, read back from a capture
// directory. Every server and client under test has a UI process id of its own, so a test picks its lines
// by the " | " + id at their end.

#include <windows.h>
#include <string>
#include <vector>

namespace HxIpcTest {

void StartPipeTraceCapture();
void StopPipeTraceCapture();

// The messages (between the "<pid> - " prefix and the " | <uiPid>" suffix) of the lines for `uiPid`.
std::vector<std::string> PipeServerMessages(DWORD uiPid);
std::vector<std::string> PipeClientMessages(DWORD uiPid);

// How many of `messages` are exactly `message`, and how many begin with `prefix`.
std::size_t CountOf(const std::vector<std::string>& messages, const std::string& message);
std::size_t CountStartingWith(const std::vector<std::string>& messages, const std::string& prefix);

// Waits until the server's messages for `uiPid` contain `message` `count` times; false after `ms`.
bool WaitForServerMessage(DWORD uiPid, const std::string& message, std::size_t count, DWORD ms);

} // namespace HxIpcTest
