#include "road/Observer.h"

#include "Console.h"
#include "common/Picture.h"
#include "platform/ServiceControl.h"

using Corvani::Nuv::Platform::kHXServiceName;
using Corvani::Nuv::Platform::UniqueServiceHandle;

namespace HxHost {

namespace {

constexpr wchar_t kLogonUIKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Authentication\\LogonUI";
constexpr wchar_t kSplashClass[] = L"HXSplashScreen";
constexpr DWORD kLookMilliseconds = 20;
constexpr ULONGLONG kSplashPaintMilliseconds = 400; // the photograph waits for the first paint

bool ServiceRunning() {
    const UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager)
        return false;
    const UniqueServiceHandle service(OpenServiceW(manager.get(), kHXServiceName, SERVICE_QUERY_STATUS));
    SERVICE_STATUS status = {};
    return service && QueryServiceStatus(service.get(), &status) && status.dwCurrentState == SERVICE_RUNNING;
}

} // namespace

std::wstring LastLoggedOnProvider() {
    wchar_t buffer[64] = {};
    DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kLogonUIKey, L"LastLoggedOnProvider", RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY,
                     nullptr, buffer, &bytes) != ERROR_SUCCESS)
        return std::wstring();
    return buffer;
}

Observer::Observer(Timeline& timeline, std::wstring splashPicture)
    : _timeline(timeline), _splashPicture(std::move(splashPicture)), _providerAtStart(LastLoggedOnProvider()) {}

Observer::~Observer() {
    if (!_thread)
        return;
    SetEvent(_stop.get());
    WaitForSingleObject(_thread.get(), 5000);
}

void Observer::Start() {
    _stop.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    _thread.reset(CreateThread(nullptr, 0, Watch, this, 0, nullptr));
}

std::wstring Observer::rememberedProvider() const {
    std::lock_guard<std::mutex> guard(_lock);
    return _remembered;
}

DWORD WINAPI Observer::Watch(LPVOID self) {
    auto* observer = static_cast<Observer*>(self);
    do
        observer->Look();
    while (WaitForSingleObject(observer->_stop.get(), kLookMilliseconds) == WAIT_TIMEOUT);
    return 0;
}

void Observer::Look() {
    LookAtService();
    LookAtSplash();
    LookAtLastProvider();
    _firstLook = false;
}

void Observer::LookAtService() {
    if (_serviceSeen || !ServiceRunning())
        return;
    _serviceSeen = true;
    _timeline.Mark(_firstLook ? L"service \"Halvex\" running (it was running already)" : L"service \"Halvex\" running");
}

void Observer::LookAtSplash() {
    const HWND splash = FindWindowW(kSplashClass, nullptr);
    const bool up = splash && IsWindowVisible(splash);
    if (up != _splashUp) {
        _splashUp = up;
        _splashSince = GetTickCount64();
        {
            std::lock_guard<std::mutex> guard(_lock);
            _splashChanges.emplace_back(_splashSince, up);
        }
        _timeline.Mark(up ? L"splash window up" : L"splash window down");
    }
    if (!up || _splashPhotographed || _splashPicture.empty() || GetTickCount64() - _splashSince < kSplashPaintMilliseconds)
        return;
    _splashPhotographed = true;
    if (HxTools::SaveWindowPicture(splash, _splashPicture))
        PrintLine(L"Splash picture: " + _splashPicture);
    else
        PrintLine(L"Splash picture could not be saved to " + _splashPicture + L": error " +
                  std::to_wstring(GetLastError()));
}

bool Observer::SplashUpAt(ULONGLONG tick) const {
    std::lock_guard<std::mutex> guard(_lock);
    bool up = false;
    for (const auto& [at, nowUp] : _splashChanges)
        if (at <= tick)
            up = nowUp;
    return up;
}

bool Observer::SplashSeen() const {
    std::lock_guard<std::mutex> guard(_lock);
    return !_splashChanges.empty();
}

void Observer::LookAtLastProvider() {
    const std::wstring provider = LastLoggedOnProvider();
    std::lock_guard<std::mutex> guard(_lock);
    if (!_remembered.empty() || provider.empty() || provider == _providerAtStart)
        return;
    _remembered = provider;
    _timeline.Mark(L"LastLoggedOnProvider set to " + provider + L": the locked session is disconnected");
}

} // namespace HxHost
