// The shared-memory sections through which the recognised user's credentials arrive.

#include "credential/NuvCredential.h"
#include "logging/TraceLog.h"
#include "provider/NuvProvider.h"

namespace Corvani::Nuv::CredentialProvider {

namespace {

constexpr SIZE_T kSectionSize = 1024;

void Wipe(const Platform::UniqueMappedView& view) {
    if (view)
        SecureZeroMemory(view.get(), kSectionSize);
}

} // namespace

// Creating, reading and decrypting the sections arrives with the credential store; until then no
// section exists and nothing is read.
void NuvProvider::CreateMappedMemory() { Logging::WriteCPLog("NuvProvider::CreateMappedMemory | "); }

void NuvProvider::CreateMemoryMappedFile(const wchar_t* /*sectionName*/, Platform::UniqueHandle& /*mapping*/,
                                         Platform::UniqueMappedView& /*view*/) {}

bool NuvProvider::ReadCredential() {
    Logging::WriteCPLog("NuvProvider::ReadCredential | ");
    return false;
}

std::wstring NuvProvider::ReadMemoryMappedFile(const wchar_t* /*sectionName*/, Platform::UniqueHandle& /*mapping*/,
                                               Platform::UniqueMappedView& /*view*/) {
    return std::wstring();
}

std::wstring NuvProvider::Decrypt(void* /*view*/) { return std::wstring(); }

void NuvProvider::SetCredential() {
    Logging::WriteCPLog("NuvProvider::SetCredential | ");
    if (_credential)
        _credential->SetCredential(_domain, _user, _password);
    Wipe(_passwordView);
}

void NuvProvider::CleanCredential() {
    Logging::WriteCPLog("NuvProvider::CleanCredential | ");
    Wipe(_domainView);
    Wipe(_userView);
    Wipe(_passwordView);
    Wipe(_uiInfoView);
}

} // namespace Corvani::Nuv::CredentialProvider
