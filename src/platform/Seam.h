#pragma once
// A seam for calls whose effects reach outside the process (a session disconnected, a process ended, a
// key pressed, a priority raised). Production code calls Seam<Calls>::Get(), which is the real
// implementation unless a test has installed a fake: a fake derives from ScopedFake<Calls>, stores itself
// in the seam in its constructor and puts the previous one back in its destructor, so a test needs one
// line and no test can reach the real call by forgetting to undo an override.

#include <atomic>

namespace Corvani::Nuv::Platform {

template <typename Calls> class Seam {
public:
    static Calls& Get() noexcept {
        Calls* fake = Installed().load(std::memory_order_acquire);
        return fake ? *fake : Real();
    }

protected:
    Seam() = default;
    ~Seam() = default;

    static std::atomic<Calls*>& Installed() noexcept {
        static std::atomic<Calls*> installed{nullptr};
        return installed;
    }

private:
    static Calls& Real() noexcept {
        static Calls real;
        return real;
    }
};

template <typename Calls> class ScopedFake : public Calls {
protected:
    ScopedFake() noexcept : _previous(Calls::Installed().exchange(this, std::memory_order_acq_rel)) {}
    ~ScopedFake() { Calls::Installed().store(_previous, std::memory_order_release); }
    ScopedFake(const ScopedFake&) = delete;
    ScopedFake& operator=(const ScopedFake&) = delete;

private:
    Calls* _previous;
};

} // namespace Corvani::Nuv::Platform
