#pragma once
// The JSON value of a received command's 8-bit text, as jsoncpp's Json::Reader reads it with its default
// features: comments allowed, any value at the top, text after the first value ignored.

#include <json/value.h>

#include <string>

namespace Corvani::Nuv::IPC {

// Never fails: text that is no JSON gives null, broken text whatever the reader stored before the break.
// A nesting deeper than the reader's limit counts as such a break.
Json::Value ReadCommandJson(const std::string& bytes);

} // namespace Corvani::Nuv::IPC
