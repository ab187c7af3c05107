#pragma once
// Authentication package ids (the "Negotiate" package above all), looked up through an untrusted LSA
// connection.

#include <windows.h>

namespace Corvani::Nuv::Platform {

// S_OK with the id of the package of that name, or the failing NTSTATUS as HRESULT_FROM_NT.
HRESULT LookupAuthenticationPackage(const char* name, ULONG& packageId);

// The same for "Negotiate".
HRESULT LookupNegotiatePackage(ULONG& packageId);

} // namespace Corvani::Nuv::Platform
