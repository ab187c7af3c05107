// The parsed form of received commands and the fixed texts of the sent ones.

#include "ipc/CommandTexts.h"
#include "ipc/IPCMessage.h"
#include "ipc/PipeNames.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <stdexcept>

using namespace Corvani::Nuv::IPC;

namespace {

using Payload = std::map<std::string, std::string>;

IPCMessage Parse(const std::wstring& text) {
    return parseIPCMessage(text.c_str());
}

void ExpectNotConvertible(const std::wstring& text) {
    try {
        Parse(text);
        ADD_FAILURE() << "no exception for a non-text member";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ("Type is not convertible to string", error.what());
    }
}

TEST(CommandParser, LogonWithoutOrWithEmptyPayload) {
    for (const wchar_t* text : {L"{\"Command\": \"LOGON\"}", L"{\"Command\": \"LOGON\",\"Payload\": []}"}) {
        const IPCMessage message = Parse(text);
        EXPECT_EQ("LOGON", message.command);
        EXPECT_TRUE(message.payload.empty());
    }
}

TEST(CommandParser, PayloadElementsFirstOfEqualKeysStays) {
    const IPCMessage message =
        Parse(L"{\"Command\": \"LOGON\", \"Payload\": [{\"Key\": \"user\", \"Value\": \"a\"},"
              L"{\"Key\": \"user\", \"Value\": \"b\"}, {\"Key\": \"Domain\", \"Value\": \"d\"}]}");
    EXPECT_EQ((Payload{{"Domain", "d"}, {"user", "a"}}), message.payload);
}

TEST(CommandParser, StringConversionOfMembers) {
    const IPCMessage message =
        Parse(L"{\"Command\": \"UIINPUT\", \"Payload\": [{\"Key\": \"noValue\"}, {\"Value\": \"noKey\"},"
              L"{\"Key\": \"t\", \"Value\": true}, {\"Key\": \"f\", \"Value\": false}, {\"Key\": \"n\", "
              L"\"Value\": null}]}");
    EXPECT_EQ((Payload{{"", "noKey"}, {"f", "false"}, {"n", ""}, {"noValue", ""}, {"t", "true"}}),
              message.payload);
    EXPECT_EQ("true", Parse(L"{\"Command\": true}").command);
    EXPECT_EQ("", Parse(L"{\"Command\": null}").command);
}

TEST(CommandParser, NumberArrayOrObjectWhereTextIsExpectedThrows) {
    ExpectNotConvertible(L"{\"Command\": \"LOGON\", \"Payload\": [{\"Key\": \"k\", \"Value\": 1}]}");
    ExpectNotConvertible(L"{\"Command\": \"LOGON\", \"Payload\": [{\"Key\": \"k\", \"Value\": 1.5}]}");
    ExpectNotConvertible(L"{\"Command\": \"LOGON\", \"Payload\": [{\"Key\": [], \"Value\": \"v\"}]}");
    ExpectNotConvertible(L"{\"Command\": \"LOGON\", \"Payload\": [{\"Key\": \"k\", \"Value\": {}}]}");
    ExpectNotConvertible(L"{\"Command\": 7}");
    ExpectNotConvertible(L"{\"Command\": -1, \"Payload\": []}");
    // A lone minus and a number without its fraction digits are numbers to the reader.
    ExpectNotConvertible(L"{\"Command\": \"LOGON\", \"Payload\": [{\"Key\": \"k\", \"Value\": -}]}");
    ExpectNotConvertible(L"{\"Command\": 1.}");
}

TEST(CommandParser, NumberWhereANameBelongsEndsTheReadingQuietly) {
    const IPCMessage message = Parse(L"{\"Command\": \"LOGON\", 12: \"x\"}");
    EXPECT_EQ("LOGON", message.command);
}

TEST(CommandParser, CommentsAndTextAfterTheValueAreAllowed) {
    EXPECT_EQ("LOGON", Parse(L"// from the UI\n{ /* name */ \"Command\": \"LOGON\" // end\n}").command);
    EXPECT_EQ("LOGON", Parse(L"/* \" */ {\"Command\": \"LOGON\"}").command);
    EXPECT_EQ("LOGON", Parse(L"{\"Command\": \"LOGON\"} trailing words").command);
    EXPECT_EQ("LOGON", Parse(L"{\"Command\": \"LOGON\"}{\"Command\": \"SELF_CLOSE\"}").command);
}

TEST(CommandParser, TopLevelValuesOtherThanObjectsHaveNoMembers) {
    const std::wstring deepest(1023, L'['); // as deep as a received command can nest, past the reader's limit
    for (const wchar_t* text : {L"\"LOGON\"", L"[{\"Command\": \"LOGON\"}]", L"42", L"true", L"null", L"",
                                deepest.c_str()}) {
        const IPCMessage message = Parse(text);
        EXPECT_EQ("", message.command) << static_cast<const void*>(text);
        EXPECT_TRUE(message.payload.empty());
    }
}

TEST(CommandParser, BrokenTextKeepsWhatWasReadBeforeTheBreak) {
    IPCMessage message = Parse(L"{\"Command\": \"LOGON\", \"Payload\": [{\"Key\": \"a\", \"Value\": \"1\"}, "
                               L"{\"Key\": \"b\", \"Val");
    EXPECT_EQ("LOGON", message.command);
    EXPECT_EQ((Payload{{"a", "1"}, {"b", ""}}), message.payload);

    // A number out of the reader's range is a syntax error: its member stays null.
    message = Parse(L"{\"Command\": \"LOGON\", \"Payload\": [{\"Key\": \"k\", \"Value\": 1e999}]}");
    EXPECT_EQ("LOGON", message.command);
    EXPECT_EQ((Payload{{"k", ""}}), message.payload);

    EXPECT_EQ("DESELECT", Parse(L"{\"Command\": \"DESELECT\", \"Payl").command);
    EXPECT_EQ("LOGON", Parse(L"{\"Command\": \"LOGON\" \"Payload\": []}").command);
    EXPECT_EQ("", Parse(L"{\"Command\": \"LOG").command);
    EXPECT_EQ("", Parse(L"not json at all").command);
    EXPECT_EQ("", Parse(L"}{").command);
}

TEST(CommandParser, RepeatedMemberKeepsTheLaterCompleteValue) {
    EXPECT_EQ("LOGON", Parse(L"{\"Command\": \"SELF_CLOSE\", \"Command\": \"LOGON\"}").command);
    EXPECT_EQ("LOGON", Parse(L"{\"Command\": \"LOGON\", \"Command\": tru").command);
}

TEST(CommandParser, PayloadThatIsNoArrayContributesNothingAndElementsThatAreNoObjectsHaveNoMembers) {
    EXPECT_TRUE(
        Parse(L"{\"Command\": \"LOGON\", \"Payload\": {\"Key\": \"k\", \"Value\": \"v\"}}").payload.empty());
    EXPECT_TRUE(Parse(L"{\"Command\": \"LOGON\", \"Payload\": \"text\"}").payload.empty());
    const IPCMessage message =
        Parse(L"{\"Command\": \"LOGON\", \"Payload\": [\"s\", 3, null, [{\"Key\": \"x\"}],"
              L"{\"Key\": \"kept\", \"Value\": \"v\"}]}");
    EXPECT_EQ("LOGON", message.command);
    EXPECT_EQ((Payload{{"", ""}, {"kept", "v"}}), message.payload);
}

TEST(CommandParser, EachCharacterCountsWithItsLowByte) {
    // U+014C has the low byte 0x4C, "L".
    EXPECT_EQ("LOGON", Parse(L"{\"Command\": \"\u014COGON\"}").command);
    // Raw high and control bytes inside strings do not stop the reader, whatever comes after them.
    const IPCMessage message = Parse(
        L"{\"Payload\": [{\"Key\": \"name\", \"Value\": \"Jos\u00E9\t\u0101\"}], \"Command\": \"LOGON\"}");
    EXPECT_EQ("LOGON", message.command);
    EXPECT_EQ((Payload{{"name", "Jos\xE9\t\x01"}}), message.payload);
}

TEST(CommandParser, EscapesDecodeAsTheReaderDecodedThem) {
    const IPCMessage message = Parse(
        L"{\"Command\": \"\\u004cOGON\", \"Payload\": [{\"Key\": \"euro\", \"Value\": \"\\u20AC\"},"
        L"{\"Key\": \"nul\", \"Value\": \"ab\\u0000cd\"}, {\"Key\": \"q\", \"Value\": \"\\\"\\\\\\/\\n\"}]}");
    EXPECT_EQ("LOGON", message.command);
    EXPECT_EQ((Payload{{"nul", std::string("ab\0cd", 5)}, {"euro", "\xE2\x82\xAC"}, {"q", "\"\\/\n"}}),
              message.payload);
}

TEST(CommandParser, TextEndsAtItsNulOrAtTheBound) {
    const wchar_t withNul[] = L"{\"Command\": \"LOGON\"}\0{\"Command\": \"DESELECT\"}";
    EXPECT_EQ("LOGON", parseIPCMessage(withNul, sizeof(withNul) / sizeof(wchar_t)).command);
    const std::wstring noNul = L"{\"Command\": \"UIINPUT\"}{\"Comm";
    EXPECT_EQ("UIINPUT", parseIPCMessage(noNul.data(), noNul.size()).command);
    EXPECT_EQ("", parseIPCMessage(noNul.data(), 15).command);
}

TEST(CommandTexts, SentTextsAndTheirSizeOnTheWire) {
    struct Expected {
        const wchar_t* text;
        const char* name;
        std::size_t bytes;
    };
    for (const Expected& expected :
         {Expected{kShowCommandText, "SHOW", 68}, Expected{kChangePasswordCommandText, "CHANGEPASSWORD", 86},
          Expected{kHideCommandText, "HIDE", 68}, Expected{kCloseCommandText, "CLOSE", 70},
          Expected{kSelfCloseCommandText, "SELF_CLOSE", 80}}) {
        EXPECT_EQ(expected.bytes, (std::wcslen(expected.text) + 1) * sizeof(char16_t)) << expected.name;
        EXPECT_EQ(expected.name, parseIPCMessage(expected.text).command);
    }
    EXPECT_STREQ(L"{\"Command\":\"CHANGEPASSWORD\",\"Payload\": []}", kChangePasswordCommandText);
    EXPECT_STREQ(L"{\"Command\": \"SELF_CLOSE\",\"Payload\": []}", kSelfCloseCommandText);
}

TEST(PipeNames, NamesEndInTheDecimalProcessId) {
    EXPECT_EQ(L"\\\\.\\pipe\\CPPipeServer1234", ProviderPipeName(1234));
    EXPECT_EQ(L"\\\\.\\pipe\\NuvUIPipeServer1234", UIPipeName(1234));
    EXPECT_EQ(L"\\\\.\\pipe\\CPPipeServer0", ProviderPipeName(0));
    EXPECT_EQ(L"\\\\.\\pipe\\NuvUIPipeServer4294967295", UIPipeName(4294967295u));
    EXPECT_EQ("4294967295", ProcessIdText(4294967295u));
}

} // namespace
