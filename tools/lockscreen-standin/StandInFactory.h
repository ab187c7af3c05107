#pragma once
// The class factory: each CreateInstance reads the scripted desktop and makes one automation object over it.

#include "platform/ComObject.h"

#include <unknwn.h>

namespace HxLockScreen {

class StandInFactory final : public Corvani::Nuv::Platform::ComObject<StandInFactory, IClassFactory> {
public:
    StandInFactory() = default;
    ~StandInFactory() = default;

    IFACEMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    IFACEMETHODIMP LockServer(BOOL lock) override;
};

} // namespace HxLockScreen
