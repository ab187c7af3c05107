#include "credential/SplashScreen.h"

#include "credential/NuvCredential.h"

namespace Corvani::Nuv::CredentialProvider {

SplashScreen g_splashScreen;

// The splash window arrives with the orchestration subsystem; until then a reset changes nothing.
void SplashScreen::Reset(DWORD /*setting*/, HWND /*owner*/) {}

} // namespace Corvani::Nuv::CredentialProvider

namespace Corvani::Nuv::CredentialProvider {

void NuvCredential::ShowSplashScreen() { Log("NuvCredential::ShowSplashScreen | --"); }

} // namespace Corvani::Nuv::CredentialProvider
