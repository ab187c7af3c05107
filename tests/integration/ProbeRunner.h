#pragma once
// Runs tile_probe in a child process and returns what it wrote, key by key.

#include <map>
#include <string>

namespace HxTest {

struct ProbeRun {
    std::wstring dllPath;                // the provider module copy to load
    bool select = false;                 // also select the tile
    std::wstring desktopSize;            // e.g. L"1000x700": run on a desktop of that size
    std::wstring locale;                 // e.g. L"de_DE.UTF-8": start the child in that Unix locale
};

std::map<std::wstring, std::wstring> RunProbe(const ProbeRun& run);

} // namespace HxTest
