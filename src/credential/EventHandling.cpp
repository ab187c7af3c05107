// Events of the UI application, delivered by the pipe server.

#include "credential/NuvCredential.h"

namespace Corvani::Nuv::CredentialProvider {

// Event handling arrives with the orchestration subsystem; until then events are ignored.
void NuvCredential::processEvent(CPEvent* /*event*/) {}

} // namespace Corvani::Nuv::CredentialProvider
