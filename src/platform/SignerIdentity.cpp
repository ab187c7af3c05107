#include "platform/SignerIdentity.h"

#include "platform/TrustHandles.h"

namespace Corvani::Nuv::Platform {

namespace {

constexpr DWORD kEncoding = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;

std::vector<unsigned char> Bytes(const BYTE* data, DWORD size) {
    return std::vector<unsigned char>(data, data + size);
}

// The issuer and serial number of the message's first signer.
std::vector<BYTE> SignerCertInfo(HCRYPTMSG message) {
    DWORD size = 0;
    if (!CryptMsgGetParam(message, CMSG_SIGNER_CERT_INFO_PARAM, 0, nullptr, &size) || size == 0)
        return {};
    std::vector<BYTE> info(size);
    if (!CryptMsgGetParam(message, CMSG_SIGNER_CERT_INFO_PARAM, 0, info.data(), &size))
        return {};
    return info;
}

UniqueCertContext FindSignerCertificate(HCERTSTORE store, HCRYPTMSG message) {
    const std::vector<BYTE> info = SignerCertInfo(message);
    if (info.empty())
        return UniqueCertContext();
    return UniqueCertContext(CertFindCertificateInStore(store, kEncoding, 0, CERT_FIND_SUBJECT_CERT,
                                                        reinterpret_cast<const CERT_INFO*>(info.data()),
                                                        nullptr));
}

// Chain faults that no signature time can mend: the chain stops short of a root, the root is not trusted
// by this machine, or a certificate's signature does not verify. (Validity periods are left to
// WinVerifyTrust, which judges them at the signature's time stamp.)
constexpr DWORD kChainFaults = CERT_TRUST_IS_PARTIAL_CHAIN | CERT_TRUST_IS_UNTRUSTED_ROOT |
                               CERT_TRUST_IS_NOT_SIGNATURE_VALID | CERT_TRUST_IS_CYCLIC;

// The root certificate of the signer's chain, built by the machine's chain engine with the certificates of
// the signature as extra material; no revocation and no network retrieval. Empty when the chain has a fault.
std::vector<unsigned char> RootCertificate(PCCERT_CONTEXT leaf, HCERTSTORE signatureStore) {
    CERT_CHAIN_PARA parameters = {};
    parameters.cbSize = sizeof(parameters);
    UniqueCertChain chain;
    if (!CertGetCertificateChain(HCCE_LOCAL_MACHINE, leaf, nullptr, signatureStore, &parameters,
                                 CERT_CHAIN_CACHE_ONLY_URL_RETRIEVAL, nullptr, chain.put()))
        return {};
    const CERT_CHAIN_CONTEXT* context = chain.get();
    if (context->cChain == 0 || (context->TrustStatus.dwErrorStatus & kChainFaults))
        return {};
    const CERT_SIMPLE_CHAIN* simple = context->rgpChain[0];
    if (simple->cElement == 0)
        return {};
    const CERT_CHAIN_ELEMENT* root = simple->rgpElement[simple->cElement - 1];
    if (!(root->TrustStatus.dwInfoStatus & CERT_TRUST_IS_SELF_SIGNED))
        return {};
    return Bytes(root->pCertContext->pbCertEncoded, root->pCertContext->cbCertEncoded);
}

} // namespace

std::optional<SignerIdentity> ReadSignerIdentity(const std::wstring& path) {
    UniqueCertStore store;
    UniqueCryptMsg message;
    DWORD encoding = 0;
    DWORD contentType = 0;
    DWORD formatType = 0;
    if (!CryptQueryObject(CERT_QUERY_OBJECT_FILE, path.c_str(), CERT_QUERY_CONTENT_FLAG_PKCS7_SIGNED_EMBED,
                          CERT_QUERY_FORMAT_FLAG_BINARY, 0, &encoding, &contentType, &formatType, store.put(),
                          message.put(), nullptr))
        return std::nullopt;
    const UniqueCertContext leaf = FindSignerCertificate(store.get(), message.get());
    if (!leaf)
        return std::nullopt;
    SignerIdentity identity;
    identity.leafSubject =
        Bytes(leaf.get()->pCertInfo->Subject.pbData, leaf.get()->pCertInfo->Subject.cbData);
    identity.rootCertificate = RootCertificate(leaf.get(), store.get());
    if (identity.leafSubject.empty() || identity.rootCertificate.empty())
        return std::nullopt;
    return identity;
}

bool IsSamePublisher(const SignerIdentity& first, const SignerIdentity& second) {
    return first.leafSubject == second.leafSubject && first.rootCertificate == second.rootCertificate;
}

} // namespace Corvani::Nuv::Platform
