#pragma once
// One key press into the input stream: a down and an up event of one virtual key.

#include <windows.h>

namespace Corvani::Nuv::CredentialProvider {

// Two SendInput calls of one INPUT each, with the scan code the current keyboard layout maps the key to.
void PressKey(WORD virtualKey);

} // namespace Corvani::Nuv::CredentialProvider
