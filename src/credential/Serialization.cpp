// The logon buffer handed to LogonUI and the handling of the logon result.

#include "credential/NuvCredential.h"

namespace Corvani::Nuv::CredentialProvider {

// Serialization arrives with the credential store; until then no credential is returned.
IFACEMETHODIMP NuvCredential::GetSerialization(CREDENTIAL_PROVIDER_GET_SERIALIZATION_RESPONSE* response,
                                               CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION* /*serialization*/,
                                               LPWSTR* /*optionalStatusText*/,
                                               CREDENTIAL_PROVIDER_STATUS_ICON* /*optionalStatusIcon*/) {
    if (response)
        *response = CPGSR_NO_CREDENTIAL_NOT_FINISHED;
    return E_NOTIMPL;
}

IFACEMETHODIMP NuvCredential::ReportResult(NTSTATUS /*status*/, NTSTATUS /*substatus*/,
                                           LPWSTR* /*optionalStatusText*/,
                                           CREDENTIAL_PROVIDER_STATUS_ICON* /*optionalStatusIcon*/) {
    return S_OK;
}

} // namespace Corvani::Nuv::CredentialProvider
