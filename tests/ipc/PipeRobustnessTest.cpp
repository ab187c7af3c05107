// A bounded stream of malformed and random messages through the real provider pipe: the server must
// neither crash nor leak, and each message must have the effect that the command rules give it.

#include "PipeTestSupport.h"
#include "ServerRun.h"
#include "ipc/CommandTexts.h"
#include "ipc/IPCMessage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <stdexcept>

using namespace HxIpcTest;
using Corvani::Nuv::IPC::kMaxCommandBytes;
using Corvani::Nuv::IPC::parseIPCMessage;

namespace {

enum class Effect { Event, Ends, EndsByException, Skipped };

struct Expected {
    Effect effect;
    uint32_t eventType = 0;
};

// What the rules make of one message: too long or empty is skipped, a member of the wrong type ends the
// thread by exception, the three event commands raise their event, anything else ends the loop.
Expected ExpectedEffect(const std::vector<char>& message) {
    if (message.empty() || message.size() > kMaxCommandBytes)
        return {Effect::Skipped};
    std::vector<wchar_t> text(message.size() / sizeof(wchar_t) + 1, L'\0');
    std::memcpy(text.data(), message.data(), message.size() / sizeof(wchar_t) * sizeof(wchar_t));
    std::string command;
    try {
        command = parseIPCMessage(text.data(), message.size() / sizeof(wchar_t)).command;
    } catch (const std::runtime_error&) {
        return {Effect::EndsByException};
    }
    if (command == "LOGON")
        return {Effect::Event, 0};
    if (command == "DESELECT")
        return {Effect::Event, 1};
    if (command == "UIINPUT")
        return {Effect::Event, 2};
    return {Effect::Ends};
}

std::vector<char> Bytes(const std::string& ascii) {
    std::wstring wide(ascii.begin(), ascii.end());
    return Utf16Message(wide);
}

std::vector<std::vector<char>> HandMadeMessages() {
    const std::string logon = "{\"Command\": \"LOGON\",\"Payload\": [{\"Key\": \"user\", \"Value\": \"x\"}]}";
    std::vector<std::vector<char>> messages;
    for (std::size_t cut = 1; cut < logon.size(); cut += 7)
        messages.push_back(Bytes(logon.substr(0, cut)));
    for (const char* text :
         {"{\"Command\": 1}", "{\"Command\": [\"LOGON\"]}", "{\"Command\": {}}",
          "{\"Command\": \"LOGON\", \"Payload\": 5}",
          "{\"Command\": \"DESELECT\", \"Payload\": [{\"Key\": {\"a\": 1}}]}",
          "{\"Command\": \"UIINPUT\", \"Payload\": [1, 2]}",
          "{\"Command\": \"UIINPUT\", \"Payload\": [{\"Value\": [], \"Key\": \"k\"}]}",
          "{\"Command\": \"LOGON\"} // tail", "[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[",
          "{\"Command\": \"\\uZZZZ\"}", "\"\\", "/*", "{\"\": \"\"}"})
        messages.push_back(Bytes(text));
    messages.push_back(Bytes("{\"" + std::string(1000, 'k') + "\": \"v\", \"Command\": \"LOGON\"}"));
    messages.push_back(
        Bytes("{\"Command\": \"LOGON\", \"Payload\": [{\"Key\": \"" + std::string(990, 'k') + "\"}]}"));
    messages.push_back(Bytes("{\"Command\": \"LOGON\"" + std::string(2000, ' ') + "}"));
    std::vector<char> noNul = Bytes("{\"Command\": \"DESELECT\"}");
    noNul.resize(noNul.size() - 2);
    messages.push_back(noNul);
    std::vector<char> odd = Bytes("{\"Command\": \"UIINPUT\"}");
    odd.push_back('\x7F');
    messages.push_back(odd);
    messages.push_back({});
    return messages;
}

std::vector<char> RandomMessage(std::mt19937& random) {
    const std::string valid = "{\"Command\": \"LOGON\",\"Payload\": [{\"Key\": \"k\", \"Value\": \"v\"}]}";
    std::uniform_int_distribution<int> kind(0, 3), byte(0, 255);
    std::vector<char> message;
    switch (kind(random)) {
    case 0: { // binary of any length, up to a little more than the limit
        message.resize(std::uniform_int_distribution<std::size_t>(1, 2100)(random));
        for (char& c : message)
            c = static_cast<char>(byte(random));
        break;
    }
    case 1: { // the valid command with a few bytes changed
        message = Bytes(valid);
        for (int i = 0; i < 3; ++i)
            message[std::uniform_int_distribution<std::size_t>(0, message.size() - 1)(random)] =
                static_cast<char>(byte(random));
        break;
    }
    case 2: { // ASCII made of JSON punctuation and words
        static const char* pieces[] = {"{",         "}",         "[",           "]",           ":",
                                       ",",         "\"",        "\"Command\"", "\"Payload\"", "\"Key\"",
                                       "\"Value\"", "\"LOGON\"", "\"UIINPUT\"", "1",           "true",
                                       "null",      "//",        "/*",          "*/",          " "};
        std::string text;
        const int count = std::uniform_int_distribution<int>(1, 40)(random);
        for (int i = 0; i < count; ++i)
            text += pieces[std::uniform_int_distribution<int>(0, 19)(random)];
        message = Bytes(text);
        break;
    }
    default: { // the valid command cut short, without its NUL
        message = Bytes(valid);
        message.resize(std::uniform_int_distribution<std::size_t>(1, message.size() - 2)(random));
        break;
    }
    }
    return message;
}

// Sends each message through a running server and checks its effect; starts a new server whenever the
// previous one ended.
void CheckStream(const std::vector<std::vector<char>>& messages) {
    std::unique_ptr<ServerRun> run;
    std::size_t events = 0;
    for (std::size_t i = 0; i < messages.size(); ++i) {
        if (!run) {
            run = std::make_unique<ServerRun>(UniqueFakePid());
            events = 0;
        }
        const Expected expected = ExpectedEffect(messages[i]);
        const RawExchange exchange = SendRaw(run->PipeName(), messages[i]);
        ASSERT_TRUE(exchange.written) << "message " << i << " error " << exchange.error;
        const std::vector<uint32_t> types = run->Observer().Types();
        if (expected.effect == Effect::Event) {
            ASSERT_EQ(events + 1, types.size()) << "message " << i;
            EXPECT_EQ(expected.eventType, types.back()) << "message " << i;
            ++events;
        } else {
            ASSERT_EQ(events, types.size()) << "message " << i;
        }
        const bool answered = expected.effect == Effect::Event || expected.effect == Effect::Ends;
        EXPECT_EQ(answered, exchange.replied) << "message " << i;
        if (expected.effect == Effect::Ends || expected.effect == Effect::EndsByException) {
            ASSERT_TRUE(run->WaitEnded(5000)) << "message " << i;
            run.reset();
        } else {
            EXPECT_TRUE(run->IsRunning()) << "message " << i;
        }
    }
}

// The effects that the stream check derives from the command reader, fixed here for the hand-made
// messages so that the derivation itself is held to the rules.
TEST(PipeRobustness, HandMadeMessagesHaveFixedEffects) {
    const struct {
        const char* text;
        Effect effect;
        uint32_t eventType;
    } cases[] = {
        {"{\"Command\": 1}", Effect::EndsByException, 0},
        {"{\"Command\": [\"LOGON\"]}", Effect::EndsByException, 0},
        {"{\"Command\": {}}", Effect::EndsByException, 0},
        {"{\"Command\": \"LOGON\", \"Payload\": 5}", Effect::Event, 0},
        {"{\"Command\": \"DESELECT\", \"Payload\": [{\"Key\": {\"a\": 1}}]}", Effect::EndsByException, 0},
        {"{\"Command\": \"UIINPUT\", \"Payload\": [1, 2]}", Effect::Event, 2},
        {"{\"Command\": \"UIINPUT\", \"Payload\": [{\"Value\": [], \"Key\": \"k\"}]}", Effect::EndsByException, 0},
        {"{\"Command\": \"LOGON\"} // tail", Effect::Event, 0},
        {"{\"Command\": \"DESELECT\", \"Payload\": [{\"Key\": \"k\", \"Value\": 1e999}]}", Effect::Event, 1},
        {"[[[[[[[[", Effect::Ends, 0},
        {"{\"Command\": \"\\uZZZZ\"}", Effect::Ends, 0},
        {"/*", Effect::Ends, 0},
        {"{\"\": \"\"}", Effect::Ends, 0},
        {"{\"Command\": \"LOGON\"", Effect::Event, 0},
    };
    for (const auto& c : cases) {
        const Expected expected = ExpectedEffect(Bytes(c.text));
        EXPECT_EQ(c.effect, expected.effect) << c.text;
        if (c.effect == Effect::Event) {
            EXPECT_EQ(c.eventType, expected.eventType) << c.text;
        }
    }
    std::vector<char> noNul = Bytes("{\"Command\": \"DESELECT\"}");
    noNul.resize(noNul.size() - 2);
    EXPECT_EQ(Effect::Event, ExpectedEffect(noNul).effect);
    EXPECT_EQ(Effect::Skipped, ExpectedEffect({}).effect);
    EXPECT_EQ(Effect::Skipped, ExpectedEffect(Bytes("{\"Command\": \"LOGON\"" + std::string(2000, ' ') + "}")).effect);
}

TEST(PipeRobustness, MalformedAndRandomMessagesHaveTheirRuledEffectAndLeakNothing) {
    // Warm-up: the first thread, pipe and thrown exception of the process allocate what they keep.
    CheckStream({Bytes("{\"Command\": \"LOGON\"}"), Bytes("{\"Command\": 1}")});
    const int handlesBefore = CountOpenHandles();

    CheckStream(HandMadeMessages());
    std::mt19937 random(20240611);
    std::vector<std::vector<char>> randomMessages;
    for (int i = 0; i < 300; ++i)
        randomMessages.push_back(RandomMessage(random));
    CheckStream(randomMessages);

    EXPECT_EQ(handlesBefore, CountOpenHandles());
}

} // namespace
