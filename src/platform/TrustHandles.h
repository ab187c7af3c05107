#pragma once
// Owners for the code-signing resources of the trust check: certificate chains and the catalog
// administrator with the catalog contexts it hands out.

#include "platform/UniqueResource.h"

#include <mscat.h>
#include <wintrust.h>

namespace Corvani::Nuv::Platform {

struct CertChainTraits {
    using value_type = PCCERT_CHAIN_CONTEXT;
    static value_type invalid() noexcept { return nullptr; }
    static void close(value_type value) noexcept { ::CertFreeCertificateChain(value); }
};

struct CatalogAdminTraits {
    using value_type = HCATADMIN;
    static value_type invalid() noexcept { return nullptr; }
    static void close(value_type value) noexcept { ::CryptCATAdminReleaseContext(value, 0); }
};

using UniqueCertChain = UniqueResource<CertChainTraits>;
using UniqueCatalogAdmin = UniqueResource<CatalogAdminTraits>;

// A catalog context, released through the administrator that found it (which must outlive this owner).
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
    HCATINFO release() noexcept {
        HCATINFO info = _info;
        _info = nullptr;
        return info;
    }

private:
    HCATADMIN _admin;
    HCATINFO _info;
};

} // namespace Corvani::Nuv::Platform
