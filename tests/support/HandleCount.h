#pragma once
// Handles open in this process, counted by probing the handle table (Wine's GetProcessHandleCount
// answers 0), for tests that check that nothing leaks a handle.

namespace HxTest {

int CountOpenHandles();

} // namespace HxTest
