#pragma once
// Process-wide state of the module: its instance handle and the count of live objects and server locks
// that decides whether the module may be unloaded.

#include <windows.h>

namespace Corvani::Nuv::CredentialProvider {

extern HINSTANCE g_moduleHandle;
extern volatile LONG g_dllRefCount;

inline void DllAddRef() { InterlockedIncrement(&g_dllRefCount); }
inline void DllRelease() { InterlockedDecrement(&g_dllRefCount); }

} // namespace Corvani::Nuv::CredentialProvider
