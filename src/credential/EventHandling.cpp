// What the tile does with the events of the UI application, delivered by its pipe server on the server's
// thread: a recognised face leads to the hand-off of the credentials, a deselection to an Escape press
// into LogonUI, input to a wake-up press and the UI application's window in front.

#include "credential/NuvCredential.h"
#include "ipc/CPEvent.h"
#include "provider/NuvProvider.h"

namespace Corvani::Nuv::CredentialProvider {

void NuvCredential::processEvent(CPEvent* event) {
    Log("NuvCredential::processEvent | ");
    if (!event)
        return;
    switch (event->type) {
    case CPLogonEvent::TypeCode:
        Log("NuvCredential::processEvent | 2");
        OnLogonEvent();
        break;
    case CPCloseEvent::TypeCode:
        Log("NuvCredential::processEvent | 3");
        OnCloseEvent();
        break;
    case CPINPUTEvent::TypeCode:
        Log("NuvCredential::processEvent | 4");
        SendAnyKeyToRemoveScreensaver();
        SetForeground();
        break;
    default:
        break;
    }
}

void NuvCredential::OnLogonEvent() {
    Log("NuvCredential::OnLogonEvent | ");
    OnAuthenticationDataReady();
}

// Auto-logon is asked for by the provider, and only when it hands the credentials over: a LOGON that
// reaches no advised provider leaves it as it was.
void NuvCredential::OnAuthenticationDataReady() {
    Log("NuvCredential::OnAuthenticationDataReady | ");
    Platform::ComPtr<NuvProvider> provider;
    {
        Platform::CriticalSectionLock lock(_providerLock);
        if (_provider && _provider->TryAddRef())
            provider = Platform::ComPtr<NuvProvider>::attach(_provider);
    }
    if (!provider) {
        Log("NuvCredential::OnAuthenticationDataReady | the provider is gone, LOGON ignored");
        return;
    }
    provider->setCredentialChanged();
}

void NuvCredential::DetachProvider() {
    Platform::CriticalSectionLock lock(_providerLock);
    _provider = nullptr;
    _providerAttached = false;
}

void NuvCredential::OnCloseEvent() {
    Log("NuvCredential::OnCloseEvent | ");
    SendEscapeKeyToLogonUI();
}

} // namespace Corvani::Nuv::CredentialProvider
