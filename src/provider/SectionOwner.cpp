#include "provider/SectionOwner.h"

#include "platform/UniqueResource.h"

#include <aclapi.h>
#include <sddl.h>
#include <vector>

namespace Corvani::Nuv::CredentialProvider {

namespace {

constexpr wchar_t kLocalSystemSid[] = L"S-1-5-18";

std::wstring SidText(PSID sid) {
    LPWSTR text = nullptr;
    if (sid == nullptr || !ConvertSidToStringSidW(sid, &text))
        return std::wstring();
    const Platform::UniqueLocalMemory owned(text);
    return text;
}

// The owner this process's new objects get.
std::wstring OwnObjectOwner() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return std::wstring();
    const Platform::UniqueHandle owned(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenOwner, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !GetTokenInformation(token, TokenOwner, buffer.data(), size, &size))
        return std::wstring();
    return SidText(reinterpret_cast<TOKEN_OWNER*>(buffer.data())->Owner);
}

} // namespace

bool IsOwnedByLocalSystem(HANDLE section, std::wstring& owner) {
    owner.clear();
    PSID sid = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(section, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &sid, nullptr, nullptr, nullptr,
                        &descriptor) != ERROR_SUCCESS)
        return false;
    const Platform::UniqueLocalMemory descriptorOwner(descriptor);
    owner = SidText(sid);
    return !owner.empty() && (owner == kLocalSystemSid || owner == OwnObjectOwner());
}

} // namespace Corvani::Nuv::CredentialProvider
