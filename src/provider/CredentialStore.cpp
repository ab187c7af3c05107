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
    for (Section& section : _sections)
        CreateMemoryMappedFile(section);
}

// Creates the section, or opens it when it exists already. A handle or view that a new one replaces
// refers to the same section and is closed (this runs on LogonUI's thread, before any reader starts).
void NuvProvider::CreateMemoryMappedFile(Section& section) {
    Trace("NuvProvider::CreateMemoryMappedFile | ");
    Platform::SddlSecurityAttributes security(Platform::kSystemOnlySddl);
    SetLastError(ERROR_SUCCESS);
    section.mapping.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, security.get(), PAGE_READWRITE, 0,
                                             kSectionSize, section.name));
    const DWORD error = GetLastError();
    if (!section.mapping) {
        Trace("NuvProvider::CreateMemoryMappedFile | Could not create file mapping object. Error: " +
              std::to_string(error));
        return;
    }
    if (error == ERROR_ALREADY_EXISTS && !IsOurs(section.mapping, "NuvProvider::CreateMemoryMappedFile | "))
        return;
    section.view.reset(MapWholeSection(section.mapping.get()));
    if (!section.view)
        Trace("NuvProvider::CreateMemoryMappedFile | Could not map view of file. Error: " +
              std::to_string(GetLastError()));
}

bool NuvProvider::ReadCredential() {
    Trace("NuvProvider::ReadCredential | ");
    Platform::CriticalSectionLock lock(_credentialStoreLock);
    Platform::AssignSecret(_domain, ReadMemoryMappedFile(_sections[DomainSection]));
    Platform::AssignSecret(_user, ReadMemoryMappedFile(_sections[UserSection]));
    Platform::AssignSecret(_password, ReadMemoryMappedFile(_sections[PasswordSection]));
    return !_domain.empty() && !_user.empty();
}

// A section the provider holds already is read through the handle and view it has: opening it a second
// time would give the same section, and replacing the members would either leak the earlier handle and
// view or unmap a view that another thread may still be wiping.
std::wstring NuvProvider::ReadMemoryMappedFile(Section& section) {
    Trace("NuvProvider::ReadMemoryMappedFile | ");
    if (!section.mapping) {
        section.mapping.reset(OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, section.name));
        if (!section.mapping) {
            Trace("NuvProvider::ReadMemoryMappedFile | Could not open file mapping object. Error: " +
                  std::to_string(GetLastError()));
            return std::wstring();
        }
        if (!IsOurs(section.mapping, "NuvProvider::ReadMemoryMappedFile | "))
            return std::wstring();
    }
    if (!section.view) {
        section.view.reset(MapWholeSection(section.mapping.get()));
        if (!section.view) {
            Trace("NuvProvider::ReadMemoryMappedFile | Could not map view of file");
            return std::wstring();
        }
    }
    return Decrypt(section.view.get());
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
        Wipe(_sections[PasswordSection].view);
    }
    if (_credential)
        _credential->SetCredential(texts.domain, texts.user, texts.password);
}

void NuvProvider::CleanCredential() {
    Trace("NuvProvider::CleanCredential | ");
    Platform::CriticalSectionLock lock(_credentialStoreLock);
    for (const Section& section : _sections)
        Wipe(section.view);
}

} // namespace Corvani::Nuv::CredentialProvider
