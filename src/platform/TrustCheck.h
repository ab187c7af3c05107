#pragma once
// The anti-tamper check made before the UI application is started: are the code files involved the
// product's own? The rules:
//   1. The files are examined in this order, and the first that fails ends the check: the host process's
//      executable, the provider module's own file, the UI executable.
//   2. A file passes when WinVerifyTrust (generic verify v2) accepts its embedded Authenticode signature:
//      the whole certificate chain up to a trusted root, no UI, revocation not checked online. The
//      signer's chain is also built here and must end in a root that this machine trusts.
//   3. The host executable also passes when it is catalog-signed (operating system files are), that is
//      when a catalog of the system's catalog database lists its hash and WinVerifyTrust accepts the
//      catalog's signature for it.
//   4. The UI executable passes only when its signer is the same publisher as the provider module's
//      signer: the same subject in the signing certificate and the same root certificate.
//   5. A path that cannot be determined, is not fully qualified, or names a file that cannot be opened,
//      fails. Each file is held open, denying writers, from its verification until its signer is read;
//      the UI executable, denying writers and deletion, until the caller lets go of what the check returns.
// The check keeps no state between calls and writes no trace.

#include "platform/UniqueResource.h"

#include <string>

namespace Corvani::Nuv::Platform {

struct TrustCheckFiles {
    std::wstring hostExecutable;
    std::wstring providerModule;
    std::wstring uiExecutable;
};

// The files wsValidateCert examines: the executable of the current process, the file of the module that
// contains this code (found through an address inside it), and the UI executable given. An
// undeterminable path is left empty.
TrustCheckFiles CurrentTrustCheckFiles(const std::wstring& uiExecutable);

// Applies the rules above to the three files. The UI executable's handle, still open, when all pass: what
// was verified cannot be replaced before the caller has started it. Null as soon as one fails.
UniqueFileHandle ValidateTrustCheckFiles(const TrustCheckFiles& files);

// The same for the files of this process and the UI executable.
UniqueFileHandle wsValidateCert(const std::wstring& uiExecutable);

} // namespace Corvani::Nuv::Platform
