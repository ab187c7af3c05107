#include "platform/TrustCheck.h"

#include "platform/SignatureVerification.h"
#include "platform/SignerIdentity.h"
#include "platform/TrustCheckText.h"

#include <optional>

namespace Corvani::Nuv::Platform {

namespace {

constexpr DWORD kMaxPathCharacters = 32768;

// Any address inside this module leads to the module's own file.
const char kModuleAnchor = 0;

std::wstring ModuleFileName(HMODULE module) {
    for (DWORD capacity = MAX_PATH; capacity <= 2 * kMaxPathCharacters; capacity *= 2) {
        std::wstring path(capacity, L'\0');
        const DWORD length = GetModuleFileNameW(module, path.data(), capacity);
        if (length == 0)
            return std::wstring();
        if (length < capacity) {
            path.resize(length);
            return path;
        }
    }
    return std::wstring();
}

HMODULE ModuleOfThisCode() {
    HMODULE module = nullptr;
    const DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!GetModuleHandleExW(flags, reinterpret_cast<LPCWSTR>(&kModuleAnchor), &module))
        return nullptr;
    return module;
}

// The signer of a file whose embedded signature is accepted; the file stays open, denying writers, until
// its signer has been read.
std::optional<SignerIdentity> AcceptedSigner(HANDLE file, const std::wstring& path) {
    if (!VerifyEmbeddedSignature(file, path))
        return std::nullopt;
    return ReadSignerIdentity(path);
}

// The file stays open in `file` after the check.
std::optional<SignerIdentity> AcceptedSigner(const std::wstring& path, UniqueFileHandle& file) {
    if (!IsFullyQualifiedPath(path))
        return std::nullopt;
    file = OpenForVerification(path);
    return file ? AcceptedSigner(file.get(), path) : std::nullopt;
}

bool IsHostExecutableTrusted(const std::wstring& path) {
    if (!IsFullyQualifiedPath(path))
        return false;
    const UniqueFileHandle file = OpenForVerification(path);
    return file && (AcceptedSigner(file.get(), path) || VerifyCatalogSignature(file.get(), path));
}

} // namespace

TrustCheckFiles CurrentTrustCheckFiles(const std::wstring& uiExecutable) {
    TrustCheckFiles files;
    files.hostExecutable = ModuleFileName(nullptr);
    const HMODULE module = ModuleOfThisCode();
    if (module)
        files.providerModule = ModuleFileName(module);
    files.uiExecutable = uiExecutable;
    return files;
}

UniqueFileHandle ValidateTrustCheckFiles(const TrustCheckFiles& files) {
    if (!IsHostExecutableTrusted(files.hostExecutable))
        return UniqueFileHandle();
    UniqueFileHandle providerFile;
    const std::optional<SignerIdentity> provider = AcceptedSigner(files.providerModule, providerFile);
    if (!provider)
        return UniqueFileHandle();
    UniqueFileHandle uiFile;
    const std::optional<SignerIdentity> ui = AcceptedSigner(files.uiExecutable, uiFile);
    if (!ui || !IsSamePublisher(*provider, *ui))
        return UniqueFileHandle();
    return uiFile;
}

UniqueFileHandle wsValidateCert(const std::wstring& uiExecutable) {
    return ValidateTrustCheckFiles(CurrentTrustCheckFiles(uiExecutable));
}

} // namespace Corvani::Nuv::Platform
