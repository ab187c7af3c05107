#include "ipc/IPCMessage.h"

#include "ipc/LenientJsonReader.h"

#include <limits>
#include <stdexcept>

namespace Corvani::Nuv::IPC {

namespace {

using nlohmann::json;

// Steps 1 and 2: the text up to its NUL (or the bound), one byte per UTF-16 unit.
std::string LowBytes(const wchar_t* text, std::size_t maxUnits) {
    std::string bytes;
    for (std::size_t i = 0; i < maxUnits && text[i] != L'\0'; ++i)
        bytes += static_cast<char>(static_cast<unsigned>(text[i]) & 0xFFu);
    return bytes;
}

// Member access by name: a value that is not an object has no members; a missing member reads as null.
const json& Member(const json& value, const char* name) {
    static const json missing;
    if (!value.is_object())
        return missing;
    const auto found = value.find(name);
    return found == value.end() ? missing : *found;
}

// The reader's string conversion: strings as they are, null as "", booleans as "true"/"false".
std::string AsString(const json& value) {
    if (value.is_string())
        return value.get<std::string>();
    if (value.is_null())
        return std::string();
    if (value.is_boolean())
        return value.get<bool>() ? "true" : "false";
    throw std::runtime_error("Type is not convertible to string");
}

} // namespace

IPCMessage parseIPCMessage(const wchar_t* text) {
    return parseIPCMessage(text, std::numeric_limits<std::size_t>::max());
}

IPCMessage parseIPCMessage(const wchar_t* text, std::size_t maxUnits) {
    const json root = ReadLenientJson(LowBytes(text, maxUnits));

    IPCMessage message;
    message.command = AsString(Member(root, "Command"));
    const json& payload = Member(root, "Payload");
    if (!payload.is_array())
        return message;
    // An element that is not an object has no members: it gives the empty key and value.
    for (const json& element : payload) {
        std::string key = AsString(Member(element, "Key"));
        std::string value = AsString(Member(element, "Value"));
        message.payload.emplace(std::move(key), std::move(value));
    }
    return message;
}

} // namespace Corvani::Nuv::IPC
