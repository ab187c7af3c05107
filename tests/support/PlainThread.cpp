#include "support/PlainThread.h"

#include "platform/UniqueResource.h"

namespace HxTest {

namespace {

DWORD WINAPI RunBody(LPVOID parameter) {
    try {
        (*static_cast<const std::function<void()>*>(parameter))();
    } catch (...) {
        return 1;
    }
    return 0;
}

} // namespace

bool RunOnPlainThread(const std::function<void()>& body) {
    Corvani::Nuv::Platform::UniqueHandle thread(
        CreateThread(nullptr, 0, RunBody, const_cast<std::function<void()>*>(&body), 0, nullptr));
    return thread && WaitForSingleObject(thread.get(), INFINITE) == WAIT_OBJECT_0;
}

} // namespace HxTest
