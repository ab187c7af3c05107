#include "ipc/IPCMessage.h"

#include "ipc/CommandJson.h"

#include <limits>
#include <stdexcept>

namespace Corvani::Nuv::IPC {

namespace {

// The text up to its NUL (or the bound), one byte per UTF-16 unit.
std::string LowBytes(const wchar_t* text, std::size_t maxUnits) {
    std::string bytes;
    for (std::size_t i = 0; i < maxUnits && text[i] != L'\0'; ++i)
        bytes += static_cast<char>(static_cast<unsigned>(text[i]) & 0xFFu);
    return bytes;
}

// Member access by name: a value that is not an object has no members; a missing member reads as null.
const Json::Value& Member(const Json::Value& value, const char* name) {
    return value.isObject() ? value[name] : Json::Value::nullSingleton();
}

// Strings as they are, null as "", booleans as "true"/"false"; jsoncpp itself would also turn numbers
// into text, which a command member never may be.
std::string AsString(const Json::Value& value) {
    if (value.isString() || value.isNull() || value.isBool())
        return value.asString();
    throw std::runtime_error("Type is not convertible to string");
}

} // namespace

IPCMessage parseIPCMessage(const wchar_t* text) {
    return parseIPCMessage(text, std::numeric_limits<std::size_t>::max());
}

IPCMessage parseIPCMessage(const wchar_t* text, std::size_t maxUnits) {
    const Json::Value root = ReadCommandJson(LowBytes(text, maxUnits));

    IPCMessage message;
    message.command = AsString(Member(root, "Command"));
    const Json::Value& payload = Member(root, "Payload");
    if (!payload.isArray())
        return message;
    // An element that is not an object has no members: it gives the empty key and value.
    for (Json::ArrayIndex i = 0; i < payload.size(); ++i) {
        std::string key = AsString(Member(payload[i], "Key"));
        std::string value = AsString(Member(payload[i], "Value"));
        message.payload.emplace(std::move(key), std::move(value));
    }
    return message;
}

} // namespace Corvani::Nuv::IPC
