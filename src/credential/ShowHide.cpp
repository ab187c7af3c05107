// Supervision of the UI application while the tile is selected.

#include "credential/NuvCredential.h"

namespace Corvani::Nuv::CredentialProvider {

// The supervision loop arrives with the orchestration subsystem; until then the thread ends at once.
DWORD WINAPI LaunchAndShowUI(LPVOID /*credential*/) { return 0; }

} // namespace Corvani::Nuv::CredentialProvider
