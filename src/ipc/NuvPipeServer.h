#pragma once
// The provider's end of "\\.\pipe\CPPipeServer" + UI process id.

#include "ipc/Subject.h"
#include <windows.h>
#include <string>

namespace Corvani::Nuv::IPC {

class NuvPipeServer : public Subject {
public:
    NuvPipeServer();
    explicit NuvPipeServer(DWORD uiPid);
    NuvPipeServer(const NuvPipeServer& other);
    NuvPipeServer& operator=(const NuvPipeServer& other);
    ~NuvPipeServer() override;

    // Serves one connection after another until a command ends the loop.
    void Start();
};

} // namespace Corvani::Nuv::IPC
