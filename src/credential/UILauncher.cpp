// Launching, closing and killing the UI application.

#include "credential/NuvCredential.h"

namespace Corvani::Nuv::CredentialProvider {

// The launcher arrives with the orchestration subsystem; until then nothing is started or killed.
void NuvCredential::LaunchUI(DWORD /*mode*/) {}

void NuvCredential::FindAndKillNuvUI() {}

void NuvCredential::CloseNuvUI() {}

void NuvCredential::SetForeground() {}

void KillNuvUIProcesses() {}

} // namespace Corvani::Nuv::CredentialProvider
