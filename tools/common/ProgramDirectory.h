#pragma once
// The directory of the running program, with its trailing backslash: the tools find the programs built
// beside them (the UI application stand-in) there.

#include <string>
#include <windows.h>

namespace HxTools {

inline std::wstring ProgramDirectory() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring full = path;
    return full.substr(0, full.find_last_of(L"\\/") + 1);
}

} // namespace HxTools
