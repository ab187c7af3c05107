#pragma once
// Who signed a file: the subject of the signer's own certificate and the root certificate its chain ends
// in. Two files come from the same publisher when both are equal.

#include <optional>
#include <string>
#include <vector>

namespace Corvani::Nuv::Platform {

struct SignerIdentity {
    std::vector<unsigned char> leafSubject;     // encoded subject name of the signing certificate
    std::vector<unsigned char> rootCertificate; // encoded root certificate of its chain
};

// The identity of the primary signer of the file's embedded signature; none when the file has no such
// signature, the signer's certificate is not in it, or its chain does not end in a root that this
// machine trusts. The signature over the file is not judged here (that is WinVerifyTrust's part).
std::optional<SignerIdentity> ReadSignerIdentity(const std::wstring& path);

bool IsSamePublisher(const SignerIdentity& first, const SignerIdentity& second);

} // namespace Corvani::Nuv::Platform
