#include "SectionAccess.h"

#include "platform/UniqueResource.h"

#include <aclapi.h>
#include <sddl.h>
#include <vector>

using Corvani::Nuv::Platform::UniqueHandle;
using Corvani::Nuv::Platform::UniqueLocalMemory;

namespace HxFiller {

namespace {

struct Dacl {
    UniqueLocalMemory descriptor;
    PACL acl = nullptr;
};

Dacl ReadDacl(HANDLE section) {
    Dacl result;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(section, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &result.acl, nullptr,
                        &descriptor) == ERROR_SUCCESS)
        result.descriptor.reset(descriptor);
    else
        result.acl = nullptr;
    return result;
}

std::vector<BYTE> CurrentUserSid() {
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()))
        return {};
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size))
        return {};
    const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer.data());
    const BYTE* sid = static_cast<const BYTE*>(user->User.Sid);
    return std::vector<BYTE>(sid, sid + GetLengthSid(user->User.Sid));
}

} // namespace

std::wstring DaclText(HANDLE section) {
    Dacl dacl = ReadDacl(section);
    if (!dacl.descriptor)
        return std::wstring();
    LPWSTR text = nullptr;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(dacl.descriptor.get(), SDDL_REVISION_1,
                                                              DACL_SECURITY_INFORMATION, &text, nullptr))
        return std::wstring();
    UniqueLocalMemory owner(text);
    return text;
}

bool IsSystemOnlyDacl(HANDLE section) {
    Dacl dacl = ReadDacl(section);
    if (!dacl.acl || dacl.acl->AceCount != 1)
        return false;
    void* raw = nullptr;
    if (!GetAce(dacl.acl, 0, &raw))
        return false;
    const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(raw);
    BYTE systemSid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof(systemSid);
    CreateWellKnownSid(WinLocalSystemSid, nullptr, systemSid, &sidSize);
    const bool allAccess = ace->Mask == GENERIC_ALL || ace->Mask == SECTION_ALL_ACCESS;
    return ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
           ace->Header.AceFlags == (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE) && allAccess &&
           EqualSid(const_cast<DWORD*>(&ace->SidStart), systemSid);
}

DWORD GrantCurrentUser(HANDLE section) {
    if (!IsSystemOnlyDacl(section))
        return ERROR_INVALID_SECURITY_DESCR;
    Dacl dacl = ReadDacl(section);
    std::vector<BYTE> user = CurrentUserSid();
    if (user.empty())
        return GetLastError();
    EXPLICIT_ACCESSW entry = {};
    entry.grfAccessPermissions = SECTION_ALL_ACCESS;
    entry.grfAccessMode = GRANT_ACCESS;
    entry.grfInheritance = NO_INHERITANCE;
    entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    entry.Trustee.TrusteeType = TRUSTEE_IS_USER;
    entry.Trustee.ptstrName = reinterpret_cast<LPWSTR>(user.data());
    PACL extended = nullptr;
    DWORD error = SetEntriesInAclW(1, &entry, dacl.acl, &extended);
    if (error != ERROR_SUCCESS)
        return error;
    UniqueLocalMemory extendedOwner(extended);
    return SetSecurityInfo(section, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, extended,
                           nullptr);
}

DWORD GrantCurrentUser(const wchar_t* sectionName) {
    UniqueHandle section(OpenFileMappingW(READ_CONTROL | WRITE_DAC, FALSE, sectionName));
    if (!section)
        return GetLastError();
    return GrantCurrentUser(section.get());
}

} // namespace HxFiller
