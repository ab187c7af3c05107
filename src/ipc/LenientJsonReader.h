#pragma once
// Reads JSON as the command reader always has: comments allowed, any value at the top, text after the
// first complete value ignored, and on a syntax error everything read before it kept in place. Members
// and array elements come into being as their values begin; a member named twice keeps the later value.

#include <nlohmann/json.hpp>
#include <string>

namespace Corvani::Nuv::IPC {

// Never fails: unreadable text gives null, broken text what was read up to the break.
nlohmann::json ReadLenientJson(const std::string& utf8Text);

} // namespace Corvani::Nuv::IPC
