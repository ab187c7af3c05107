// Creation of the automation object over the desktop scripted at this moment.

#include "StandInFactory.h"

#include "LiveCounts.h"
#include "StandInAutomation.h"
#include "platform/ComBoundary.h"
#include "platform/ComPtr.h"

#include <new>

namespace HxLockScreen {

IFACEMETHODIMP StandInFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    return Corvani::Nuv::Platform::ComBoundary([&]() -> HRESULT {
        auto automation = Corvani::Nuv::Platform::ComPtr<StandInAutomation>::attach(
            new (std::nothrow) StandInAutomation(ViewOf(ReadDesktop())));
        if (!automation)
            return E_OUTOFMEMORY;
        return automation->QueryInterface(riid, ppv);
    });
}

IFACEMETHODIMP StandInFactory::LockServer(BOOL lock) {
    LockModule(lock != FALSE);
    return S_OK;
}

} // namespace HxLockScreen
