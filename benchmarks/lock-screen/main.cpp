// Lock-screen benchmark (run by hand under Wine, in a prefix where the stand-in is registered; not a test):
//   1. IsLockScreenVisible on a thread that never initialises COM, in the multithreaded apartment that
//      another thread keeps as the host does, over the scripted desktop;
//   2. the floor on the same kind of thread: create the automation object, take the root element, release
//      both, no search;
// and the process's open handles (probed) and private bytes before and after each run, which must stay flat.
//
//   hx_lockscreen_bench.exe [questions, default 10000] [desktop, default signin]

#include "LockScreenScript.h"
#include "Timing.h"
#include "platform/ComPtr.h"
#include "platform/UIAutomationApi.h"
#include "support/FakeOutsideEffects.h"
#include "support/HandleCount.h"
#include "common/ProcessFootprint.h"
#include "support/MultithreadedApartment.h"
#include "support/PlainThread.h"
#include "support/ProviderPeers.h"

#include <cstdio>
#include <cwchar>
#include <functional>
#include <psapi.h>
#include <vector>

namespace {

using namespace HxPipeBench;
using Corvani::Nuv::Platform::ComPtr;

constexpr int kWarmUp = 100;

struct Footprint {
    int handles;
    SIZE_T privateBytes;
};

Footprint Measure() { return {HxTools::CountOpenHandles(), HxTools::PrivateBytes()}; }

bool Floor() {
    ComPtr<IUIAutomation> automation;
    if (FAILED(CoCreateInstance(CLSID_CUIAutomation8, nullptr, CLSCTX_INPROC_SERVER, IID_IUIAutomation,
                                automation.putVoid())))
        return false;
    ComPtr<IUIAutomationElement> root;
    return SUCCEEDED(automation->GetRootElement(root.put())) && root;
}

// Times each call on a plain thread after a warm-up; the footprint is taken on that thread around the run.
Summary Run(const char* name, int count, const std::function<bool()>& call) {
    std::vector<double> samples;
    samples.reserve(static_cast<size_t>(count));
    Footprint before = {}, after = {};
    std::size_t answeredTrue = 0;
    HxTest::RunOnPlainThread([&] {
        for (int i = 0; i < kWarmUp; ++i)
            call();
        before = Measure();
        for (int i = 0; i < count; ++i) {
            const double start = NowMicroseconds();
            const bool result = call();
            samples.push_back(NowMicroseconds() - start);
            answeredTrue += result ? 1 : 0;
        }
        after = Measure();
    });
    const Summary summary = Summarize(samples);
    PrintSummary(name, summary, 0);
    std::printf("    true %zu of %d; handles %d -> %d; private bytes %zu -> %zu (%+lld)\n", answeredTrue, count,
                before.handles, after.handles, static_cast<size_t>(before.privateBytes),
                static_cast<size_t>(after.privateBytes),
                static_cast<long long>(after.privateBytes) - static_cast<long long>(before.privateBytes));
    return summary;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int questions = argc > 1 ? std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10))) : 10000;
    HxLockScreen::Desktop desktop = HxLockScreen::Desktop::SignInScreen;
    if (argc > 2 && !HxLockScreen::ParseDesktop(argv[2], desktop)) {
        std::printf("unknown desktop\n");
        return 2;
    }
    HxTest::FakeProcessTermination noProcessEnded;
    HxLockScreen::ScopedDesktop scripted(desktop);
    HxLockScreen::CountersSection counters;
    HxTest::MultithreadedApartment apartment;
    if (!apartment.Ready()) {
        std::printf("no multithreaded apartment\n");
        return 1;
    }
    auto provider = HxTest::MakeProvider();
    provider->SetUsageScenario(CPUS_UNLOCK_WORKSTATION, 0);
    auto* credential =
        Corvani::Nuv::CredentialProvider::NuvProviderTestPeer::Credential(HxTest::AsNuv(provider.get()));

    std::printf("lock-screen benchmark: %d questions each (after %d warm-up), desktop \"%ls\"\n", questions,
                kWarmUp, HxLockScreen::NameOf(desktop));
    const LONG createdBefore = counters.Read().automationsCreated;
    const Summary floor = Run("floor: automation object + root element", questions, Floor);
    const LONG floorCreated = counters.Read().automationsCreated - createdBefore;
    const Summary question =
        Run("IsLockScreenVisible", questions, [credential] { return credential->IsLockScreenVisible(); });
    const HxLockScreen::LiveObjects live = counters.Read();
    std::printf("automation objects per question %.2f (floor %.2f); alive after: automations %ld, elements %ld, "
                "conditions %ld\n",
                static_cast<double>(live.automationsCreated - createdBefore - floorCreated) / (questions + kWarmUp),
                static_cast<double>(floorCreated) / (questions + kWarmUp), live.automations, live.elements,
                live.conditions);
    if (floor.p50 > 0)
        std::printf("IsLockScreenVisible / floor                 p50 x%.1f   p99 x%.1f\n", question.p50 / floor.p50,
                    question.p99 / floor.p99);
    return 0;
}
