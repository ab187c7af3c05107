#include "CredentialSections.h"

#include "SectionAccess.h"
#include "platform/SecurityDescriptor.h"

#include <cstring>
#include <wincrypt.h>

using Corvani::Nuv::Platform::UniqueHandle;
using Corvani::Nuv::Platform::UniqueLocalMemory;
using Corvani::Nuv::Platform::UniqueMappedView;

namespace HxFiller {

std::vector<BYTE> ProtectText(const std::wstring& text, const ProtectOptions& options) {
    const size_t characters = text.size() + (options.terminate ? 1 : 0);
    DATA_BLOB plain = {static_cast<DWORD>(characters * sizeof(wchar_t)),
                       reinterpret_cast<BYTE*>(const_cast<wchar_t*>(text.c_str()))};
    DATA_BLOB protectedBlob = {};
    const DWORD flags = CRYPTPROTECT_UI_FORBIDDEN | (options.machineScope ? CRYPTPROTECT_LOCAL_MACHINE : 0);
    if (!CryptProtectData(&plain, L"hx", nullptr, nullptr, nullptr, flags, &protectedBlob))
        return {};
    UniqueLocalMemory owner(protectedBlob.pbData);
    return std::vector<BYTE>(protectedBlob.pbData, protectedBlob.pbData + protectedBlob.cbData);
}

UniqueHandle OpenForFilling(const wchar_t* name, DWORD& error) {
    error = ERROR_SUCCESS;
    UniqueHandle section(OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, name));
    if (!section && GetLastError() == ERROR_ACCESS_DENIED) {
        error = GrantCurrentUser(name);
        if (error != ERROR_SUCCESS)
            return UniqueHandle();
        section.reset(OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, name));
    }
    if (!section)
        error = GetLastError();
    return section;
}

DWORD WriteSection(HANDLE section, const std::vector<BYTE>& bytes) {
    if (bytes.size() > kSectionSize)
        return ERROR_INSUFFICIENT_BUFFER;
    UniqueMappedView view(MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, kSectionSize));
    if (!view)
        return GetLastError();
    std::memset(view.get(), 0, kSectionSize);
    if (!bytes.empty())
        std::memcpy(view.get(), bytes.data(), bytes.size());
    return ERROR_SUCCESS;
}

DWORD FillSection(const wchar_t* name, const std::wstring& text, const ProtectOptions& options) {
    const std::vector<BYTE> blob = ProtectText(text, options);
    if (blob.empty())
        return GetLastError();
    DWORD error = ERROR_SUCCESS;
    UniqueHandle section = OpenForFilling(name, error);
    return section ? WriteSection(section.get(), blob) : error;
}

DWORD ClearSection(const wchar_t* name) {
    DWORD error = ERROR_SUCCESS;
    UniqueHandle section = OpenForFilling(name, error);
    return section ? WriteSection(section.get(), {}) : error;
}

namespace {

DWORD CreateOne(const wchar_t* name, UniqueHandle& handle, bool grantCurrentUser) {
    Corvani::Nuv::Platform::SddlSecurityAttributes security(Corvani::Nuv::Platform::kSystemOnlySddl);
    handle.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, security.get(), PAGE_READWRITE, 0, kSectionSize, name));
    if (!handle)
        return GetLastError();
    // A section that exists already belongs to whoever created it: its access control stays as it is.
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        return ERROR_SUCCESS;
    return grantCurrentUser ? GrantCurrentUser(handle.get()) : ERROR_SUCCESS;
}

} // namespace

DWORD CreateSections(CreatedSections& sections, bool grantCurrentUser) {
    for (auto [name, handle] : {std::pair{kDomainSection, &sections.domain}, std::pair{kUserSection, &sections.user},
                                std::pair{kPasswordSection, &sections.password},
                                std::pair{kUIInfoSection, &sections.uiInfo}}) {
        const DWORD error = CreateOne(name, *handle, grantCurrentUser);
        if (error != ERROR_SUCCESS)
            return error;
    }
    return ERROR_SUCCESS;
}

} // namespace HxFiller
