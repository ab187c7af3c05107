#pragma once
// Test helper: gives a process-wide variable another value for the length of a scope and puts the old
// value back on the way out, also when an assertion ends the test early.

#include "platform/Guarded.h"

#include <atomic>
#include <utility>

namespace HxTest {

template <typename T> class ScopedOverride {
public:
    ScopedOverride(T& target, T value) : _target(target), _saved(std::exchange(target, std::move(value))) {}
    ~ScopedOverride() { _target = std::move(_saved); }
    ScopedOverride(const ScopedOverride&) = delete;
    ScopedOverride& operator=(const ScopedOverride&) = delete;

private:
    T& _target;
    T _saved;
};

template <typename T> class ScopedOverride<std::atomic<T>> {
public:
    ScopedOverride(std::atomic<T>& target, T value) : _target(target), _saved(target.exchange(value)) {}
    ~ScopedOverride() { _target.store(_saved); }
    ScopedOverride(const ScopedOverride&) = delete;
    ScopedOverride& operator=(const ScopedOverride&) = delete;

private:
    std::atomic<T>& _target;
    T _saved;
};

template <typename T> class ScopedOverride<Corvani::Nuv::Platform::Guarded<T>> {
public:
    ScopedOverride(Corvani::Nuv::Platform::Guarded<T>& target, T value)
        : _target(target), _saved(target.Exchange(std::move(value))) {}
    ~ScopedOverride() { _target.Set(std::move(_saved)); }
    ScopedOverride(const ScopedOverride&) = delete;
    ScopedOverride& operator=(const ScopedOverride&) = delete;

private:
    Corvani::Nuv::Platform::Guarded<T>& _target;
    T _saved;
};

template <typename T, typename V> ScopedOverride(T&, V) -> ScopedOverride<T>;

} // namespace HxTest
