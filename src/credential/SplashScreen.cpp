#include "credential/SplashScreen.h"

namespace Corvani::Nuv::CredentialProvider {

SplashScreen g_splashScreen;

// The splash window arrives with the orchestration subsystem; until then a reset changes nothing.
void SplashScreen::Reset(DWORD /*setting*/, HWND /*owner*/) {}

} // namespace Corvani::Nuv::CredentialProvider
