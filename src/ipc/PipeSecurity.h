#pragma once
// Security attributes of both pipes: not inheritable, with a DACL that grants everything to LocalSystem
// and nothing to anyone else.

#include "platform/UniqueResource.h"

#include <windows.h>

namespace Corvani::Nuv::IPC {

inline constexpr wchar_t kPipeSecurityDescriptor[] = L"D:(A;OICI;GA;;;SY)";

class PipeSecurity {
public:
    PipeSecurity();
    PipeSecurity(const PipeSecurity&) = delete;
    PipeSecurity& operator=(const PipeSecurity&) = delete;

    // False when the descriptor could not be built; a pipe must then not be created with these attributes,
    // which would fall back to the default DACL.
    bool IsValid() const { return static_cast<bool>(_descriptor); }
    DWORD BuildError() const { return _buildError; }

    SECURITY_ATTRIBUTES* Attributes() { return &_attributes; }

private:
    Platform::UniqueLocalMemory _descriptor;
    DWORD _buildError = ERROR_SUCCESS;
    SECURITY_ATTRIBUTES _attributes{};
};

} // namespace Corvani::Nuv::IPC
