#pragma once
// Files that another process is still writing (the UI application's record, the provider's trace log),
// read without getting in its way.

#include <windows.h>

#include <cstddef>
#include <string>

namespace HxHost {

// The bytes of `path` from `offset` on, at most `limit` of them; empty when the file cannot be opened.
std::string ReadSharedText(const std::wstring& path, LONGLONG offset = 0, std::size_t limit = 1 << 20);

} // namespace HxHost
