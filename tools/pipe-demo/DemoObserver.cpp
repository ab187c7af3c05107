#include "DemoObserver.h"

#include "ipc/CPEvent.h"

#include <cstdio>

namespace {

const char* EventName(const CPEvent& event) {
    if (dynamic_cast<const CPLogonEvent*>(&event))
        return "CPLogonEvent";
    if (dynamic_cast<const CPCloseEvent*>(&event))
        return "CPCloseEvent";
    if (dynamic_cast<const CPINPUTEvent*>(&event))
        return "CPINPUTEvent";
    return "CPEvent";
}

} // namespace

DemoObserver::DemoObserver() : _arrived(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

void DemoObserver::processEvent(CPEvent* event) {
    const long number = ++_received;
    std::printf("demo: observer received event %ld: %s (type %u) on thread %lu\n", number, EventName(*event),
                static_cast<unsigned>(event->type), GetCurrentThreadId());
    std::fflush(stdout);
    SetEvent(_arrived.get());
}

bool DemoObserver::WaitForEvents(long count, DWORD milliseconds) {
    const ULONGLONG giveUpAt = GetTickCount64() + milliseconds;
    while (_received < count) {
        const ULONGLONG now = GetTickCount64();
        if (now >= giveUpAt)
            return false;
        WaitForSingleObject(_arrived.get(), static_cast<DWORD>(giveUpAt - now));
    }
    return true;
}
