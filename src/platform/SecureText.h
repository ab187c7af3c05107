#pragma once
// Wide texts that hold secrets: wiped before they are given up or replaced.

#include <windows.h>
#include <string>

namespace Corvani::Nuv::Platform {

inline void ClearSecret(std::wstring& text) {
    SecureZeroMemory(text.data(), text.size() * sizeof(wchar_t));
    text.clear();
}

inline void AssignSecret(std::wstring& target, std::wstring value) {
    ClearSecret(target);
    target.swap(value);
    ClearSecret(value);
}

} // namespace Corvani::Nuv::Platform
