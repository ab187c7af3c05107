// Soak of the provider pipe: a long stream of commands of every kind through the real pipe to running
// NuvPipeServer loops, a new loop started whenever a command ends the last one. Every event command must
// be delivered exactly once and in order, and the process's handles and private bytes must end where they
// were once the stream had warmed up. The count comes from --commands=N (default 100000).

#include "PipeTestSupport.h"
#include "ServerRun.h"
#include "ipc/CommandTexts.h"

#include "common/ProcessFootprint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>

using namespace HxIpcTest;
using Corvani::Nuv::IPC::kMaxCommandBytes;

namespace HxIpcTest {
std::size_t g_soakCommands = 100000;
}

namespace {

enum class Kind { Event, EndsLoop, NoReply, ConnectAndLeave };

struct Command {
    Kind kind;
    uint32_t eventType = 0;
    std::vector<char> bytes;
};

std::vector<char> Message(const std::string& ascii, bool withNul = true) {
    std::vector<char> bytes = Utf16Message(std::wstring(ascii.begin(), ascii.end()));
    if (!withNul)
        bytes.resize(bytes.size() - 2);
    return bytes;
}

class CommandMix {
public:
    explicit CommandMix(unsigned seed) : _random(seed) {}

    Command Next() {
        static const char* const events[] = {"LOGON", "DESELECT", "UIINPUT"};
        const uint32_t type = static_cast<uint32_t>(Below(3));
        const std::string event = std::string("{\"Command\": \"") + events[type] + "\"";
        switch (Below(20)) {
        case 0: case 1: case 2: case 3: case 4: case 5: case 6:
            return {Kind::Event, type, Message(event + ",\"Payload\": [{\"Key\": \"k" + std::to_string(Below(99)) +
                                               "\", \"Value\": \"v\"}]}")};
        case 7: // exactly 2048 bytes: 1023 characters and the NUL
            return {Kind::Event, type, Message(event + std::string(1023 - event.size() - 1, ' ') + "}")};
        case 8: // a valid command without its NUL
            return {Kind::Event, type, Message(event + "}", false)};
        case 9: case 10: { // 2049 bytes and more: the read fails, the loop goes on
            std::vector<char> bytes = Message(event + std::string(1100, ' ') + "}");
            bytes.resize(kMaxCommandBytes + 1 + Below(60));
            return {Kind::NoReply, 0, bytes};
        }
        case 11: return {Kind::NoReply, 0, {}};
        case 12: case 13: return {Kind::ConnectAndLeave, 0, {}};
        case 14: return {Kind::EndsLoop, 0, Message("{\"Command\": \"LOG")};
        case 15: return {Kind::EndsLoop, 0, Message("{\"Command\": 1}")};
        case 16: return {Kind::EndsLoop, 0, Message(event + ", \"Payload\": [{\"Key\": \"k\", \"Value\": {}}]}")};
        case 17: return {Kind::EndsLoop, 0, Message("{\"Command\": \"SELF_CLOSE\",\"Payload\": []}")};
        case 18: return {Kind::EndsLoop, 0, Message("{\"Command\": \"logon\"}")};
        default: return {Kind::Event, type, Message(event + " // comment\n}")};
        }
    }

private:
    std::size_t Below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(_random); }
    std::mt19937 _random;
};

// Opens the pipe as soon as the server's next instance exists.
UniqueFileHandle OpenPromptly(const std::wstring& pipeName) {
    const ULONGLONG giveUpAt = NowMs() + 5000;
    for (;;) {
        UniqueFileHandle pipe(CreateFileW(pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
        const DWORD error = GetLastError();
        if (pipe || NowMs() >= giveUpAt || (error != ERROR_FILE_NOT_FOUND && error != ERROR_PIPE_BUSY))
            return pipe;
        Sleep(0);
    }
}

// One command; true when the server answered it.
bool Send(const std::wstring& pipeName, const Command& command) {
    UniqueFileHandle pipe = OpenPromptly(pipeName);
    if (!pipe)
        throw std::runtime_error("pipe not opened: " + std::to_string(GetLastError()));
    if (command.kind == Kind::ConnectAndLeave)
        return false;
    DWORD mode = PIPE_READMODE_MESSAGE, transferred = 0;
    SetNamedPipeHandleState(pipe.get(), &mode, nullptr, nullptr);
    if (!WriteFile(pipe.get(), command.bytes.data(), static_cast<DWORD>(command.bytes.size()), &transferred,
                   nullptr))
        throw std::runtime_error("command not written: " + std::to_string(GetLastError()));
    char reply[256];
    return ReadFile(pipe.get(), reply, sizeof(reply), &transferred, nullptr) != FALSE;
}

std::size_t PrivateBytes() { return HxTools::PrivateBytes(); }

TEST(PipeSoak, EveryCommandHasItsEffectOnceAndNothingGrows) {
    const std::size_t total = g_soakCommands;
    const std::size_t warmUp = std::max<std::size_t>(total / 20, 200);
    CommandMix mix(20261208);
    std::unique_ptr<ServerRun> run;
    std::vector<uint32_t> expected; // the events of the running loop, in order
    std::size_t delivered = 0, restarts = 0;
    int handlesBefore = 0;
    std::size_t bytesBefore = 0;
    std::size_t bytesHalfway = 0;
    ULONGLONG startedAt = 0;

    for (std::size_t i = 0; i < warmUp + total; ++i) {
        if (i == warmUp) {
            run.reset();
            expected.clear();
            handlesBefore = CountOpenHandles();
            bytesBefore = PrivateBytes();
            startedAt = NowMs();
        }
        if (i == warmUp + total / 2)
            bytesHalfway = PrivateBytes();
        if (!run)
            run = std::make_unique<ServerRun>(UniqueFakePid());
        const Command command = mix.Next();
        const bool answered = Send(run->PipeName(), command);
        if (command.kind == Kind::Event)
            expected.push_back(command.eventType);
        if (command.kind == Kind::Event) {
            ASSERT_TRUE(answered) << "command " << i;
            ASSERT_EQ(expected, run->Observer().Types()) << "command " << i;
        } else if (command.kind != Kind::EndsLoop) {
            ASSERT_FALSE(answered) << "command " << i;
        } else {
            ASSERT_TRUE(run->WaitEnded(5000)) << "command " << i;
            ASSERT_EQ(expected, run->Observer().Types()) << "command " << i;
            delivered += expected.size();
            expected.clear();
            run.reset();
            ++restarts;
        }
    }
    if (run)
        delivered += run->Observer().Types().size();
    run.reset();
    const double seconds = (NowMs() - startedAt) / 1000.0;
    const int handlesAfter = CountOpenHandles();
    const std::size_t bytesAfter = PrivateBytes();
    std::printf("soak: %zu commands in %.1f s (%.0f/s), %zu events, %zu loops ended and restarted\n"
                "soak: handles %d -> %d, private bytes %zu -> %zu (halfway %zu)\n",
                total, seconds, total / seconds, delivered, restarts, handlesBefore, handlesAfter, bytesBefore,
                bytesAfter, bytesHalfway);
    EXPECT_LE(std::abs(handlesAfter - handlesBefore), 2);
    // Wine's heap grows once by a few megabytes at a moment that differs from run to run, then stays: a
    // leak would go on growing through the second half, where a single step would not.
    EXPECT_LE(bytesAfter, bytesBefore + (4u << 20));
    EXPECT_LE(bytesAfter, bytesHalfway + (1u << 20));
}

} // namespace
