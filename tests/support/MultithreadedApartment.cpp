#include "support/MultithreadedApartment.h"

#include <objbase.h>

namespace HxTest {

MultithreadedApartment::MultithreadedApartment()
    : _stop(CreateEventW(nullptr, TRUE, FALSE, nullptr)), _ready(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      _thread(CreateThread(nullptr, 0, Run, this, 0, nullptr)) {
    if (_thread)
        WaitForSingleObject(_ready.get(), 5000);
}

MultithreadedApartment::~MultithreadedApartment() {
    SetEvent(_stop.get());
    if (_thread)
        WaitForSingleObject(_thread.get(), 5000);
}

DWORD WINAPI MultithreadedApartment::Run(LPVOID parameter) {
    auto* self = static_cast<MultithreadedApartment*>(parameter);
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    self->_entered = SUCCEEDED(hr);
    SetEvent(self->_ready.get());
    WaitForSingleObject(self->_stop.get(), INFINITE);
    if (SUCCEEDED(hr))
        CoUninitialize();
    return 0;
}

} // namespace HxTest
