#pragma once
// Filling the provider's credential sections: DPAPI-protected, NUL-terminated UTF-16LE texts at offset 0.

#include "platform/UniqueResource.h"

#include <string>
#include <vector>
#include <windows.h>

namespace HxFiller {

inline constexpr DWORD kSectionSize = 1024;
inline constexpr wchar_t kDomainSection[] = L"Global\\hxd";
inline constexpr wchar_t kUserSection[] = L"Global\\hxu";
inline constexpr wchar_t kPasswordSection[] = L"Global\\hxp";
inline constexpr wchar_t kUIInfoSection[] = L"Global\\hxui";

struct ProtectOptions {
    bool terminate = true;     // append the NUL character the provider reads up to
    bool machineScope = false; // CRYPTPROTECT_LOCAL_MACHINE instead of the user's key
};

// The protected blob of a text; empty on failure.
std::vector<BYTE> ProtectText(const std::wstring& text, const ProtectOptions& options = {});

// Opens a section for writing; when access is denied, first adds an entry for the current user (see
// SectionAccess.h). The handle is null on failure and error holds the reason.
Corvani::Nuv::Platform::UniqueHandle OpenForFilling(const wchar_t* name, DWORD& error);

// Writes bytes at offset 0 and zeros the rest of the 1024 bytes; ERROR_SUCCESS or the failing error.
DWORD WriteSection(HANDLE section, const std::vector<BYTE>& bytes);

// Opens the named section and writes the protected text into it.
DWORD FillSection(const wchar_t* name, const std::wstring& text, const ProtectOptions& options = {});

// Zeros the named section.
DWORD ClearSection(const wchar_t* name);

// Creates the domain, user, password and UI-info sections the way the provider does, for a switch of user
// that happens before any provider exists; with grantCurrentUser the current user gets an entry too. The
// sections live as long as these handles.
struct CreatedSections {
    Corvani::Nuv::Platform::UniqueHandle domain, user, password, uiInfo;
};
DWORD CreateSections(CreatedSections& sections, bool grantCurrentUser);

} // namespace HxFiller
