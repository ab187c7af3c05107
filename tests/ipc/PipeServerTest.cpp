// The provider's pipe server over real pipes: one command per connection, events for LOGON, DESELECT
// and UIINPUT, a reply for every handled command, and the ways the loop ends.

#include "PipeTestSupport.h"
#include "PipeTraceLog.h"
#include "ServerRun.h"
#include "StandInProcess.h"
#include "ipc/CommandTexts.h"
#include "ipc/PipeNames.h"
#include "support/PipePeer.h"

#include <functional>
#include <gtest/gtest.h>

#include <aclapi.h>
#include <sddl.h>

#include <atomic>
#include <cstring>

using namespace HxIpcTest;
using Corvani::Nuv::IPC::kSelfCloseCommandText;
using Corvani::Nuv::IPC::kServerResponseText;
using Corvani::Nuv::Platform::UniqueLocalMemory;
using Types = std::vector<uint32_t>;
using Messages = std::vector<std::string>;

namespace {

const std::vector<char> kLogon = Utf16Message(L"{\"Command\": \"LOGON\",\"Payload\": []}");
const std::vector<char> kSelfClose = Utf16Message(kSelfCloseCommandText);
const std::string kBegin = "NuvPipeServer::Start BEGIN thread loop";
const std::string kEnd = "NuvPipeServer::Start END thread loop";

std::string PipeCreatedLine(DWORD pid) {
    return "NuvPipeServer::Start Pipe created: \\\\.\\pipe\\CPPipeServer" + std::to_string(pid);
}

// The server answers with its response text and NUL as one message.
void ExpectResponse(const RawExchange& exchange) {
    EXPECT_TRUE(exchange.replied) << "error " << exchange.error;
    EXPECT_EQ(Utf16Message(kServerResponseText), exchange.reply);
}

// No instance of the pipe is left.
void ExpectPipeGone(const std::wstring& pipeName) {
    UniqueFileHandle pipe(
        CreateFileW(pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(pipe);
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

std::string DaclOf(HANDLE object) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(object, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                        &descriptor) != ERROR_SUCCESS)
        return "<no security>";
    UniqueLocalMemory owned(descriptor);
    LPSTR text = nullptr;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1,
                                                              DACL_SECURITY_INFORMATION, &text, nullptr))
        return "<no text>";
    UniqueLocalMemory ownedText(text);
    return text;
}

TEST(PipeServer, TwoLogonsFromTwoConnectionsThenSelfClose) {
    ServerRun run(UniqueFakePid());
    ExpectResponse(SendRaw(run.PipeName(), kLogon));
    ExpectResponse(SendRaw(run.PipeName(), kLogon));
    EXPECT_EQ((Types{0, 0}), run.Observer().Types());
    EXPECT_TRUE(run.IsRunning());
    EXPECT_TRUE(WaitForServerMessage(run.Pid(), PipeCreatedLine(run.Pid()), 3, 5000));

    ExpectResponse(SendRaw(run.PipeName(), kSelfClose));
    DWORD exitCode = 99;
    ASSERT_TRUE(run.WaitEnded(5000, &exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_EQ((Types{0, 0}), run.Observer().Types());
    ExpectPipeGone(run.PipeName());
}

TEST(PipeServer, EachEventCommandRaisesItsEvent) {
    ServerRun run(UniqueFakePid());
    for (const wchar_t* name : {L"DESELECT", L"UIINPUT", L"LOGON"})
        ExpectResponse(
            SendRaw(run.PipeName(), Utf16Message(L"{\"Command\": \"" + std::wstring(name) + L"\"}")));
    EXPECT_EQ((Types{1, 2, 0}), run.Observer().Types());
}

TEST(PipeServer, ClientThatLeavesWithoutWritingIsSkipped) {
    ServerRun run(UniqueFakePid());
    UniqueFileHandle leaving = OpenClient(run.PipeName());
    Sleep(200); // the server waits in its read by now
    leaving.reset();
    const RawExchange empty = SendRaw(run.PipeName(), {});
    EXPECT_TRUE(empty.written);
    EXPECT_FALSE(empty.replied);
    ExpectResponse(SendRaw(run.PipeName(), kLogon));
    EXPECT_EQ((Types{0}), run.Observer().Types());
    EXPECT_TRUE(run.IsRunning());
}

TEST(PipeServer, CommandsThatRaiseNoEventEndTheLoop) {
    for (const wchar_t* text : {L"{\"Command\": \"logon\"}", L"{\"Command\": \"CLOSE\",\"Payload\": []}",
                                L"{\"Payload\": []}", L"no json", L"[\"LOGON\"]"}) {
        ServerRun run(UniqueFakePid());
        ExpectResponse(SendRaw(run.PipeName(), Utf16Message(text)));
        EXPECT_TRUE(run.WaitEnded(5000));
        EXPECT_TRUE(run.Observer().Types().empty());
        ExpectPipeGone(run.PipeName());
        const Messages messages = PipeServerMessages(run.Pid());
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(kEnd, messages.back());
        EXPECT_EQ(1u, CountStartingWith(messages, "NuvPipeServer::HandleIPCEvent - command:"));
    }
}

TEST(PipeServer, NonTextValueEndsTheThreadThroughTheExceptionPath) {
    ServerRun run(UniqueFakePid());
    const RawExchange exchange =
        SendRaw(run.PipeName(),
                Utf16Message(L"{\"Command\": \"LOGON\", \"Payload\": [{\"Key\": \"k\", \"Value\": 5}]}"));
    EXPECT_TRUE(exchange.written);
    EXPECT_FALSE(exchange.replied);
    DWORD exitCode = 99;
    ASSERT_TRUE(run.WaitEnded(5000, &exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_TRUE(run.Observer().Types().empty());
    ExpectPipeGone(run.PipeName());
}

TEST(PipeServer, InstanceCreationFailureEndsTheThread) {
    const DWORD pid = UniqueFakePid();
    UniqueFileHandle taken =
        CreateServerInstance(Corvani::Nuv::IPC::ProviderPipeName(pid), 1, FILE_FLAG_FIRST_PIPE_INSTANCE);
    ASSERT_TRUE(taken);
    ServerRun run(pid);
    EXPECT_TRUE(run.WaitEnded(5000));
    EXPECT_TRUE(run.Observer().Types().empty());
}

TEST(PipeServer, MessageOf2048BytesIsReadAndOf2050BytesRejected) {
    ServerRun run(UniqueFakePid());
    std::wstring text = L"{\"Command\": \"LOGON\",\"Payload\": []}";
    text.resize(1023, L' ');
    ASSERT_EQ(2048u, Utf16Message(text).size());
    ExpectResponse(SendRaw(run.PipeName(), Utf16Message(text)));
    EXPECT_EQ((Types{0}), run.Observer().Types());

    text += L' ';
    const RawExchange rejected = SendRaw(run.PipeName(), Utf16Message(text));
    EXPECT_FALSE(rejected.replied);
    EXPECT_EQ((Types{0}), run.Observer().Types());
    EXPECT_TRUE(run.IsRunning());
    ExpectResponse(SendRaw(run.PipeName(), kLogon));
    EXPECT_EQ((Types{0, 0}), run.Observer().Types());
    EXPECT_EQ(1u, CountOf(PipeServerMessages(run.Pid()),
                          "NuvPipeServer::Receive - InstanceThread ReadFile failed"));
}

TEST(PipeServer, MessageWithoutNulIsBoundedByTheBytesRead) {
    ServerRun run(UniqueFakePid());
    std::vector<char> message = Utf16Message(L"{\"Command\": \"UIINPUT\"}");
    message.resize(message.size() - sizeof(wchar_t));
    ExpectResponse(SendRaw(run.PipeName(), message));
    EXPECT_EQ((Types{2}), run.Observer().Types());
}

TEST(PipeServer, ObserversRunBeforeTheReplyIsSent) {
    ServerRun run(UniqueFakePid());
    std::atomic<bool> observerDone{false};
    run.Observer().onEvent = [&](CPEvent*) {
        Sleep(200);
        observerDone = true;
    };
    ExpectResponse(SendRaw(run.PipeName(), kLogon));
    EXPECT_TRUE(observerDone);
}

TEST(PipeServer, InstanceParameters) {
    ServerRun run(UniqueFakePid());
    UniqueFileHandle client = OpenClient(run.PipeName());
    ASSERT_TRUE(client);
    DWORD flags = 0, outBuffer = 0, inBuffer = 0, maxInstances = 0;
    ASSERT_TRUE(GetNamedPipeInfo(client.get(), &flags, &outBuffer, &inBuffer, &maxInstances));
    EXPECT_EQ(static_cast<DWORD>(PIPE_TYPE_MESSAGE), flags & PIPE_TYPE_MESSAGE);
    EXPECT_EQ(2048u, outBuffer);
    EXPECT_EQ(2048u, inBuffer);
    // Windows reports unlimited instances as 255, Wine as MAXDWORD.
    EXPECT_TRUE(maxInstances == PIPE_UNLIMITED_INSTANCES || maxInstances == MAXDWORD) << maxInstances;
    EXPECT_EQ("D:(A;OICI;GA;;;SY)", DaclOf(client.get()));
}

TEST(PipeServer, AnotherClientFindsTheInstanceBusyWhileOneIsServed) {
    ServerRun run(UniqueFakePid());
    UniqueFileHandle first = OpenClient(run.PipeName());
    ASSERT_TRUE(first);
    UniqueFileHandle second(CreateFileW(run.PipeName().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(second);
    EXPECT_EQ(static_cast<DWORD>(ERROR_PIPE_BUSY), GetLastError());
}

TEST(PipeServer, LogonFromTheStandInReachesTheObserver) {
    StandInProcess standIn(L"--send LOGON,DESELECT,UIINPUT");
    ASSERT_TRUE(standIn.Started());
    ServerRun run(standIn.Pid());
    ASSERT_TRUE(standIn.WaitForLine("SENT UIINPUT", 15000));
    EXPECT_EQ((Types{0, 1, 2}), run.Observer().Types());
    const std::vector<std::string> sent = standIn.LinesStartingWith("SENT");
    ASSERT_EQ(3u, sent.size());
    EXPECT_EQ("SENT LOGON ok reply 36", sent[0]);
}

// Only the UI application and this process are served: another process's LOGON is dropped unread, for
// the server of a running UI application and for the one a failed start leaves (no process: nobody but
// this process), and neither stops serving nor misses the next rightful command.
TEST(PipeServer, OnlyTheUIApplicationAndThisProcessAreServed) {
    StandInProcess standIn(L"--stdin", true);
    ASSERT_TRUE(standIn.Started());
    for (const DWORD pid : {standIn.Pid(), DWORD{0}}) {
        ServerRun run(pid);
        EXPECT_EQ(3u, HxTest::SendFromAnotherProcess(run.PipeName(), L"{\"Command\": \"LOGON\"}")) << pid;
        EXPECT_TRUE(run.Observer().Types().empty()) << pid;
        EXPECT_EQ(0u, CountOf(PipeServerMessages(pid), "NuvPipeServer::Response")) << pid;
        EXPECT_TRUE(run.IsRunning()) << pid;
        if (pid != 0) {
            ASSERT_TRUE(standIn.WriteStdin("LOGON\n"));
            ASSERT_TRUE(standIn.WaitForLine("SENT LOGON", 15000));
            EXPECT_EQ((Types{0}), run.Observer().Types());
        }
        ExpectResponse(SendRaw(run.PipeName(), kSelfClose));
        EXPECT_TRUE(run.WaitEnded(5000)) << pid;
    }
}

} // namespace

namespace {

// The server's trace texts, one row per road through its loop: the messages of "PipeServer.log" in order.
struct TraceRow {
    const char* road;
    std::function<void(DWORD pid)> drive; // runs the road against a server for `pid`
    std::function<Messages(DWORD pid)> expected;
};

void SelfCloseAfterTwoLogons(DWORD pid) {
    ServerRun run(pid);
    SendRaw(run.PipeName(), kLogon);
    SendRaw(run.PipeName(), kLogon);
    SendRaw(run.PipeName(), kSelfClose);
    run.WaitEnded(5000);
}

void LeaveWithoutWriting(DWORD pid) {
    ServerRun run(pid);
    UniqueFileHandle leaving = OpenClient(run.PipeName());
    Sleep(200);
    leaving.reset();
    SendRaw(run.PipeName(), {});
    SendRaw(run.PipeName(), kSelfClose);
    run.WaitEnded(5000);
}

void NonTextValue(DWORD pid) {
    ServerRun run(pid);
    SendRaw(run.PipeName(), Utf16Message(L"{\"Command\": \"LOGON\", \"Payload\": [{\"Key\": \"k\", \"Value\": 5}]}"));
    run.WaitEnded(5000);
}

DWORD g_lastForeignClient = 0;

void ForeignClient(DWORD pid) {
    ServerRun run(pid);
    HxTest::SendFromAnotherProcess(run.PipeName(), L"{}", &g_lastForeignClient);
    SendRaw(run.PipeName(), kSelfClose);
    run.WaitEnded(5000);
}

void InstanceTaken(DWORD pid) {
    UniqueFileHandle taken =
        CreateServerInstance(Corvani::Nuv::IPC::ProviderPipeName(pid), 1, FILE_FLAG_FIRST_PIPE_INSTANCE);
    ServerRun run(pid);
    run.WaitEnded(5000);
}

const std::string kResponse = "NuvPipeServer::Response";
const std::string kSelfCloseCommand = "NuvPipeServer::HandleIPCEvent - command:SELF_CLOSE";

TEST(PipeServerTrace, EachRoadWritesItsTexts) {
    const TraceRow rows[] = {
        {"two LOGONs, then SELF_CLOSE", SelfCloseAfterTwoLogons,
         [](DWORD pid) {
             const std::string created = PipeCreatedLine(pid);
             const std::string logon = "NuvPipeServer::HandleIPCEvent - command:LOGON";
             return Messages{kBegin, created, kResponse, logon, created, kResponse, logon,
                             created, kResponse, kSelfCloseCommand, kEnd};
         }},
        {"a client that leaves, an empty message, SELF_CLOSE", LeaveWithoutWriting,
         [](DWORD pid) {
             const std::string created = PipeCreatedLine(pid);
             return Messages{kBegin, created, "NuvPipeServer::Receive - InstanceThread: client disconnected",
                             created, "NuvPipeServer::Receive - InstanceThread ReadFile failed", created,
                             kResponse, kSelfCloseCommand, kEnd};
         }},
        {"a payload value that is no text", NonTextValue,
         [](DWORD pid) {
             return Messages{kBegin, PipeCreatedLine(pid), kResponse,
                             "NuvPipeServer::Start - Exception received: Type is not convertible to string"};
         }},
        {"the pipe name taken", InstanceTaken,
         [](DWORD pid) {
             return Messages{kBegin, "NuvPipeServer::Start - pipe name taken by another process: \\\\.\\pipe\\CPPipeServer" +
                                         std::to_string(pid),
                             "NuvPipeServer::Start - Error creating pipe", kEnd};
         }},
        {"a client of another process", ForeignClient,
         [](DWORD pid) {
             const std::string created = PipeCreatedLine(pid);
             return Messages{kBegin, created, "NuvPipeServer::Start - connection refused, client process: " +
                                                  std::to_string(g_lastForeignClient), created, kResponse, kSelfCloseCommand, kEnd};
         }},
    };
    for (const TraceRow& row : rows) {
        const DWORD pid = UniqueFakePid();
        row.drive(pid);
        EXPECT_EQ(row.expected(pid), PipeServerMessages(pid)) << row.road;
    }
}

} // namespace
