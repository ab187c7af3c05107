#include "platform/SignatureVerification.h"

#include "platform/TrustCheckText.h"
#include "platform/TrustHandles.h"

#include <bcrypt.h>
#include <softpub.h>
#include <vector>

namespace Corvani::Nuv::Platform {

namespace {

using Hash = std::vector<unsigned char>;
using AcquireContext2 = BOOL(WINAPI*)(HCATADMIN*, const GUID*, const WCHAR*, const CERT_STRONG_SIGN_PARA*,
                                      DWORD);
using CalcHash2 = BOOL(WINAPI*)(HCATADMIN, HANDLE, DWORD*, BYTE*, DWORD);

constexpr DWORD kMaxHashBytes = 64;

// Every call verifies afresh: no state is kept, nothing is shown, nothing is fetched for revocation.
LONG RunWinVerifyTrust(DWORD unionChoice, void* subject) {
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof(data);
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = unionChoice;
    if (unionChoice == WTD_CHOICE_FILE)
        data.pFile = static_cast<WINTRUST_FILE_INFO*>(subject);
    else
        data.pCatalog = static_cast<WINTRUST_CATALOG_INFO*>(subject);
    data.dwStateAction = WTD_STATEACTION_IGNORE;
    data.dwProvFlags = WTD_REVOCATION_CHECK_NONE | WTD_CACHE_ONLY_URL_RETRIEVAL;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    return WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
}

// The readers of the file take it from its start.
void Rewind(HANDLE file) {
    LARGE_INTEGER start = {};
    SetFilePointerEx(file, start, nullptr, FILE_BEGIN);
}

// The hash as far as the call filled it; empty when it failed.
Hash FinishHash(BOOL computed, DWORD size, Hash& hash) {
    if (!computed || size == 0 || size > hash.size())
        return Hash();
    hash.resize(size);
    return hash;
}

// The catalog calls for SHA-256 come with newer systems; they are looked up so that the module still
// loads without them.
template <typename Function> Function WintrustFunction(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"wintrust.dll"), name)));
}

Hash Sha256Hash(HCATADMIN admin, HANDLE file) {
    const auto calcHash2 = WintrustFunction<CalcHash2>("CryptCATAdminCalcHashFromFileHandle2");
    if (!calcHash2)
        return Hash();
    Hash hash(kMaxHashBytes);
    DWORD size = static_cast<DWORD>(hash.size());
    Rewind(file);
    const BOOL computed = calcHash2(admin, file, &size, hash.data(), 0);
    return FinishHash(computed, size, hash);
}

Hash Sha1Hash(HANDLE file) {
    Hash hash(kMaxHashBytes);
    DWORD size = static_cast<DWORD>(hash.size());
    Rewind(file);
    const BOOL computed = CryptCATAdminCalcHashFromFileHandle(file, &size, hash.data(), 0);
    return FinishHash(computed, size, hash);
}

// Verifies the file against one catalog that lists its hash.
bool VerifyAgainstCatalog(HCATADMIN admin, HCATINFO catalog, Hash& hash, HANDLE file, const std::wstring& path) {
    CATALOG_INFO catalogInfo = {};
    catalogInfo.cbStruct = sizeof(catalogInfo);
    if (!CryptCATCatalogInfoFromContext(catalog, &catalogInfo, 0))
        return false;
    const std::wstring memberTag = UpperHex(hash);
    WINTRUST_CATALOG_INFO member = {};
    member.cbStruct = sizeof(member);
    member.pcwszCatalogFilePath = catalogInfo.wszCatalogFile;
    member.pcwszMemberTag = memberTag.c_str();
    member.pcwszMemberFilePath = path.c_str();
    member.hMemberFile = file;
    member.pbCalculatedFileHash = hash.data();
    member.cbCalculatedFileHash = static_cast<DWORD>(hash.size());
    member.hCatAdmin = admin;
    Rewind(file);
    return RunWinVerifyTrust(WTD_CHOICE_CATALOG, &member) == ERROR_SUCCESS;
}

// A hash may be listed in several catalogs: each is tried until one accepts the file.
bool VerifyAgainstCatalogs(HCATADMIN admin, Hash hash, HANDLE file, const std::wstring& path) {
    if (hash.empty())
        return false;
    HCATINFO previous = nullptr;
    for (;;) {
        // Enumerating releases the previous context and hands out the next one.
        HCATINFO next = CryptCATAdminEnumCatalogFromHash(admin, hash.data(), static_cast<DWORD>(hash.size()), 0,
                                                         previous ? &previous : nullptr);
        if (!next)
            return false;
        UniqueCatalogInfo catalog(admin, next);
        if (VerifyAgainstCatalog(admin, catalog.get(), hash, file, path))
            return true;
        previous = catalog.release(); // the next enumeration call releases it
    }
}

bool VerifyWithSha256Catalogs(HANDLE file, const std::wstring& path) {
    const auto acquireContext2 = WintrustFunction<AcquireContext2>("CryptCATAdminAcquireContext2");
    UniqueCatalogAdmin admin;
    if (!acquireContext2 || !acquireContext2(admin.put(), nullptr, BCRYPT_SHA256_ALGORITHM, nullptr, 0))
        return false;
    return VerifyAgainstCatalogs(admin.get(), Sha256Hash(admin.get(), file), file, path);
}

bool VerifyWithSha1Catalogs(HANDLE file, const std::wstring& path) {
    UniqueCatalogAdmin admin;
    if (!CryptCATAdminAcquireContext(admin.put(), nullptr, 0))
        return false;
    return VerifyAgainstCatalogs(admin.get(), Sha1Hash(file), file, path);
}

} // namespace

UniqueFileHandle OpenForVerification(const std::wstring& path) {
    return UniqueFileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool VerifyEmbeddedSignature(HANDLE file, const std::wstring& path) {
    WINTRUST_FILE_INFO subject = {};
    subject.cbStruct = sizeof(subject);
    subject.pcwszFilePath = path.c_str();
    subject.hFile = file;
    Rewind(file);
    return RunWinVerifyTrust(WTD_CHOICE_FILE, &subject) == ERROR_SUCCESS;
}

bool VerifyCatalogSignature(HANDLE file, const std::wstring& path) {
    return VerifyWithSha256Catalogs(file, path) || VerifyWithSha1Catalogs(file, path);
}

} // namespace Corvani::Nuv::Platform
