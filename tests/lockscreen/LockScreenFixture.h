#pragma once
// A credential of the unlock scenario whose lock-screen questions are asked from a thread that never
// initialises COM, against the lock-screen stand-in; the stand-in's counters of this process.

#include "LockScreenScript.h"
#include "support/FakeOutsideEffects.h"
#include "support/MultithreadedApartment.h"
#include "support/PlainThread.h"
#include "support/ProviderPeers.h"

#include <gtest/gtest.h>
#include <string>

namespace HxTest {

inline constexpr wchar_t kAutomationServerKey[] =
    L"Software\\Classes\\CLSID\\{E22AD333-B25F-460C-83D0-0581107395C9}\\InprocServer32";

class LockScreenTest : public testing::Test {
protected:
    void SetUp() override {
        wchar_t module[MAX_PATH] = {};
        DWORD bytes = sizeof(module);
        ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_LOCAL_MACHINE, kAutomationServerKey, nullptr,
                                              RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr, module, &bytes))
            << "the lock-screen stand-in is not registered (install/wine/register-lockscreen-standin.sh)";
        provider = MakeProvider();
        ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_UNLOCK_WORKSTATION, 0));
        credential = Corvani::Nuv::CredentialProvider::NuvProviderTestPeer::Credential(AsNuv(provider.get()));
        ASSERT_NE(nullptr, credential);
    }

    // IsLockScreenVisible from a thread of its own.
    bool Ask() {
        bool answer = false;
        RunOnPlainThread([&] { answer = credential->IsLockScreenVisible(); });
        return answer;
    }

    FakeProcessTermination noProcessEnded;
    HxLockScreen::ScopedDesktop desktop{HxLockScreen::Desktop::SignInScreen};
    HxLockScreen::CountersSection counters;
    Corvani::Nuv::Platform::ComPtr<ICredentialProvider> provider;
    Corvani::Nuv::CredentialProvider::NuvCredential* credential = nullptr;
};

// The same with the multithreaded apartment that the host provides.
class WithHostApartment : public LockScreenTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(apartment.Ready());
        LockScreenTest::SetUp();
    }
    MultithreadedApartment apartment;
};

// A parameter name from a desktop's script name ("desktop-focus" -> "desktop_focus").
inline std::string TestNameOf(HxLockScreen::Desktop desktop) {
    std::string name;
    for (const wchar_t* c = HxLockScreen::NameOf(desktop); *c; ++c)
        name += *c == L'-' ? '_' : static_cast<char>(*c);
    return name;
}

} // namespace HxTest
