#include "provider/Exports.h"

#include "platform/ComPtr.h"
#include "platform/ProviderClsid.h"
#include "provider/ClassFactory.h"
#include "provider/ModuleState.h"

#include <new>

using namespace Corvani::Nuv::CredentialProvider;

STDAPI DllCanUnloadNow() { return g_dllRefCount > 0 ? S_FALSE : S_OK; }

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, CLSID_NuvProvider))
        return CLASS_E_CLASSNOTAVAILABLE;
    auto factory = Corvani::Nuv::Platform::ComPtr<CClassFactory>::attach(new (std::nothrow) CClassFactory());
    if (!factory)
        return E_OUTOFMEMORY;
    return factory->QueryInterface(riid, ppv);
}
