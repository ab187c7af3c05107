// The counters: the section is opened on first use and held until the module is unloaded.

#include "LiveCounts.h"

#include "LockScreenScript.h"

#include <atomic>

namespace HxLockScreen {

namespace {

std::atomic<long> g_inUse{0};

LiveObjects* SharedCounters() noexcept {
    static CountersSection section;
    return section.Counters();
}

volatile LONG* CounterOf(LiveObjects& counters, Kind kind) noexcept {
    switch (kind) {
    case Kind::Automation:
        return &counters.automations;
    case Kind::Element:
        return &counters.elements;
    case Kind::Condition:
        return &counters.conditions;
    }
    return nullptr;
}

} // namespace

void CountCreated(Kind kind) noexcept {
    ++g_inUse;
    if (LiveObjects* counters = SharedCounters()) {
        InterlockedIncrement(CounterOf(*counters, kind));
        if (kind == Kind::Automation)
            InterlockedIncrement(&counters->automationsCreated);
    }
}

void CountDestroyed(Kind kind) noexcept {
    if (LiveObjects* counters = SharedCounters())
        InterlockedDecrement(CounterOf(*counters, kind));
    --g_inUse;
}

bool ModuleInUse() noexcept { return g_inUse.load() > 0; }

void LockModule(bool lock) noexcept {
    if (lock)
        ++g_inUse;
    else
        --g_inUse;
}

} // namespace HxLockScreen
