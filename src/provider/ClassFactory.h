#pragma once
// The class factory of the provider's class id: creates one NuvProvider per request.

#include "platform/ComObject.h"

#include <windows.h>
#include <unknwn.h>

namespace Corvani::Nuv::CredentialProvider {

class CClassFactory final : public Platform::ComObject<CClassFactory, IClassFactory> {
public:
    CClassFactory() = default;

    // IClassFactory
    IFACEMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    IFACEMETHODIMP LockServer(BOOL lock) override;

private:
    friend Platform::ComObject<CClassFactory, IClassFactory>; // the last Release destroys it
    ~CClassFactory() = default;
};

} // namespace Corvani::Nuv::CredentialProvider
