#pragma once
// Whose credential sections the provider reads. A section that exists before the provider creates it was
// made by somebody else: it is used only when its owner is LocalSystem, the account of the product's other
// party and of LogonUI. That is the owner S-1-5-18 itself, or the owner that this process's token gives
// its own objects (in LogonUI, LocalSystem's).

#include <windows.h>
#include <string>

namespace Corvani::Nuv::CredentialProvider {

// True when the section's owner is one of the two above. `owner` receives the owner's SID as text, empty
// when it cannot be read (which counts as another owner).
bool IsOwnedByLocalSystem(HANDLE section, std::wstring& owner);

} // namespace Corvani::Nuv::CredentialProvider
