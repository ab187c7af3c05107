#include "ipc/PipeSecurity.h"

#include <sddl.h>

namespace Corvani::Nuv::IPC {

PipeSecurity::PipeSecurity() {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorW(kPipeSecurityDescriptor, SDDL_REVISION_1,
                                                             &descriptor, nullptr))
        _descriptor.reset(descriptor);
    else
        _buildError = GetLastError();
    _attributes.nLength = sizeof(SECURITY_ATTRIBUTES);
    _attributes.lpSecurityDescriptor = _descriptor.get();
    _attributes.bInheritHandle = FALSE;
}

} // namespace Corvani::Nuv::IPC
