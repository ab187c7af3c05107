#pragma once
// Trace lines of the provider and its credential store, into "CP.log".

#include "logging/TraceLog.h"

#include <string>

namespace Corvani::Nuv::CredentialProvider {

inline void Trace(const std::string& message) { Logging::WriteCPLog(message); }

// Fixed texts never throw, so that destructors may trace too.
inline void Trace(const char* message) noexcept { Logging::WriteCPLog(message); }

} // namespace Corvani::Nuv::CredentialProvider
