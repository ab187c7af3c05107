#pragma once
// Raw pipe peers for the messaging tests: a client that sends any bytes as one message and a one-instance
// server that answers as told, plus a count of the process's open handles.

#include "support/HandleCount.h"
#include "platform/UniqueResource.h"

#include <windows.h>
#include <string>
#include <vector>

namespace HxIpcTest {

using Corvani::Nuv::Platform::UniqueFileHandle;

// Bytes of a UTF-16LE text followed by its NUL, as the senders write a command.
std::vector<char> Utf16Message(const std::wstring& text);

// A pipe name that no other test uses: "\\.\pipe\CPPipeServer" + the returned id.
DWORD UniqueFakePid();

// Opens a pipe as a client, retrying while it is missing or busy, for up to `patienceMs`.
UniqueFileHandle OpenClient(const std::wstring& pipeName, DWORD patienceMs = 5000);

// One raw exchange: open, message mode, write `message`, read one reply.
struct RawExchange {
    bool opened = false;
    bool written = false;
    bool replied = false;
    DWORD replyBytes = 0;
    std::vector<char> reply;
    DWORD error = ERROR_SUCCESS; // of the step that failed
};
RawExchange SendRaw(const std::wstring& pipeName, const std::vector<char>& message);

// A message-type server instance with the given buffers and instance limit (and flags added to the open
// mode), not yet connected.
UniqueFileHandle CreateServerInstance(const std::wstring& pipeName,
                                      DWORD maxInstances = PIPE_UNLIMITED_INSTANCES, DWORD extraOpenMode = 0,
                                      DWORD pipeType = PIPE_TYPE_MESSAGE);

using HxTest::CountOpenHandles;

// Milliseconds since some fixed moment.
ULONGLONG NowMs();

} // namespace HxIpcTest
