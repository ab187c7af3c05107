#include "support/RegistryValue.h"

namespace HxTest {

using Corvani::Nuv::Platform::UniqueRegKey;

ScopedRegistryValue::ScopedRegistryValue(std::wstring keyPath, std::wstring valueName)
    : _keyPath(std::move(keyPath)), _valueName(std::move(valueName)) {
    UniqueRegKey key = OpenKey();
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), _valueName.c_str(), nullptr, &_type, nullptr, &size) == ERROR_SUCCESS) {
        _data.resize(size);
        _existed = RegQueryValueExW(key.get(), _valueName.c_str(), nullptr, &_type, _data.data(), &size) ==
                   ERROR_SUCCESS;
    }
}

ScopedRegistryValue::~ScopedRegistryValue() {
    if (_existed)
        SetRaw(_type, _data.data(), static_cast<DWORD>(_data.size()));
    else
        Remove();
}

UniqueRegKey ScopedRegistryValue::OpenKey() const {
    UniqueRegKey key;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, _keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr,
                    key.put(), nullptr);
    return key;
}

void ScopedRegistryValue::SetDword(DWORD value) { SetRaw(REG_DWORD, &value, sizeof(value)); }

void ScopedRegistryValue::SetString(const std::wstring& text) {
    SetRaw(REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void ScopedRegistryValue::SetRaw(DWORD type, const void* data, DWORD bytes) {
    UniqueRegKey key = OpenKey();
    RegSetValueExW(key.get(), _valueName.c_str(), 0, type, static_cast<const BYTE*>(data), bytes);
}

void ScopedRegistryValue::Remove() {
    UniqueRegKey key = OpenKey();
    RegDeleteValueW(key.get(), _valueName.c_str());
}

DWORD ScopedRegistryValue::StoredSize() const {
    UniqueRegKey key = OpenKey();
    DWORD size = 0;
    RegQueryValueExW(key.get(), _valueName.c_str(), nullptr, nullptr, nullptr, &size);
    return size;
}

std::wstring ScopedRegistryValue::ReadString() const {
    UniqueRegKey key = OpenKey();
    wchar_t text[1024] = {};
    DWORD size = sizeof(text) - sizeof(wchar_t);
    if (RegQueryValueExW(key.get(), _valueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) !=
        ERROR_SUCCESS)
        return std::wstring();
    return text;
}

} // namespace HxTest
