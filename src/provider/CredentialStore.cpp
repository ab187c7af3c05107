// The shared-memory sections through which the recognised user's credentials arrive: created with access for
// LocalSystem only, read and decrypted on demand, handed to the tile and wiped.

#include "credential/NuvCredential.h"
#include "logging/AnsiText.h"
#include "provider/ProviderTrace.h"
#include "platform/SecureText.h"
#include "platform/SecurityDescriptor.h"
#include "provider/NuvProvider.h"
#include "provider/SectionOwner.h"

#include <string>
#include <wincrypt.h>

namespace Corvani::Nuv::CredentialProvider {

namespace {

constexpr DWORD kSectionSize = 1024;
constexpr wchar_t kDomainSection[] = L"Global\\hxd";
constexpr wchar_t kUserSection[] = L"Global\\hxu";
constexpr wchar_t kPasswordSection[] = L"Global\\hxp";
constexpr wchar_t kUIInfoSection[] = L"Global\\hxui";

void Wipe(const Platform::UniqueMappedView& view) {
    if (view)
        SecureZeroMemory(view.get(), kSectionSize);
}

void* MapWholeSection(HANDLE mapping) { return MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, kSectionSize); }

// The plaintext up to its first NUL character, never beyond its own length.
std::wstring TextOf(const DATA_BLOB& plaintext) {
    const auto* characters = reinterpret_cast<const wchar_t*>(plaintext.pbData);
    const size_t capacity = plaintext.cbData / sizeof(wchar_t);
    size_t length = 0;
    while (length < capacity && characters[length] != L'\0')
        ++length;
    return std::wstring(characters, length);
}

} // namespace

void NuvProvider::CreateMappedMemory() {
    Trace("NuvProvider::CreateMappedMemory | ");
    Platform::CriticalSectionLock lock(_credentialStoreLock);
    CreateMemoryMappedFile(kDomainSection, _hDomainMapping, _domainView);
    CreateMemoryMappedFile(kUserSection, _hUserMapping, _userView);
    CreateMemoryMappedFile(kPasswordSection, _hPasswordMapping, _passwordView);
    CreateMemoryMappedFile(kUIInfoSection, _hUIInfoMapping, _uiInfoView);
}

// Creates the section, or opens it when it exists already. A handle or view that a new one replaces
// refers to the same section and is closed (this runs on LogonUI's thread, before any reader starts).
void NuvProvider::CreateMemoryMappedFile(const wchar_t* sectionName, Platform::UniqueHandle& mapping,
                                         Platform::UniqueMappedView& view) {
    Trace("NuvProvider::CreateMemoryMappedFile | ");
    Platform::SddlSecurityAttributes security(Platform::kSystemOnlySddl);
    SetLastError(ERROR_SUCCESS);
    HANDLE section = CreateFileMappingW(INVALID_HANDLE_VALUE, security.get(), PAGE_READWRITE, 0, kSectionSize,
                                        sectionName);
    const DWORD error = GetLastError();
    mapping.reset(section);
    if (!mapping) {
        Trace("NuvProvider::CreateMemoryMappedFile | Could not create file mapping object. Error: " +
              std::to_string(error));
        return;
    }
    if (error == ERROR_ALREADY_EXISTS && !IsOurs(mapping, "NuvProvider::CreateMemoryMappedFile | "))
        return;
    view.reset(MapWholeSection(mapping.get()));
    if (!view)
        Trace("NuvProvider::CreateMemoryMappedFile | Could not map view of file. Error: " +
              std::to_string(GetLastError()));
}

bool NuvProvider::ReadCredential() {
    Trace("NuvProvider::ReadCredential | ");
    Platform::CriticalSectionLock lock(_credentialStoreLock);
    Platform::AssignSecret(_domain, ReadMemoryMappedFile(kDomainSection, _hDomainMapping, _domainView));
    Platform::AssignSecret(_user, ReadMemoryMappedFile(kUserSection, _hUserMapping, _userView));
    Platform::AssignSecret(_password, ReadMemoryMappedFile(kPasswordSection, _hPasswordMapping, _passwordView));
    return !_domain.empty() && !_user.empty();
}

// A section the provider holds already is read through the handle and view it has: opening it a second
// time would give the same section, and replacing the members would either leak the earlier handle and
// view or unmap a view that another thread may still be wiping.
std::wstring NuvProvider::ReadMemoryMappedFile(const wchar_t* sectionName, Platform::UniqueHandle& mapping,
                                               Platform::UniqueMappedView& view) {
    Trace("NuvProvider::ReadMemoryMappedFile | ");
    if (!mapping) {
        mapping.reset(OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, sectionName));
        if (!mapping) {
            Trace("NuvProvider::ReadMemoryMappedFile | Could not open file mapping object. Error: " +
                  std::to_string(GetLastError()));
            return std::wstring();
        }
        if (!IsOurs(mapping, "NuvProvider::ReadMemoryMappedFile | "))
            return std::wstring();
    }
    if (!view) {
        view.reset(MapWholeSection(mapping.get()));
        if (!view) {
            Trace("NuvProvider::ReadMemoryMappedFile | Could not map view of file");
            return std::wstring();
        }
    }
    return Decrypt(view.get());
}

// A section that somebody else created keeps that creator's access control, and whatever it holds is
// theirs: only one of LocalSystem is used. Otherwise the handle is let go of.
bool NuvProvider::IsOurs(Platform::UniqueHandle& mapping, const char* operation) {
    std::wstring owner;
    if (IsOwnedByLocalSystem(mapping.get(), owner))
        return true;
    Trace(std::string(operation) + "the section's owner " + Logging::WideToAnsi(owner) +
          " is not LocalSystem, the section is not used");
    mapping.reset();
    return false;
}

std::wstring NuvProvider::Decrypt(void* view) {
    Trace("NuvProvider::Decrypt | ");
    DATA_BLOB protectedBlob = {kSectionSize, static_cast<BYTE*>(view)};
    DATA_BLOB plaintext = {};
    LPWSTR description = nullptr;
    if (!CryptUnprotectData(&protectedBlob, &description, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                            &plaintext)) {
        Trace("NuvProvider::Decrypt | Decryption error. LastError: " + std::to_string(GetLastError()));
        return std::wstring();
    }
    Platform::UniqueLocalMemory descriptionOwner(description);
    Platform::UniqueLocalMemory plaintextOwner(plaintext.pbData);
    std::wstring text = TextOf(plaintext);
    SecureZeroMemory(plaintext.pbData, plaintext.cbData);
    return text;
}

void NuvProvider::CopyCredentials(Platform::SecretCredentials& copy) {
    Platform::CriticalSectionLock lock(_credentialStoreLock);
    Platform::AssignSecret(copy.domain, _domain);
    Platform::AssignSecret(copy.user, _user);
    Platform::AssignSecret(copy.password, _password);
}

// The texts go to the tile from a copy, so that the tile's lock is never taken under this one.
void NuvProvider::SetCredential() {
    Trace("NuvProvider::SetCredential | ");
    Platform::SecretCredentials texts;
    CopyCredentials(texts);
    {
        Platform::CriticalSectionLock lock(_credentialStoreLock);
        Wipe(_passwordView);
    }
    if (_credential)
        _credential->SetCredential(texts.domain, texts.user, texts.password);
}

void NuvProvider::CleanCredential() {
    Trace("NuvProvider::CleanCredential | ");
    Platform::CriticalSectionLock lock(_credentialStoreLock);
    Wipe(_domainView);
    Wipe(_userView);
    Wipe(_passwordView);
    Wipe(_uiInfoView);
}

} // namespace Corvani::Nuv::CredentialProvider
