#pragma once

#include <string>

namespace Corvani::Nuv::CredentialProvider {

// Trace channel of the credential and its worker threads: one text becomes one "CP.log" line.
class ICredential {
public:
    virtual void Log(const std::string& text) = 0;

protected:
    ~ICredential() = default;
};

} // namespace Corvani::Nuv::CredentialProvider
