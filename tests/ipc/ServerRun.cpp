#include "ServerRun.h"

#include "PipeTestSupport.h"
#include "ipc/CommandTexts.h"
#include "ipc/PipeNames.h"

namespace HxIpcTest {

using Corvani::Nuv::Platform::CriticalSectionLock;

void RecordingObserver::processEvent(CPEvent* event) {
    {
        CriticalSectionLock guard(_lock);
        _types.push_back(event->type);
        _pointers.push_back(event);
    }
    if (onEvent)
        onEvent(event);
}

std::vector<uint32_t> RecordingObserver::Types() {
    CriticalSectionLock guard(_lock);
    return _types;
}

std::vector<CPEvent*> RecordingObserver::Pointers() {
    CriticalSectionLock guard(_lock);
    return _pointers;
}

ServerRun::ServerRun(DWORD fakePid)
    : _pid(fakePid), _pipeName(Corvani::Nuv::IPC::ProviderPipeName(fakePid)), _server(fakePid) {
    _server.attach(&_observer);
    _thread.reset(
        CreateThread(nullptr, 0, Corvani::Nuv::IPC::NuvPipeServer::ThreadEntry, &_server, 0, nullptr));
}

ServerRun::~ServerRun() {
    if (IsRunning())
        SendRaw(_pipeName, Utf16Message(Corvani::Nuv::IPC::kSelfCloseCommandText));
    WaitForSingleObject(_thread.get(), 10000);
}

bool ServerRun::IsRunning() const {
    return WaitForSingleObject(_thread.get(), 0) == WAIT_TIMEOUT;
}

bool ServerRun::WaitEnded(DWORD ms, DWORD* exitCode) {
    if (WaitForSingleObject(_thread.get(), ms) != WAIT_OBJECT_0)
        return false;
    if (exitCode != nullptr)
        GetExitCodeThread(_thread.get(), exitCode);
    return true;
}

} // namespace HxIpcTest
