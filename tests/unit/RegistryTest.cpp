// Readers and writers of the registry values under HKEY_LOCAL_MACHINE.

#include "platform/ProviderClsid.h"
#include "platform/Registry.h"
#include "support/RegistryValue.h"

#include <gtest/gtest.h>

using namespace Corvani::Nuv::Platform;
using HxTest::ScopedRegistryValue;

namespace {

constexpr wchar_t kSettings[] = L"Software\\Halvex\\Settings\\";

TEST(RegistrySettings, AbsentValueReadsAsZero) {
    ScopedRegistryValue value(kSettings, L"SPLASHSCREEN_ENABLE");
    value.Remove();
    EXPECT_EQ(0u, readSettingFromRegistry(L"SPLASHSCREEN_ENABLE"));
}

TEST(RegistrySettings, DwordIsReadAsStored) {
    ScopedRegistryValue value(kSettings, L"LAUNCHUIONADVISE_ENABLE");
    value.SetDword(2);
    EXPECT_EQ(2u, readSettingFromRegistry(L"LAUNCHUIONADVISE_ENABLE"));
}

TEST(RegistrySettings, TypeIsIgnoredUpToFourBytes) {
    ScopedRegistryValue value(kSettings, L"SPLASHSCREEN_ENABLE");
    value.SetString(L"1"); // '1' and its terminator: four bytes, 0x31 little-endian
    EXPECT_EQ(49u, readSettingFromRegistry(L"SPLASHSCREEN_ENABLE"));
    value.SetString(L"12"); // six bytes: too long, reads as absent
    EXPECT_EQ(0u, readSettingFromRegistry(L"SPLASHSCREEN_ENABLE"));
}

TEST(RegistrySettings, FullLogFlagFollowsAnyNonZeroNumber) {
    ScopedRegistryValue value(L"SOFTWARE\\Halvex\\Settings\\", L"FULL_LOG_ENABLE");
    value.Remove();
    EXPECT_FALSE(IsFullLogEnabled());
    value.SetDword(0);
    EXPECT_FALSE(IsFullLogEnabled());
    value.SetDword(0x100);
    EXPECT_TRUE(IsFullLogEnabled());
}

TEST(RegistryStrings, LengthLimitIs255Characters) {
    ScopedRegistryValue value(kLogonUIKey, kLastLoggedOnSAMUserValue);
    value.SetString(std::wstring(255, L'a'));
    EXPECT_EQ(std::wstring(255, L'a'), readStringValueFromRegistry(kLogonUIKey, kLastLoggedOnSAMUserValue));
    value.SetString(std::wstring(256, L'b'));
    EXPECT_EQ(L"", readStringValueFromRegistry(kLogonUIKey, kLastLoggedOnSAMUserValue));
    value.SetString(std::wstring(300, L'c'));
    EXPECT_EQ(L"", readStringValueFromRegistry(kLogonUIKey, kLastLoggedOnSAMUserValue));
}

TEST(RegistryStrings, UnterminatedValueOfFullBufferReadsAsEmpty) {
    ScopedRegistryValue value(kLogonUIKey, kLastLoggedOnSAMUserValue);
    const std::wstring text(256, L'd');
    value.SetRaw(REG_SZ, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)));
    EXPECT_EQ(L"", readStringValueFromRegistry(kLogonUIKey, kLastLoggedOnSAMUserValue));
}

TEST(RegistryStrings, MissingKeyOrValueReadsAsEmpty) {
    EXPECT_EQ(L"", readStringValueFromRegistry(L"SOFTWARE\\Halvex\\NoSuchKey", L"x"));
    ScopedRegistryValue value(kLogonUIKey, kLastLoggedOnSAMUserValue);
    value.Remove();
    EXPECT_EQ(L"", readStringValueFromRegistry(kLogonUIKey, kLastLoggedOnSAMUserValue));
}

TEST(RegistryStrings, WriteStoresTerminatorAndFailsOnMissingKey) {
    ScopedRegistryValue value(kLogonUIKey, kLastLoggedOnProviderValue);
    ASSERT_TRUE(writeStringValueToRegistry(kLogonUIKey, kLastLoggedOnProviderValue, L"{X}"));
    EXPECT_EQ(8u, value.StoredSize()); // three characters and the terminator
    EXPECT_EQ(L"{X}", readLastLoggedOnProvider());
    EXPECT_FALSE(writeStringValueToRegistry(L"SOFTWARE\\Halvex\\NoSuchKey\\Deeper", L"v", L"t"));
}

TEST(LastLoggedOnProvider, ComparesCaseSensitivelyAndWholly) {
    using Corvani::Nuv::CredentialProvider::kProviderClsidText;
    ScopedRegistryValue value(kLogonUIKey, kLastLoggedOnProviderValue);
    value.SetString(kProviderClsidText);
    EXPECT_TRUE(isLastLoggedOnProvider());
    value.SetString(L"{5e0c9a41-7d2b-4f63-9a18-2c6b8e4f0d37}");
    EXPECT_FALSE(isLastLoggedOnProvider());
    value.SetString(std::wstring(kProviderClsidText) + L" ");
    EXPECT_FALSE(isLastLoggedOnProvider());
    value.Remove();
    EXPECT_FALSE(isLastLoggedOnProvider());
}

} // namespace
