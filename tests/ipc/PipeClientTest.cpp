// The provider's pipe client over real pipes: the texts it writes, its retry patterns, and how it reads
// (or gives up on) the reply.

#include "PipeTestSupport.h"
#include "PipeTraceLog.h"
#include "ServerRun.h"
#include "StandInProcess.h"
#include "ipc/CommandTexts.h"
#include "ipc/NuvPipeClient.h"
#include "ipc/PipeNames.h"
#include "support/PipePeer.h"

#include <gtest/gtest.h>

#include <thread>

using namespace HxIpcTest;
using Corvani::Nuv::IPC::NuvPipeClient;
using Corvani::Nuv::IPC::ProviderPipeName;
using Corvani::Nuv::IPC::UIPipeName;
using Lines = std::vector<std::string>;
using Messages = std::vector<std::string>;

namespace {

const std::string kShowLine = "RECV 68 {\"Command\": \"SHOW\",\"Payload\": []}";
const std::string kChangePasswordLine = "RECV 86 {\"Command\":\"CHANGEPASSWORD\",\"Payload\": []}";
const std::string kHideLine = "RECV 68 {\"Command\": \"HIDE\",\"Payload\": []}";
const std::string kCloseLine = "RECV 70 {\"Command\": \"CLOSE\",\"Payload\": []}";

// Serves one instance of `pipeName` on a thread: reads one message and answers with `reply`.
class OneShotPeer {
public:
    OneShotPeer(const std::wstring& pipeName, std::vector<char> reply)
        : _instance(CreateServerInstance(pipeName)), _reply(std::move(reply)) {
        _thread = std::thread([this] { Serve(); });
    }
    ~OneShotPeer() {
        if (_thread.joinable())
            _thread.join();
    }
    const std::vector<char>& Received() {
        if (_thread.joinable())
            _thread.join();
        return _received;
    }

private:
    void Serve() {
        if (!ConnectNamedPipe(_instance.get(), nullptr) && GetLastError() != ERROR_PIPE_CONNECTED)
            return;
        char buffer[4096];
        DWORD read = 0;
        if (ReadFile(_instance.get(), buffer, sizeof(buffer), &read, nullptr))
            _received.assign(buffer, buffer + read);
        DWORD written = 0;
        WriteFile(_instance.get(), _reply.data(), static_cast<DWORD>(_reply.size()), &written, nullptr);
        FlushFileBuffers(_instance.get());
        DisconnectNamedPipe(_instance.get());
    }

    UniqueFileHandle _instance;
    std::vector<char> _reply;
    std::vector<char> _received;
    std::thread _thread;
};

TEST(PipeClient, CommandTextsReachTheUIApplication) {
    StandInProcess standIn(L"");
    ASSERT_TRUE(standIn.Started());
    NuvPipeClient client(standIn.Pid());
    DWORD error = 99;
    EXPECT_TRUE(client.Show(error));
    EXPECT_EQ(0u, error);
    EXPECT_TRUE(client.ChangePassword(error));
    EXPECT_TRUE(client.Hide(error));
    EXPECT_TRUE(client.Close(error));
    EXPECT_EQ((Lines{kShowLine, kChangePasswordLine, kHideLine, kCloseLine}),
              standIn.LinesStartingWith("RECV"));
    EXPECT_TRUE(standIn.WaitForExit(5000));
}

TEST(PipeClient, SelfCloseTextReachesTheProviderPipe) {
    const DWORD pid = UniqueFakePid();
    OneShotPeer peer(ProviderPipeName(pid), Utf16Message(L"{}"));
    NuvPipeClient client(pid);
    DWORD error = 99;
    EXPECT_TRUE(client.SelfClose(error));
    EXPECT_EQ(Utf16Message(Corvani::Nuv::IPC::kSelfCloseCommandText), peer.Received());
    EXPECT_EQ(80u, peer.Received().size());
}

TEST(PipeClient, ShowAgainstAMissingPipeTriesSixTimesForThreeSeconds) {
    const DWORD pid = UniqueFakePid();
    NuvPipeClient client(pid);
    DWORD error = 0;
    const ULONGLONG start = NowMs();
    EXPECT_FALSE(client.Show(error));
    const ULONGLONG elapsed = NowMs() - start;
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), error);
    EXPECT_GE(elapsed, 2900u);
    EXPECT_LT(elapsed, 20000u);

    const Messages messages = PipeClientMessages(pid);
    EXPECT_EQ(6u, CountOf(messages, "NuvPipeClient::Show - Sleep 500 ms"));
    EXPECT_EQ(6u, CountOf(messages, "NuvPipeClient::OpenPipe ERROR CreteFile result: 2"));
    EXPECT_EQ(6u, CountOf(messages, "NuvPipeClient::OpenPipe Ret: 0"));
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ("NuvPipeClient::Show - Ret: 0", messages.back());
}

TEST(PipeClient, ShowSucceedsAtTheThirdAttempt) {
    StandInProcess standIn(L"--hang-up 2");
    ASSERT_TRUE(standIn.Started());
    NuvPipeClient client(standIn.Pid());
    DWORD error = 0;
    const ULONGLONG start = NowMs();
    EXPECT_TRUE(client.Show(error));
    EXPECT_GE(NowMs() - start, 950u);
    EXPECT_EQ((Lines{kShowLine, kShowLine, kShowLine}), standIn.LinesStartingWith("RECV"));
    EXPECT_EQ(2u, standIn.LinesStartingWith("HANGUP").size());

    const Messages messages = PipeClientMessages(standIn.Pid());
    EXPECT_EQ(2u, CountOf(messages, "NuvPipeClient::Show - Sleep 500 ms"));
    EXPECT_EQ(2u, CountStartingWith(messages, "NuvPipeClient::ReadResponseFromPipe failed. GLE= "));
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ("NuvPipeClient::Show - Ret: 1", messages.back());
}

TEST(PipeClient, ChangePasswordGivesUpAfterSixAttemptsAndSixPauses) {
    StandInProcess standIn(L"--hang-up 6");
    ASSERT_TRUE(standIn.Started());
    NuvPipeClient client(standIn.Pid());
    DWORD error = 0;
    const ULONGLONG start = NowMs();
    EXPECT_FALSE(client.ChangePassword(error));
    EXPECT_GE(NowMs() - start, 2900u);
    EXPECT_NE(0u, error);
    EXPECT_EQ(Lines(6, kChangePasswordLine), standIn.LinesStartingWith("RECV"));
    const Messages messages = PipeClientMessages(standIn.Pid());
    EXPECT_EQ(6u, CountOf(messages, "NuvPipeClient::SendCommand --"));
    EXPECT_EQ(0u, CountStartingWith(messages, "NuvPipeClient::Show"));
}

TEST(PipeClient, HideAndCloseMakeOneAttemptEach) {
    StandInProcess standIn(L"--hang-up 2 --stay-on-close");
    ASSERT_TRUE(standIn.Started());
    NuvPipeClient client(standIn.Pid());
    DWORD error = 0;
    EXPECT_FALSE(client.Hide(error));
    EXPECT_TRUE(error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED) << error;
    EXPECT_FALSE(client.Close(error));
    EXPECT_EQ((Lines{kHideLine, kCloseLine}), standIn.LinesStartingWith("RECV"));
    const Messages messages = PipeClientMessages(standIn.Pid());
    EXPECT_EQ(2u, CountOf(messages, "NuvPipeClient::SendCommand --"));
    EXPECT_EQ(0u, CountOf(messages, "NuvPipeClient::Hide | sent successfully"));
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ("NuvPipeClient::Close ERROR, unable to send close command", messages.back());
}

TEST(PipeClient, SelfCloseAgainstAnEndedServerTriesThreeTimes) {
    const DWORD pid = UniqueFakePid();
    NuvPipeClient client(pid);
    DWORD error = 0;
    const ULONGLONG start = NowMs();
    EXPECT_FALSE(client.SelfClose(error));
    const ULONGLONG elapsed = NowMs() - start;
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), error);
    EXPECT_GE(elapsed, 190u);
    EXPECT_LT(elapsed, 10000u);
    EXPECT_EQ(3u, CountOf(PipeClientMessages(pid), "NuvPipeClient::SendCommand --"));
}

TEST(PipeClient, SelfCloseStopsARunningServer) {
    const DWORD pid = UniqueFakePid();
    ServerRun run(pid);
    NuvPipeClient client(pid);
    DWORD error = 99;
    EXPECT_TRUE(client.SelfClose(error));
    EXPECT_EQ(0u, error);
    EXPECT_TRUE(run.WaitEnded(5000));
    EXPECT_TRUE(run.Observer().Types().empty());
}

TEST(PipeClient, LongAndEmptyRepliesCountAsSuccess) {
    for (const wchar_t* size : {L"10000", L"0", L"4096", L"4097"}) {
        StandInProcess standIn(std::wstring(L"--stay-on-close --reply-bytes ") + size);
        ASSERT_TRUE(standIn.Started());
        NuvPipeClient client(standIn.Pid());
        DWORD error = 99;
        EXPECT_TRUE(client.Hide(error)) << size;
        EXPECT_EQ(0u, error);
        ASSERT_TRUE(standIn.WaitForLine("REPLY", 5000));
        EXPECT_EQ(Lines{"REPLY " + std::string(size, size + std::wcslen(size))},
                  standIn.LinesStartingWith("REPLY"));
    }
}

TEST(PipeClient, ReplyIsReadToTheEndOfItsMessageOnly) {
    const std::wstring name = UIPipeName(UniqueFakePid());
    UniqueFileHandle server = CreateServerInstance(name);
    UniqueFileHandle pipe = OpenClient(name);
    ASSERT_TRUE(pipe);
    std::thread writer([&] {
        const std::vector<char> reply(10000, 'r');
        DWORD written = 0;
        WriteFile(server.get(), reply.data(), static_cast<DWORD>(reply.size()), &written, nullptr);
        WriteFile(server.get(), "next", 4, &written, nullptr);
    });
    NuvPipeClient client;
    DWORD error = 99;
    ASSERT_TRUE(client.SetPipeToReadMode(pipe.get(), error));
    EXPECT_TRUE(client.ReadResponseFromPipe(pipe.get(), error));
    char buffer[16] = {};
    DWORD read = 0;
    EXPECT_TRUE(ReadFile(pipe.get(), buffer, sizeof(buffer), &read, nullptr));
    EXPECT_EQ("next", std::string(buffer, read));
    writer.join();
}

TEST(PipeClient, PeerThatNeverAnswersIsGivenUpAfterFiveSeconds) {
    StandInProcess standIn(L"--no-reply");
    ASSERT_TRUE(standIn.Started());
    NuvPipeClient client(standIn.Pid());
    DWORD error = 0;
    const ULONGLONG start = NowMs();
    EXPECT_FALSE(client.Hide(error));
    const ULONGLONG elapsed = NowMs() - start;
    EXPECT_EQ(static_cast<DWORD>(ERROR_TIMEOUT), error);
    EXPECT_GE(elapsed, 4500u);
    EXPECT_LT(elapsed, 30000u);
    EXPECT_TRUE(standIn.WaitForLine("CLIENT LEFT", 5000));
    EXPECT_EQ(1u, CountOf(PipeClientMessages(standIn.Pid()),
                          "NuvPipeClient::ReadResponseFromPipe no reply within 5000 ms. GLE= 1460"));
}

TEST(PipeClient, BusyPipeIsWaitedForOneSecond) {
    const DWORD pid = UniqueFakePid();
    UniqueFileHandle instance = CreateServerInstance(UIPipeName(pid), 1);
    UniqueFileHandle occupant = OpenClient(UIPipeName(pid));
    ASSERT_TRUE(occupant);
    NuvPipeClient client(pid);
    DWORD error = 0;
    const ULONGLONG start = NowMs();
    EXPECT_FALSE(client.Hide(error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PIPE_BUSY), error);
    EXPECT_GE(NowMs() - start, 900u);
    EXPECT_EQ((Messages{"NuvPipeClient::Hide |", "NuvPipeClient::SendCommand --",
                        "NuvPipeClient::OpenPipe ERROR CreteFile result: 231",
                        "NuvPipeClient::OpenPipe Could not open pipe: 1 second wait timed out.",
                        "NuvPipeClient::OpenPipe Ret: 0"}),
              PipeClientMessages(pid));
}

TEST(PipeClient, BusyPipeThatFreesDuringTheWaitIsOpened) {
    // The peer is this process: the client takes it for the UI application it was made for.
    const DWORD pid = GetCurrentProcessId();
    UniqueFileHandle instance = CreateServerInstance(UIPipeName(pid), 1);
    UniqueFileHandle occupant = OpenClient(UIPipeName(pid));
    ASSERT_TRUE(occupant);
    std::thread peer([&] {
        Sleep(300);
        occupant.reset();
        DisconnectNamedPipe(instance.get());
        ConnectNamedPipe(instance.get(), nullptr);
        char buffer[4096];
        DWORD transferred = 0;
        ReadFile(instance.get(), buffer, sizeof(buffer), &transferred, nullptr);
        WriteFile(instance.get(), "ok", 2, &transferred, nullptr);
        FlushFileBuffers(instance.get());
        DisconnectNamedPipe(instance.get());
    });
    NuvPipeClient client(pid);
    DWORD error = 0;
    // The error of the busy open stays in the out-parameter; only the result tells success.
    EXPECT_TRUE(client.Hide(error));
    peer.join();
}

TEST(PipeClient, ByteTypePipeRefusesMessageReadMode) {
    // The peer is this process: the client takes it for the UI application it was made for.
    const DWORD pid = GetCurrentProcessId();
    UniqueFileHandle instance = CreateServerInstance(UIPipeName(pid), 1, 0, PIPE_TYPE_BYTE);
    NuvPipeClient client(pid);
    DWORD error = 0;
    EXPECT_FALSE(client.Hide(error));
    EXPECT_NE(0u, error);
    EXPECT_EQ(1u, CountOf(PipeClientMessages(pid),
                          "NuvPipeClient::SetPipeToReadMode failed. GLE= " + std::to_string(error)));
}

// A process that created a pipe's name before its rightful server gets nothing: the open counts as failed
// at once, for each command, within the command's usual bound.
TEST(PipeClient, PipesServedByAnotherProcessAreRefused) {
    struct Row {
        const char* command;
        std::wstring (*pipeName)(std::uint32_t);
        bool (NuvPipeClient::*send)(DWORD&);
        size_t attempts;
    };
    const Row rows[] = {{"SHOW", UIPipeName, &NuvPipeClient::Show, 6},
                        {"HIDE", UIPipeName, &NuvPipeClient::Hide, 1},
                        {"SELF_CLOSE", ProviderPipeName, &NuvPipeClient::SelfClose, 1}};
    for (const Row& row : rows) {
        const DWORD pid = UniqueFakePid();
        HxTest::PipeSquatter squatter({row.pipeName(pid)});
        ASSERT_TRUE(squatter.Ready()) << row.command;
        NuvPipeClient client(pid);
        DWORD error = 0;
        const ULONGLONG start = NowMs();
        EXPECT_FALSE((client.*row.send)(error)) << row.command;
        EXPECT_LT(NowMs() - start, 10000u) << row.command;
        EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), error) << row.command;
        EXPECT_TRUE(squatter.Received().empty()) << row.command;
        const DWORD expected = row.pipeName == ProviderPipeName ? GetCurrentProcessId() : pid;
        EXPECT_EQ(row.attempts, CountOf(PipeClientMessages(pid), "NuvPipeClient::OpenPipe refused: the pipe is served by process " +
                                        std::to_string(squatter.Pid()) + ", not by " + std::to_string(expected)))
            << row.command;
    }
}

TEST(PipeClient, PlaceholderFailsAtTheOpen) {
    NuvPipeClient client;
    DWORD error = 0;
    EXPECT_FALSE(client.Hide(error));
    EXPECT_NE(0u, error);
    EXPECT_FALSE(client.Close(error));
}

} // namespace
