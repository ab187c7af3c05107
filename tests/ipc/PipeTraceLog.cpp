#include "PipeTraceLog.h"

#include "PipeTestSupport.h"
#include "support/TraceLogCapture.h"

#include <algorithm>
#include <memory>

namespace HxIpcTest {

namespace {

std::unique_ptr<HxTest::TraceLogCapture>& Capture() {
    static std::unique_ptr<HxTest::TraceLogCapture> capture;
    return capture;
}

std::vector<std::string> MessagesFor(const std::vector<std::string>& lines, DWORD uiPid) {
    const std::string suffix = " | " + std::to_string(uiPid);
    std::vector<std::string> messages;
    for (const std::string& line : lines) {
        const std::size_t start = line.find(" - ");
        if (start == std::string::npos || line.size() < suffix.size() ||
            line.compare(line.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        messages.push_back(line.substr(start + 3, line.size() - suffix.size() - start - 3));
    }
    return messages;
}

} // namespace

void StartPipeTraceCapture() {
    Capture() = std::make_unique<HxTest::TraceLogCapture>();
}

void StopPipeTraceCapture() {
    Capture().reset();
}

std::vector<std::string> PipeServerMessages(DWORD uiPid) {
    return Capture() ? MessagesFor(Capture()->PipeServerLines(), uiPid) : std::vector<std::string>();
}

std::vector<std::string> PipeClientMessages(DWORD uiPid) {
    return Capture() ? MessagesFor(Capture()->PipeClientLines(), uiPid) : std::vector<std::string>();
}

std::size_t CountOf(const std::vector<std::string>& messages, const std::string& message) {
    return static_cast<std::size_t>(std::count(messages.begin(), messages.end(), message));
}

std::size_t CountStartingWith(const std::vector<std::string>& messages, const std::string& prefix) {
    return static_cast<std::size_t>(
        std::count_if(messages.begin(), messages.end(),
                      [&](const std::string& message) { return message.rfind(prefix, 0) == 0; }));
}

bool WaitForServerMessage(DWORD uiPid, const std::string& message, std::size_t count, DWORD ms) {
    const ULONGLONG giveUpAt = NowMs() + ms;
    while (CountOf(PipeServerMessages(uiPid), message) < count) {
        if (NowMs() >= giveUpAt)
            return false;
        Sleep(10);
    }
    return true;
}

} // namespace HxIpcTest
