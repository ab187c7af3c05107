#include "provider/ClassFactory.h"

#include "platform/ComPtr.h"
#include "provider/ModuleState.h"
#include "provider/NuvProvider.h"

#include <new>
#include <shlwapi.h>

namespace Corvani::Nuv::CredentialProvider {

IFACEMETHODIMP CClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (outer) {
        if (ppv)
            *ppv = nullptr;
        return CLASS_E_NOAGGREGATION;
    }
    // The creation reference is given back on return: after a failed query it was the only one, and the
    // provider is destroyed at once.
    auto provider = Platform::ComPtr<NuvProvider>::attach(new (std::nothrow) NuvProvider());
    if (!provider)
        return E_OUTOFMEMORY;
    return provider->QueryInterface(riid, ppv);
}

IFACEMETHODIMP CClassFactory::LockServer(BOOL lock) {
    if (lock)
        DllAddRef();
    else
        DllRelease();
    return S_OK;
}

} // namespace Corvani::Nuv::CredentialProvider
