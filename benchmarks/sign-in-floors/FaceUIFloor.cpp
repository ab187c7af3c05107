// The floor of the time to the face UI, one trial in this fresh process: the trust check of the same three
// files the host's provider examines, the same signed stand-in started with the same ShellExecuteExW mask
// and parameters, and SHOW exchanges until the first that succeeds. Between failed ones the pause is the
// client's fixed 500 ms: a wait of the rules, counted into the floor and printed on its own.

#include "Floors.h"
#include "Samples.h"
#include "ipc/CommandTexts.h"
#include "ipc/PipeNames.h"
#include "platform/TrustCheck.h"
#include "platform/UniqueResource.h"

#include <objbase.h>
#include <shellapi.h>

namespace HxFloors {

namespace {

constexpr DWORD kClientRetryPauseMilliseconds = 500; // the pipe client's, between SHOW attempts
constexpr int kShowAttempts = 6;
constexpr DWORD kStandInEndMilliseconds = 5000;

HANDLE StartStandIn(const std::wstring& path) {
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_DOENVSUBST | SEE_MASK_WAITFORINPUTIDLE | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = path.c_str();
    info.lpParameters = L" -l 1033";
    info.nShow = SW_SHOW;
    return ShellExecuteExW(&info) ? info.hProcess : nullptr;
}

void EndStandIn(HANDLE process) {
    ExchangeCommand(Corvani::Nuv::IPC::UIPipeName(GetProcessId(process)), Corvani::Nuv::IPC::kCloseCommandText);
    if (WaitForSingleObject(process, kStandInEndMilliseconds) != WAIT_OBJECT_0)
        TerminateProcess(process, 0);
}

} // namespace

int MeasureFaceUIFloor(const std::wstring& signedDirectory) {
    // The launch runs in the multithreaded apartment in the provider too.
    const HRESULT apartment = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const Corvani::Nuv::Platform::TrustCheckFiles files = {signedDirectory + L"hxhost.exe",
                                                           signedDirectory + L"Corvani.Halvex.CredentialProvider.dll",
                                                           signedDirectory + L"Corvani.Halvex.UI.exe"};
    const double start = NowMilliseconds();
    if (!Corvani::Nuv::Platform::ValidateTrustCheckFiles(files))
        return Fail("the trust check refused the signed layout in", signedDirectory);
    const double trusted = NowMilliseconds();
    Corvani::Nuv::Platform::UniqueHandle process(StartStandIn(files.uiExecutable));
    const double started = NowMilliseconds();
    if (!process)
        return Fail("ShellExecuteExW could not start", files.uiExecutable);
    const std::wstring pipe = Corvani::Nuv::IPC::UIPipeName(GetProcessId(process.get()));
    int pauses = 0;
    bool shown = false;
    for (int attempt = 0; attempt < kShowAttempts && !shown; ++attempt) {
        shown = ExchangeCommand(pipe, Corvani::Nuv::IPC::kShowCommandText);
        if (!shown) {
            Sleep(kClientRetryPauseMilliseconds);
            ++pauses;
        }
    }
    const double accepted = NowMilliseconds();
    EndStandIn(process.get());
    if (SUCCEEDED(apartment))
        CoUninitialize();
    if (!shown)
        return Fail("no SHOW accepted by", files.uiExecutable);
    PrintSample("face.floor.trust", trusted - start);
    PrintSample("face.floor.shell", started - trusted);
    PrintSample("face.floor.fixed", pauses * static_cast<double>(kClientRetryPauseMilliseconds));
    PrintSample("face.floor.show", accepted - started - pauses * static_cast<double>(kClientRetryPauseMilliseconds));
    PrintSample("face.floor.total", accepted - start);
    return 0;
}

} // namespace HxFloors
