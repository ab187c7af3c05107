// Events and their delivery to observers, and the dispatch of parsed commands.

#include "ipc/CPEvent.h"
#include "ipc/IPCMessage.h"
#include "ipc/NuvPipeServer.h"
#include "ipc/Subject.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using Corvani::Nuv::IPC::IPCMessage;
using Corvani::Nuv::IPC::NuvPipeServer;

namespace {

struct Delivery {
    int observer;
    CPEvent* event;
    uint32_t type;
};

class LoggingObserver : public IObserver {
public:
    LoggingObserver(int id, std::vector<Delivery>& log) : _id(id), _log(log) {}
    void processEvent(CPEvent* event) override { _log.push_back({_id, event, event->type}); }

private:
    int _id;
    std::vector<Delivery>& _log;
};

int g_destroyed = 0;

class CountedEvent : public CPEvent {
public:
    CountedEvent() : CPEvent(7) {}
    ~CountedEvent() override { ++g_destroyed; }
};

class DestructionWatcher : public IObserver {
public:
    void processEvent(CPEvent*) override { destroyedWhileDelivering = g_destroyed; }
    int destroyedWhileDelivering = -1;
};

class ThrowingObserver : public IObserver {
public:
    void processEvent(CPEvent*) override { throw std::runtime_error("observer failed"); }
};

IPCMessage Command(const char* name) {
    IPCMessage message;
    message.command = name;
    return message;
}

TEST(Subject, LastAttachedIsCalledFirstWithTheSameEvent) {
    std::vector<Delivery> log;
    LoggingObserver first(1, log), second(2, log);
    Subject subject;
    subject.attach(&first);
    subject.attach(&second);
    subject.notify(std::make_unique<CPLogonEvent>());
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ(2, log[0].observer);
    EXPECT_EQ(1, log[1].observer);
    EXPECT_EQ(log[0].event, log[1].event);
    EXPECT_EQ(0u, log[0].type);
}

TEST(Subject, ObserverAttachedTwiceSeesEachEventTwice) {
    std::vector<Delivery> log;
    LoggingObserver observer(1, log);
    Subject subject;
    subject.attach(&observer);
    subject.attach(&observer);
    subject.notify(std::make_unique<CPINPUTEvent>());
    EXPECT_EQ(2u, log.size());
}

TEST(Subject, EventIsDestroyedRightAfterTheLastObserver) {
    DestructionWatcher watcher;
    Subject subject;
    subject.attach(&watcher);
    g_destroyed = 0;
    subject.notify(std::make_unique<CountedEvent>());
    EXPECT_EQ(0, watcher.destroyedWhileDelivering);
    EXPECT_EQ(1, g_destroyed);

    Subject alone;
    alone.notify(std::make_unique<CountedEvent>());
    EXPECT_EQ(2, g_destroyed);
}

TEST(Subject, EventIsDestroyedWhenAnObserverThrows) {
    ThrowingObserver thrower;
    Subject subject;
    subject.attach(&thrower);
    g_destroyed = 0;
    EXPECT_THROW(subject.notify(std::make_unique<CountedEvent>()), std::runtime_error);
    EXPECT_EQ(1, g_destroyed);
}

TEST(PipeServerDispatch, EventCommandsGoOnEverythingElseEnds) {
    std::vector<Delivery> log;
    LoggingObserver observer(1, log);
    NuvPipeServer server(42);
    server.attach(&observer);
    EXPECT_TRUE(server.HandleIPCEvent(Command("LOGON")));
    EXPECT_TRUE(server.HandleIPCEvent(Command("DESELECT")));
    EXPECT_TRUE(server.HandleIPCEvent(Command("UIINPUT")));
    for (const char* other : {"SELF_CLOSE", "", "logon", "CLOSE", "LOGON "})
        EXPECT_FALSE(server.HandleIPCEvent(Command(other))) << other;
    ASSERT_EQ(3u, log.size());
    EXPECT_EQ(0u, log[0].type);
    EXPECT_EQ(1u, log[1].type);
    EXPECT_EQ(2u, log[2].type);
}

TEST(PipeServerDispatch, NoObserverIsHarmless) {
    NuvPipeServer server(42);
    EXPECT_TRUE(server.HandleIPCEvent(Command("LOGON")));
}

TEST(PipeServerDispatch, ThreadEntryWithoutServer) {
    EXPECT_EQ(1u, NuvPipeServer::ThreadEntry(nullptr));
}

} // namespace
