// The module's two exports: the class object of CLSID_CUIAutomation8 and whether the module may go.

#include "LiveCounts.h"
#include "StandInFactory.h"
#include "platform/ComPtr.h"
#include "platform/UIAutomationApi.h"

#include <new>

STDAPI DllCanUnloadNow() { return HxLockScreen::ModuleInUse() ? S_FALSE : S_OK; }

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, CLSID_CUIAutomation8))
        return CLASS_E_CLASSNOTAVAILABLE;
    auto factory = Corvani::Nuv::Platform::ComPtr<HxLockScreen::StandInFactory>::attach(
        new (std::nothrow) HxLockScreen::StandInFactory());
    if (!factory)
        return E_OUTOFMEMORY;
    return factory->QueryInterface(riid, ppv);
}
