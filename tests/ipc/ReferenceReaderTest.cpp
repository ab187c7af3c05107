// The command reader against the model of the reader rules: a table of the cases where the two once
// differed, then generated texts that mix the commands' own shape with every kind of token the rules
// treat specially.

#include "ipc/IPCMessage.h"
#include "ipc/ReferenceReader.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

using Corvani::Nuv::IPC::IPCMessage;
using Corvani::Nuv::IPC::parseIPCMessage;
using HxTest::ModelMessage;
using HxTest::ModelParse;

namespace {

using Units = std::vector<wchar_t>;

ModelMessage Product(const Units& units) {
    try {
        IPCMessage message = parseIPCMessage(units.data(), units.size());
        return {false, message.command, message.payload};
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ("Type is not convertible to string", error.what());
        return {true, "", {}};
    }
}

// What the model reads: the low bytes up to the first NUL unit.
std::string LowBytes(const Units& units) {
    std::string bytes;
    for (wchar_t unit : units) {
        if (unit == 0)
            break;
        bytes += static_cast<char>(unit & 0xFF);
    }
    return bytes;
}

Units Widen(const std::string& bytes) {
    Units units;
    for (unsigned char byte : bytes)
        units.push_back(byte == 0 ? wchar_t(0x100) : wchar_t(byte)); // a byte 0 arrives as U+0100
    return units;
}

std::string Printable(const Units& units) {
    std::string out;
    for (wchar_t unit : units) {
        if (unit >= 0x20 && unit < 0x7F) {
            out += static_cast<char>(unit);
        } else {
            char hex[16];
            std::snprintf(hex, sizeof hex, "<%X>", static_cast<unsigned>(unit));
            out += hex;
        }
    }
    return out;
}

void ExpectAgreement(const Units& units) {
    const ModelMessage model = ModelParse(LowBytes(units));
    const ModelMessage product = Product(units);
    EXPECT_EQ(model.threw, product.threw) << Printable(units);
    EXPECT_EQ(model.command, product.command) << Printable(units);
    EXPECT_EQ(model.payload, product.payload) << Printable(units);
}

struct Case {
    std::string text; // bytes; a 0 byte is sent as U+0100
    ModelMessage expected;
};

TEST(ReferenceReader, OnceDifferentCases) {
    using P = std::map<std::string, std::string>;
    const std::string nul(1, '\0');
    const Case cases[] = {
        {"{\"Command\":\"LOGON" + nul + "xyz\"}", {false, "LOGON", {}}},
        {"{\"Command\":\"LOGON\",\"Payload\":[{\"Key\":\"k" + nul + "x\",\"Value\":\"v\\u0000w\"}]}",
         {false, "LOGON", P{{"k", "v"}}}},
        {"{\"Command\"" + nul + ":\"LOGON\"}", {false, "", {}}},
        {"{\"Command" + nul + "zz\":\"LOGON\"}", {false, "LOGON", {}}},
        {"{/* " + nul + " */\"Command\":\"LOGON\" // " + nul + "\n}", {false, "LOGON", {}}},
        {"{\"Command\" /* c */ : \"LOGON\"}", {false, "", {}}},
        {"{\"Command\":\"DESELECT\", \"Command\" // c\n: \"LOGON\"}", {false, "DESELECT", {}}},
        {"{\"Command\" 5}", {false, "", {}}},
        {"{\"Command\":--}", {false, "", {}}},
        {"{\"Command\":\"LOGON\",\"Command\":--}", {false, "LOGON", {}}},
        {"{\"Command\":\"LOGON\",\"Payload\":[{\"Key\":\"k\",\"Value\":-e}]}", {false, "LOGON", P{{"k", ""}}}},
        {"{\"Command\":-}", {true, "", {}}},
        {"{\"x\":01,\"y\":1.e+,\"z\":-.5,\"Command\":\"LOGON\"}", {false, "LOGON", {}}},
        {"{\"Command\":\"LO\\uDC00\"}", {false, "LO\xED\xB0\x80", {}}},
        {"{\"Command\":\"\\uD800\\u0041\"}", {false, "\xF0\x90\x81\x81", {}}},
        {"{\"Command\":\"\\uD800x\", \"Payload\":[]}", {false, "", {}}},
        {"{\"Command\":\"LOGON\" /* c */ x \"Payload\":[{\"Key\":\"k\"}]}", {false, "LOGON", P{{"k", ""}}}},
        {"{\"Command\":\"LOGON\",\"Payload\":[{\"Key\":\"k\"} /* c */ ,null,\"s\"]}",
         {false, "LOGON", P{{"", ""}, {"k", ""}}}},
        {"{\"Command\":\"LOGON\",\"Payload\":[", {false, "LOGON", P{{"", ""}}}},
        {"{\"Command\":\"LOGON\",\"Payload\":[/* c */]}", {false, "LOGON", P{{"", ""}}}},
        {"{\"\":\"LOGON\",}", {false, "", {}}},
        {"{\"Command\":\"LOGON\",}", {false, "LOGON", {}}},
    };
    for (const Case& c : cases) {
        const Units units = Widen(c.text);
        const ModelMessage model = ModelParse(c.text);
        EXPECT_TRUE(c.expected == model) << "model: " << Printable(units);
        EXPECT_TRUE(c.expected == Product(units)) << "reader: " << Printable(units);
    }
}

// Texts built from the fragments the rules care about, put together mostly in the commands' shape.
class TextGenerator {
public:
    explicit TextGenerator(unsigned seed) : _random(seed) {}

    Units Next() {
        std::string text;
        if (Below(4) != 0) {
            text = "{" + Gap() + Name() + Gap() + ":" + Gap() + Scalar() + Gap();
            const std::size_t members = Below(4);
            for (std::size_t i = 0; i < members; ++i)
                text += Pick({",", ",", " ", "/**/"}) + Gap() + Name() + Gap() + Pick({":", ":", ""}) + Gap() +
                        (Below(2) ? Payload() : Scalar()) + Gap();
            text += Pick({"}", "}", "", ",}", "]"});
        } else {
            for (std::size_t n = Below(12); n > 0; --n)
                text += Fragment();
        }
        Mutate(text);
        Units units = Widen(text);
        if (Below(8) == 0 && !units.empty())
            units[Below(units.size())] = 0; // the text ends at a NUL unit
        for (std::size_t n = Below(3); n > 0 && !units.empty(); --n) {
            wchar_t& unit = units[Below(units.size())];
            unit = static_cast<wchar_t>((unit & 0xFF) | ((1 + Below(0xFE)) << 8)); // only the low byte counts
        }
        return units;
    }

private:
    std::size_t Below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(_random); }
    std::string Pick(std::initializer_list<std::string> options) {
        return *(options.begin() + Below(options.size()));
    }

    std::string Gap() {
        return Pick({"", "", "", " ", "\t\r\n", "/* c */", "// c\n", "/*\x01\xFF*/", std::string("/*\0*/", 5),
                     std::string("//\0\n", 4)});
    }
    std::string Name() {
        return "\"" + Pick({"Command", "Command", "Payload", "Key", "Value", "", "Comm\\u0061nd", "x"}) + "\"";
    }
    std::string StringBody() {
        std::string body;
        for (std::size_t n = Below(4); n > 0; --n)
            body += Pick({"LOGON", "DESELECT", "UIINPUT", "SELF_CLOSE", "a", "\\\"", "\\\\", "\\/", "\\n", "\\u004C",
                          "\\u0000", "\\u00e9", "\\u20AC", "\\uDC00", "\\uD83D\\uDE00", "\\uD800\\u0041", "\\uD800",
                          "\\uD800x", "\\q", "\\u12", "\xE9", "\x01", "\x7F", "\\"});
        return body;
    }
    std::string Scalar() {
        switch (Below(4)) {
        case 0: return Pick({"true", "false", "null", "tru", "nul", "-", "--", "-e", "1.", "01", "1e+", "-.5", "-.",
                             "1-2", "12", "1e999", "+1", ".5", "x"});
        case 1: return "{" + Gap() + Name() + ":" + Scalar() + Pick({"}", "", ","}) + "}";
        default: return "\"" + StringBody() + Pick({"\"", "\"", "\"", ""});
        }
    }
    std::string Payload() {
        std::string text = "[" + Gap();
        for (std::size_t n = Below(4); n > 0; --n) {
            if (Below(5) == 0)
                text += Scalar();
            else
                text += "{" + Gap() + "\"Key\"" + Gap() + ":" + Scalar() + Pick({",", " ", ""}) + "\"Value\":" +
                        Scalar() + Gap() + Pick({"}", "}", ""});
            text += Gap() + Pick({",", ",", "", " x "}) + Gap();
        }
        return text + Pick({"]", "]", "", "}"});
    }
    std::string Fragment() {
        return Pick({"{", "}", "[", "]", ",", ":", " ", "\"Command\"", "\"LOGON\"", "\"Payload\"", "/*", "*/", "//",
                     "\n", "0", "-", "e", "t", "\"", "\\", std::string(1, '\0'), "\xFF"});
    }
    void Mutate(std::string& text) {
        for (std::size_t n = Below(3); n > 0 && !text.empty(); --n) {
            const std::size_t at = Below(text.size());
            switch (Below(3)) {
            case 0: text.erase(at, 1 + Below(3)); break;
            case 1: text.insert(at, Fragment()); break;
            default: text.resize(at); break;
            }
        }
    }

    std::mt19937 _random;
};

TEST(ReferenceReader, GeneratedTextsReadAsTheModelReadsThem) {
    TextGenerator generator(20261208);
    for (int i = 0; i < 200000 && !HasFailure(); ++i)
        ExpectAgreement(generator.Next());
}

} // namespace
