#pragma once
// Security attributes built from an SDDL text; the converted descriptor is freed with the object.

#include "platform/UniqueResource.h"

#include <sddl.h>
#include <windows.h>

namespace Corvani::Nuv::Platform {

// Access for LocalSystem only: one entry granting GENERIC_ALL, inherited by objects and containers.
inline constexpr wchar_t kSystemOnlySddl[] = L"D:(A;OICI;GA;;;SY)";

class SddlSecurityAttributes {
public:
    explicit SddlSecurityAttributes(const wchar_t* sddl) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr))
            _descriptor.reset(descriptor);
        _attributes.nLength = sizeof(_attributes);
        _attributes.lpSecurityDescriptor = _descriptor.get();
        _attributes.bInheritHandle = FALSE;
    }
    SddlSecurityAttributes(const SddlSecurityAttributes&) = delete;
    SddlSecurityAttributes& operator=(const SddlSecurityAttributes&) = delete;

    SECURITY_ATTRIBUTES* get() noexcept { return &_attributes; }

private:
    UniqueLocalMemory _descriptor;
    SECURITY_ATTRIBUTES _attributes = {};
};

} // namespace Corvani::Nuv::Platform
