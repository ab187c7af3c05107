#pragma once
// The stand-in's objects alive in this process: kept in the process's counters section for readers outside,
// and in the module itself for DllCanUnloadNow.

namespace HxLockScreen {

enum class Kind { Automation, Element, Condition };

void CountCreated(Kind kind) noexcept;
void CountDestroyed(Kind kind) noexcept;

// Objects alive or server locks held.
bool ModuleInUse() noexcept;
void LockModule(bool lock) noexcept;

// Counts one object of its kind for its lifetime; a member of each object class.
template <Kind K> class Counted {
public:
    Counted() noexcept { CountCreated(K); }
    ~Counted() { CountDestroyed(K); }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;
};

} // namespace HxLockScreen
