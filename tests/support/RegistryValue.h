#pragma once
// Test helper: sets one value under HKEY_LOCAL_MACHINE (64-bit view) for the length of a test and puts
// back what was there before, or removes it.

#include "platform/UniqueResource.h"

#include <string>
#include <vector>
#include <windows.h>

namespace HxTest {

class ScopedRegistryValue {
public:
    ScopedRegistryValue(std::wstring keyPath, std::wstring valueName);
    ~ScopedRegistryValue();
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

    void SetDword(DWORD value);
    void SetString(const std::wstring& text);
    void SetRaw(DWORD type, const void* data, DWORD bytes);
    void Remove();
    DWORD StoredSize() const;
    std::wstring ReadString() const; // the stored text, empty when absent

private:
    Corvani::Nuv::Platform::UniqueRegKey OpenKey() const;

    std::wstring _keyPath;
    std::wstring _valueName;
    bool _existed = false;
    DWORD _type = 0;
    std::vector<BYTE> _data;
};

} // namespace HxTest
