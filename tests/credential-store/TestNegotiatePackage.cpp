#include "TestNegotiatePackage.h"

#include "platform/UniqueResource.h"
#include "support/TestPaths.h"

#include <windows.h>

namespace HxTest {

namespace {

constexpr wchar_t kPackageFile[] = L"hxtestnegotiate.dll";
constexpr wchar_t kPackageKey[] = L"System\\CurrentControlSet\\Control\\Lsa\\hxtestnegotiate";

std::wstring SystemDirectory() {
    wchar_t directory[MAX_PATH] = {};
    GetSystemDirectoryW(directory, MAX_PATH);
    return std::wstring(directory) + L"\\";
}

} // namespace

TestNegotiatePackage::TestNegotiatePackage() : _systemCopy(SystemDirectory() + kPackageFile) {
    if (!CopyFileW((BinDirectory() + kPackageFile).c_str(), _systemCopy.c_str(), FALSE))
        return;
    Corvani::Nuv::Platform::UniqueRegKey key;
    _installed = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPackageKey, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                                 nullptr, key.put(), nullptr) == ERROR_SUCCESS;
}

TestNegotiatePackage::~TestNegotiatePackage() {
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kPackageKey, KEY_WOW64_64KEY, 0);
    DeleteFileW(_systemCopy.c_str());
}

} // namespace HxTest
