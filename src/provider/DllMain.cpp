// Entry point of the provider module.

#include "provider/ModuleState.h"

using Corvani::Nuv::CredentialProvider::g_moduleHandle;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    g_moduleHandle = instance;
    return TRUE;
}
