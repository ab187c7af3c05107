#pragma once
// Prints a logon buffer as LogonUI would submit it: message type, domain, user, the password's length only,
// the package id and the provider's class id.

#include "platform/CredentialProviderApi.h"

namespace HxHost {

void PrintLogonBuffer(const CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION& serialization);

} // namespace HxHost
