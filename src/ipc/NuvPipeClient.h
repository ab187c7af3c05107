#pragma once
// Sends the provider's commands to the UI application and SELF_CLOSE to the provider's own server.

#include <windows.h>

namespace Corvani::Nuv::IPC {

class NuvPipeClient {
public:
    NuvPipeClient();
    explicit NuvPipeClient(DWORD uiPid);

    bool Show(DWORD& error);
    bool ChangePassword(DWORD& error);
    bool Hide(DWORD& error);
    bool Close(DWORD& error);
    bool SelfClose(DWORD& error);
};

} // namespace Corvani::Nuv::IPC
