#pragma once
// Test helper: polls a condition every 20 ms until it holds or the time is up.

#include <functional>
#include <windows.h>

namespace HxTest {

// The condition's last answer.
inline bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMilliseconds) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMilliseconds;
    while (!condition()) {
        if (GetTickCount64() >= deadline)
            return condition();
        Sleep(20);
    }
    return true;
}

} // namespace HxTest
