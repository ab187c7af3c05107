#pragma once
// Authenticode verification of one file through WinVerifyTrust (generic verify v2): the whole chain up to
// a trusted root, no UI, revocation not checked online.

#include "platform/UniqueResource.h"

#include <string>

namespace Corvani::Nuv::Platform {

// Opens the file for reading while denying writers and deleters, so that the file verified is the file
// read afterwards for as long as the handle stays open. Invalid on failure.
UniqueFileHandle OpenForVerification(const std::wstring& path);

// True when the file's embedded signature is accepted.
bool VerifyEmbeddedSignature(HANDLE file, const std::wstring& path);

// True when a catalog of the system's catalog database lists the file's hash and that catalog's signature
// is accepted for it (SHA-256 member hashes where the system can compute them, then SHA-1).
bool VerifyCatalogSignature(HANDLE file, const std::wstring& path);

} // namespace Corvani::Nuv::Platform
