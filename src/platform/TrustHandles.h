#pragma once
// Owners for the code-signing resources of the trust check: certificate chains and the catalog
// administrator with the catalog contexts it hands out.

#include "platform/UniqueResource.h"

#include <mscat.h>
#include <wintrust.h>

namespace Corvani::Nuv::Platform {

inline void ReleaseCatalogAdmin(HCATADMIN admin) noexcept { ::CryptCATAdminReleaseContext(admin, 0); }

using UniqueCertChain = UniqueNull<PCCERT_CHAIN_CONTEXT, ::CertFreeCertificateChain>;
using UniqueCatalogAdmin = UniqueNull<HCATADMIN, ReleaseCatalogAdmin>;

// A catalog context, released through the administrator that found it (which must outlive this owner):
// the one owner here that holds two values.
class UniqueCatalogInfo {
public:
    UniqueCatalogInfo(HCATADMIN admin, HCATINFO info) noexcept : _admin(admin), _info(info) {}
    ~UniqueCatalogInfo() {
        if (_info)
            ::CryptCATAdminReleaseCatalogContext(_admin, _info, 0);
    }
    UniqueCatalogInfo(const UniqueCatalogInfo&) = delete;
    UniqueCatalogInfo& operator=(const UniqueCatalogInfo&) = delete;

    HCATINFO get() const noexcept { return _info; }
    explicit operator bool() const noexcept { return _info != nullptr; }
    [[nodiscard]] HCATINFO release() noexcept { return std::exchange(_info, nullptr); }

private:
    HCATADMIN _admin;
    HCATINFO _info;
};

} // namespace Corvani::Nuv::Platform
