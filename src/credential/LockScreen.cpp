// Lock-screen detection through UI Automation.

#include "credential/NuvCredential.h"

namespace Corvani::Nuv::CredentialProvider {

// Not yet asked through UI Automation: the lock screen counts as absent.
bool NuvCredential::IsLockScreenVisible() {
    Log("NuvCredential::IsLockScreenVisible | --");
    return false;
}

IUIAutomationElement* NuvCredential::GetTopLevelWindowByName() { return nullptr; }
IUIAutomationElement* NuvCredential::GetChildWindowByName(IUIAutomationElement*) { return nullptr; }
IUIAutomationElement* NuvCredential::GetChildPaneByName() { return nullptr; }
bool IsWindows7() { return false; }

} // namespace Corvani::Nuv::CredentialProvider
