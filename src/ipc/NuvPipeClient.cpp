#include "ipc/NuvPipeClient.h"

namespace Corvani::Nuv::IPC {

// The pipe client arrives with the messaging subsystem; until then every command fails.
NuvPipeClient::NuvPipeClient() = default;
NuvPipeClient::NuvPipeClient(DWORD /*uiPid*/) {}

bool NuvPipeClient::Show(DWORD& error) { return (error = ERROR_CALL_NOT_IMPLEMENTED), false; }
bool NuvPipeClient::ChangePassword(DWORD& error) { return (error = ERROR_CALL_NOT_IMPLEMENTED), false; }
bool NuvPipeClient::Hide(DWORD& error) { return (error = ERROR_CALL_NOT_IMPLEMENTED), false; }
bool NuvPipeClient::Close(DWORD& error) { return (error = ERROR_CALL_NOT_IMPLEMENTED), false; }
bool NuvPipeClient::SelfClose(DWORD& error) { return (error = ERROR_CALL_NOT_IMPLEMENTED), false; }

} // namespace Corvani::Nuv::IPC
