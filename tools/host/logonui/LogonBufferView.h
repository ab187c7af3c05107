#pragma once
// Prints a logon buffer as LogonUI would submit it: message type, domain, user, the password's length only,
// the package id and the provider's class id.

#include "Console.h"
#include "platform/CredentialProviderApi.h"

#include <string>

namespace HxHost {

// The buffer's layout, as --verbose lines.
void PrintLogonBuffer(const CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION& serialization, const Verbosity& verbosity);

// "package Negotiate (id 3), 186 bytes, message type 2 (KerbInteractiveLogon)": the message type only when
// the package takes Kerberos buffers.
std::wstring SerializationHeader(const CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION& serialization);

// The buffer's first 32-bit value when the package takes Kerberos buffers; -1 otherwise.
int KerberosMessageType(const CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION& serialization);

} // namespace HxHost
