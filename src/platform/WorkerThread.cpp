#include "platform/WorkerThread.h"

namespace Corvani::Nuv::Platform {

UniqueHandle StartWorker(LPTHREAD_START_ROUTINE routine, void* parameter, std::atomic<bool>* inFlight) {
    if (inFlight)
        *inFlight = true;
    UniqueHandle thread(CreateThread(nullptr, 0, routine, parameter, 0, nullptr));
    if (!thread && inFlight)
        *inFlight = false; // nothing will run to clear it
    return thread;
}

} // namespace Corvani::Nuv::Platform
