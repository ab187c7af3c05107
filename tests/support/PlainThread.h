#pragma once
// Test helper: runs a function on a new thread that never initialises COM, as the credential's worker
// threads are, and waits for it to end (the function's captures live on the caller's stack).

#include <functional>

namespace HxTest {

// False when the thread could not be started.
bool RunOnPlainThread(const std::function<void()>& body);

} // namespace HxTest
