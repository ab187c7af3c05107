#pragma once
// The id of the "Negotiate" authentication package, looked up through an untrusted LSA connection.

#include <windows.h>

namespace Corvani::Nuv::Platform {

// S_OK with the package id, or the failing NTSTATUS as HRESULT_FROM_NT.
HRESULT LookupNegotiatePackage(ULONG& packageId);

} // namespace Corvani::Nuv::Platform
