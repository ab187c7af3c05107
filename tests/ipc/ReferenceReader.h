#pragma once
// A small model of the reader rules that the command reader follows, written after those rules as a
// token reader over a stack of value slots, with values whose texts are C strings. The tests compare the
// command reader with it on generated texts.

#include <map>
#include <string>

namespace HxTest {

struct ModelMessage {
    bool threw = false; // "Type is not convertible to string"
    std::string command;
    std::map<std::string, std::string> payload;
    bool operator==(const ModelMessage& other) const {
        return threw == other.threw && command == other.command && payload == other.payload;
    }
};

// What the command reader is to make of the 8-bit text (one byte per received UTF-16 unit).
ModelMessage ModelParse(const std::string& bytes);

} // namespace HxTest
