// How fast the supervision follows the lock screen: the time from the lock screen's dismissal to SHOW
// received by the UI application, and from its return to HIDE received, over 20 trials each (median and
// worst). The supervision routine runs as SetSelected starts it, against the lock-screen stand-in and the
// signed UI application stand-in; run it from the signed layout (install/wine/sign-layout.sh BIN_DIR
// OUT_DIR hx_supervision_bench.exe, then register.sh OUT_DIR), as the trust check wants.

#include "LockScreenScript.h"
#include "credential/NuvCredential.h"
#include "support/FakeOutsideEffects.h"
#include "support/MultithreadedApartment.h"
#include "support/ProviderPeers.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace Corvani::Nuv::CredentialProvider;

namespace {

constexpr int kTrials = 20;

size_t Count(const std::wstring& file, const std::string& command) {
    std::ifstream in(file.c_str());
    std::stringstream text;
    text << in.rdbuf();
    const std::string all = text.str();
    size_t count = 0;
    for (size_t at = all.find(command); at != std::string::npos; at = all.find(command, at + 1))
        ++count;
    return count;
}

// Milliseconds until the record holds one more `command` than before; -1 after 10 s.
double WaitFor(const std::wstring& record, const std::string& command, size_t before) {
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (;;) {
        if (Count(record, command) > before) {
            QueryPerformanceCounter(&now);
            return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
        }
        QueryPerformanceCounter(&now);
        if (now.QuadPart - start.QuadPart > 10 * frequency.QuadPart)
            return -1;
        Sleep(2);
    }
}

void Report(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%-34s median %7.1f ms   worst %7.1f ms   (%zu trials)\n", what, times[times.size() / 2],
                times.back(), times.size());
}

} // namespace

int wmain() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HxTest::MultithreadedApartment apartment;
    HxTest::FakeKeyboardInput keyboard; // no presses on the machine that runs it
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring record = std::wstring(temp) + L"hx-supervision-bench.txt";
    DeleteFileW(record.c_str());
    SetEnvironmentVariableW(L"HX_UI_STANDIN_OPTIONS", (L"--record \"" + record + L"\"").c_str());

    auto provider = HxTest::MakeProvider();
    provider->SetUsageScenario(CPUS_LOGON, 0);
    NuvCredential* credential = NuvProviderTestPeer::Credential(HxTest::AsNuv(provider.get()));
    HxLockScreen::SetDesktop(HxLockScreen::Desktop::SignInScreen);
    IsNuvLastLoggedOn = false;
    IsHXCPSelected = true;
    Corvani::Nuv::Platform::UniqueHandle supervision(CreateThread(nullptr, 0, LaunchAndShowUI, credential, 0, nullptr));
    if (WaitFor(record, "\"SHOW\"", 0) < 0) {
        std::puts("the UI application never received SHOW: run from the signed layout");
        return 1;
    }
    std::vector<double> toHide, toShow;
    for (int trial = 0; trial < kTrials; ++trial) {
        Sleep(300);
        const size_t hides = Count(record, "\"HIDE\"");
        HxLockScreen::SetDesktop(HxLockScreen::Desktop::LockScreenPage);
        toHide.push_back(WaitFor(record, "\"HIDE\"", hides));
        Sleep(300);
        const size_t shows = Count(record, "\"SHOW\"");
        HxLockScreen::SetDesktop(HxLockScreen::Desktop::SignInScreen);
        toShow.push_back(WaitFor(record, "\"SHOW\"", shows));
    }
    IsHXCPSelected = false;
    WaitForSingleObject(supervision.get(), 10000);
    credential->FindAndKillNuvUI();
    Report("lock screen back -> HIDE received", toHide);
    Report("dismissed -> SHOW received", toShow);
    return 0;
}
