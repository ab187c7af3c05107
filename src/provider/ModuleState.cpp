#include "provider/ModuleState.h"

namespace Corvani::Nuv::CredentialProvider {

HINSTANCE g_moduleHandle = nullptr;
volatile LONG g_dllRefCount = 0;

} // namespace Corvani::Nuv::CredentialProvider
