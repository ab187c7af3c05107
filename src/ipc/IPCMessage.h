#pragma once
// One command received by the provider, in parsed form.

#include <cstddef>
#include <map>
#include <string>

namespace Corvani::Nuv::IPC {

struct IPCMessage {
    // The "Command" text; empty when none was read.
    std::string command;
    // "Key" -> "Value" of each "Payload" element; of two equal keys the first stays.
    std::map<std::string, std::string> payload;
};

// Parses a received NUL-terminated UTF-16 command. Each character is reduced to its low byte before the
// JSON is read (ReadCommandJson). Throws std::runtime_error("Type is not convertible to string") when
// "Command", "Key" or "Value" is a number, an array or an object.
IPCMessage parseIPCMessage(const wchar_t* text);

// The same for a received buffer that may lack its NUL: the text ends at the NUL or after maxUnits.
IPCMessage parseIPCMessage(const wchar_t* text, std::size_t maxUnits);

} // namespace Corvani::Nuv::IPC
