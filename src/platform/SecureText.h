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

// A copy of a recognised user's credentials, wiped when it goes.
struct SecretCredentials {
    std::wstring domain;
    std::wstring user;
    std::wstring password;

    SecretCredentials() = default;
    SecretCredentials(const SecretCredentials&) = delete;
    SecretCredentials& operator=(const SecretCredentials&) = delete;
    ~SecretCredentials() {
        ClearSecret(domain);
        ClearSecret(user);
        ClearSecret(password);
    }
};

} // namespace Corvani::Nuv::Platform
