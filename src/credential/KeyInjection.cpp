// Key presses injected into LogonUI.

#include "credential/NuvCredential.h"

namespace Corvani::Nuv::CredentialProvider {

// Key injection arrives with the orchestration subsystem; until then no key is pressed.
void NuvCredential::SendAnyKeyToRemoveScreensaver() {}

void NuvCredential::SendEscapeKeyToLogonUI() {}

} // namespace Corvani::Nuv::CredentialProvider
