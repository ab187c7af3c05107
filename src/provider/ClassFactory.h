#pragma once
// The class factory of the provider's class id: creates one NuvProvider per request.

#include <windows.h>
#include <unknwn.h>

namespace Corvani::Nuv::CredentialProvider {

class CClassFactory final : public IClassFactory {
public:
    CClassFactory() = default;

    // IUnknown
    IFACEMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    IFACEMETHODIMP_(ULONG) AddRef() override;
    IFACEMETHODIMP_(ULONG) Release() override;

    // IClassFactory
    IFACEMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    IFACEMETHODIMP LockServer(BOOL lock) override;

private:
    ~CClassFactory() = default;
    volatile LONG _refCount = 1;
};

} // namespace Corvani::Nuv::CredentialProvider
