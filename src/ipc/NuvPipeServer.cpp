#include "ipc/NuvPipeServer.h"

namespace Corvani::Nuv::IPC {

// The pipe server arrives with the messaging subsystem; until then it serves nothing.
NuvPipeServer::NuvPipeServer() = default;
NuvPipeServer::NuvPipeServer(DWORD /*uiPid*/) {}
NuvPipeServer::NuvPipeServer(const NuvPipeServer& other) = default;
NuvPipeServer& NuvPipeServer::operator=(const NuvPipeServer& /*other*/) { return *this; }
NuvPipeServer::~NuvPipeServer() = default;

void NuvPipeServer::Start() {}

} // namespace Corvani::Nuv::IPC
