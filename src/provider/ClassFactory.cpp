#include "provider/ClassFactory.h"

#include "provider/ModuleState.h"
#include "provider/NuvProvider.h"

#include <new>
#include <shlwapi.h>

namespace Corvani::Nuv::CredentialProvider {

IFACEMETHODIMP CClassFactory::QueryInterface(REFIID riid, void** ppv) {
    static const QITAB table[] = {
        QITABENT(CClassFactory, IClassFactory),
        {nullptr, 0},
    };
    return QISearch(this, table, riid, ppv);
}

IFACEMETHODIMP_(ULONG) CClassFactory::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&_refCount)); }

IFACEMETHODIMP_(ULONG) CClassFactory::Release() {
    const LONG count = InterlockedDecrement(&_refCount);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

IFACEMETHODIMP CClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (outer) {
        if (ppv)
            *ppv = nullptr;
        return CLASS_E_NOAGGREGATION;
    }
    NuvProvider* provider = new (std::nothrow) NuvProvider();
    if (!provider)
        return E_OUTOFMEMORY;
    // A failed query leaves the creation reference as the only one: the release destroys the provider.
    const HRESULT hr = provider->QueryInterface(riid, ppv);
    provider->Release();
    return hr;
}

IFACEMETHODIMP CClassFactory::LockServer(BOOL lock) {
    if (lock)
        DllAddRef();
    else
        DllRelease();
    return S_OK;
}

} // namespace Corvani::Nuv::CredentialProvider
