// The 8-bit text of a command crosses into the JSON library and back unchanged.

#include "ipc/LenientJsonReader.h"
#include "ipc/ReaderText.h"

#include <gtest/gtest.h>

using namespace Corvani::Nuv::IPC;

namespace {

std::string ReadBackString(const std::string& bytes) {
    const nlohmann::json value = ReadLenientJson(ToReaderText("\"" + bytes + "\""));
    return value.is_string() ? FromReaderText(value.get<std::string>()) : std::string("<not a string>");
}

TEST(ReaderText, EveryByteValueSurvivesInsideAString) {
    std::string bytes;
    for (int byte = 1; byte < 256; ++byte)
        if (byte != '"' && byte != '\\')
            bytes += static_cast<char>(byte);
    EXPECT_EQ(bytes, ReadBackString(bytes));
}

TEST(ReaderText, HighBytesOutsideStringsStaySyntaxErrors) {
    EXPECT_TRUE(ReadLenientJson(ToReaderText("\xE9")).is_null());
    const nlohmann::json broken = ReadLenientJson(ToReaderText("{\"a\": \"1\", \xC3\xA9: 2}"));
    ASSERT_TRUE(broken.is_object());
    EXPECT_EQ(1u, broken.size());
}

TEST(ReaderText, CommentsMayHoldQuotesAndAnyBytes) {
    const nlohmann::json value = ReadLenientJson(ToReaderText("/* \"\xFF */ // \" \x01\r{\"a\": \"x\"}"));
    ASSERT_TRUE(value.is_object());
    EXPECT_EQ("x", value["a"].get<std::string>());
}

TEST(ReaderText, EscapedQuoteDoesNotEndTheString) {
    EXPECT_EQ("a\"\xE9", ReadBackString("a\\\"\xE9"));
}

} // namespace
