#pragma once
// Line output of the host: UTF-8 text on standard output. The story and the verdict are always printed;
// the per-call lines only with --verbose, by the parts of the host that are handed a verbose Verbosity.

#include <windows.h>
#include <string>

namespace HxHost {

void PrintLine(const std::wstring& text);

class Verbosity {
public:
    explicit Verbosity(bool verbose) noexcept : _verbose(verbose) {}
    // A per-call line, printed only when the host runs verbose.
    void Detail(const std::wstring& text) const {
        if (_verbose)
            PrintLine(text);
    }

private:
    bool _verbose;
};

std::wstring Hex(HRESULT hr);
std::wstring GuidText(const GUID& guid);

} // namespace HxHost
