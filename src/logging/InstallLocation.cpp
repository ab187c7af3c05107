#include "logging/InstallLocation.h"

#include "platform/Registry.h"

namespace Corvani::Nuv::Logging {

namespace {

constexpr wchar_t kInstallInfoKey[] = L"SOFTWARE\\Halvex\\InstallInfo";
constexpr wchar_t kInstallDirValue[] = L"InstallDir";
constexpr wchar_t kConfigFileName[] = L"\\NLog.config";

std::wstring ComputeNlogConfigPath() {
    const std::wstring installDirectory =
        Platform::readStringValueFromRegistry(kInstallInfoKey, kInstallDirValue);
    return installDirectory.empty() ? std::wstring() : installDirectory + kConfigFileName;
}

} // namespace

const std::wstring& ProcessNlogConfigPath() {
    static const std::wstring configPath = ComputeNlogConfigPath();
    return configPath;
}

} // namespace Corvani::Nuv::Logging
