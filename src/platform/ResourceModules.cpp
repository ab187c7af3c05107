#include "platform/ResourceModules.h"

#include "platform/ProviderClsid.h"
#include "platform/UniqueResource.h"
#include "resources/ResourceIds.h"

namespace Corvani::Nuv::Platform {

namespace {

constexpr size_t kProviderFileNameLength = 37; // "Corvani.Halvex.CredentialProvider.dll"
constexpr DWORD kRegistrationBufferBytes = 2048;

HMODULE g_coreLocalization = nullptr;
HMODULE g_affiliateLocalization = nullptr;
HMODULE g_coreResources = nullptr;
HMODULE g_affiliateResources = nullptr;
bool g_stringLanguageKnown = false;
LANGID g_stringLanguage = 0;

std::wstring registrationKeyPath() {
    return std::wstring(L"SOFTWARE\\Classes\\CLSID\\") + CredentialProvider::kProviderClsidText +
           L"\\InprocServer32";
}

std::wstring readRegisteredModulePath() {
    UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, registrationKeyPath().c_str(), 0, nullptr, 0,
                        KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        std::ignore = key.release(); // a failed open leaves nothing to close
        return std::wstring();
    }
    wchar_t buffer[kRegistrationBufferBytes / sizeof(wchar_t) + 1] = {};
    DWORD size = kRegistrationBufferBytes;
    if (RegQueryValueExW(key.get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS)
        return std::wstring();
    return buffer;
}

// The directory the resource loaders use, computed once.
const std::wstring& resourceDirectory() {
    static const std::wstring directory = GetModuleDirectory();
    return directory;
}

void loadModulePair(HMODULE& core, const wchar_t* coreName, HMODULE& affiliate, const wchar_t* affiliateName) {
    if (core)
        return;
    LoadResourceModule(coreName, core);
    LoadResourceModule(affiliateName, affiliate);
}

int loadStringFrom(HMODULE module, UINT id, wchar_t* buffer) {
    return module ? LoadStringW(module, id, buffer, static_cast<int>(kLocalizedStringCapacity)) : 0;
}

} // namespace

std::wstring GetModuleDirectory() {
    std::wstring path = readRegisteredModulePath();
    // Cut by count: what remains ends with the backslash that preceded the file name.
    if (path.size() < kProviderFileNameLength)
        return std::wstring();
    path.resize(path.size() - kProviderFileNameLength);
    return path;
}

// Without a directory the modules are not found: a bare file name would make the loader search the system
// and PATH folders, where a module of that name is nobody's business of ours.
void LoadResourceModule(const std::wstring& fileName, HMODULE& slot) {
    const std::wstring& directory = resourceDirectory();
    slot = directory.empty() ? nullptr : LoadLibraryW((directory + fileName).c_str());
}

int LoadLocalizedString(UINT id, wchar_t* buffer) {
    buffer[0] = L'\0';
    loadModulePair(g_coreLocalization, kCoreLocalizationModule, g_affiliateLocalization,
                   kAffiliateLocalizationModule);
    if (!g_stringLanguageKnown) {
        g_stringLanguage = GetThreadUILanguage();
        g_stringLanguageKnown = true;
    }
    SetThreadUILanguage(g_stringLanguage);
    int count = loadStringFrom(g_affiliateLocalization, id, buffer);
    if (count == 0)
        count = loadStringFrom(g_coreLocalization, id, buffer);
    SetThreadUILanguage(g_stringLanguage);
    if (count == 0)
        buffer[0] = L'\0';
    return count;
}

HBITMAP LoadTileBitmap() {
    loadModulePair(g_coreResources, kCoreResourcesModule, g_affiliateResources, kAffiliateResourcesModule);
    HBITMAP bitmap = nullptr;
    if (g_affiliateResources)
        bitmap = LoadBitmapW(g_affiliateResources, MAKEINTRESOURCEW(IDB_TILE));
    if (!bitmap && g_coreResources)
        bitmap = LoadBitmapW(g_coreResources, MAKEINTRESOURCEW(IDB_TILE));
    return bitmap;
}

} // namespace Corvani::Nuv::Platform
