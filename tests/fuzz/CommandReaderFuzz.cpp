// The command reader on any received buffer of up to 2048 bytes, NUL-terminated or not: it never reads
// past the buffer, throws nothing but the one conversion error, and gives every member of the value that
// jsoncpp reads from the low bytes as the conversion rules say: a string its text, null or a missing
// member "", a boolean "true" or "false", a number, an array or an object the conversion error.

#include "ipc/CommandJson.h"
#include "ipc/IPCMessage.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Outcome {
    bool threw = false;
    std::string command;
    std::map<std::string, std::string> payload;

    bool operator==(const Outcome& other) const {
        return threw == other.threw && command == other.command && payload == other.payload;
    }
};

const Outcome kThrew{true, "", {}};

Outcome Read(const wchar_t* text, std::size_t units) {
    try {
        Corvani::Nuv::IPC::IPCMessage message = units == SIZE_MAX
                                                    ? Corvani::Nuv::IPC::parseIPCMessage(text)
                                                    : Corvani::Nuv::IPC::parseIPCMessage(text, units);
        return {false, message.command, message.payload};
    } catch (const std::runtime_error& error) {
        if (std::strcmp(error.what(), "Type is not convertible to string") != 0)
            std::abort();
        return kThrew;
    }
}

// The text that the rules give a member, from the member's type; none where it is not convertible.
std::optional<std::string> RuleText(const Json::Value& holder, const char* name) {
    if (!holder.isObject() || !holder.isMember(name))
        return "";
    const Json::Value& member = holder[name];
    switch (member.type()) {
    case Json::nullValue:
        return "";
    case Json::booleanValue:
        return member.asBool() ? "true" : "false";
    case Json::stringValue: {
        const char* begin = nullptr;
        const char* end = nullptr;
        member.getString(&begin, &end);
        return std::string(begin, end);
    }
    default:
        return std::nullopt;
    }
}

// What the rules make of the value read from these bytes.
Outcome Expected(const std::string& lowBytes) {
    const Json::Value root = Corvani::Nuv::IPC::ReadCommandJson(lowBytes);
    Outcome expected;
    const std::optional<std::string> command = RuleText(root, "Command");
    if (!command)
        return kThrew;
    expected.command = *command;
    if (!root.isObject() || !root["Payload"].isArray())
        return expected;
    for (const Json::Value& element : root["Payload"]) {
        const std::optional<std::string> key = RuleText(element, "Key");
        const std::optional<std::string> value = RuleText(element, "Value");
        if (!key || !value)
            return kThrew;
        expected.payload.emplace(*key, *value); // of two equal keys the first stays
    }
    return expected;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 2048)
        return 0;
    // The buffer holds exactly the units received, so that a read past them is caught.
    const std::size_t count = size / 2;
    std::vector<wchar_t> units(count);
    std::string lowBytes;
    bool nulSeen = false;
    for (std::size_t i = 0; i < count; ++i) {
        units[i] = static_cast<wchar_t>(data[2 * i] | (data[2 * i + 1] << 8));
        nulSeen = nulSeen || units[i] == 0;
        if (!nulSeen)
            lowBytes += static_cast<char>(data[2 * i]);
    }
    const Outcome bounded = Read(units.data(), units.size());
    if (!(bounded == Expected(lowBytes)))
        std::abort();

    units.push_back(0);
    if (!(Read(units.data(), SIZE_MAX) == bounded))
        std::abort();
    return 0;
}
