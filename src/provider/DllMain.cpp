// Entry point of the provider module.

#include "credential/ProcessState.h"
#include "provider/ModuleState.h"

using Corvani::Nuv::CredentialProvider::g_moduleHandle;
using Corvani::Nuv::CredentialProvider::g_splashScreen;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    // A splash window still up must not outlive the code of its window procedure.
    if (reason == DLL_PROCESS_DETACH)
        g_splashScreen.Close();
    g_moduleHandle = instance;
    return TRUE;
}
