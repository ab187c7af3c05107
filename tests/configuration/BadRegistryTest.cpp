// Every registry value the provider reads, stored with the wrong type, the wrong length or absurd content:
// each reads as its rule says (0 or empty when unusable, never a read past the buffer), no handle is left
// open beyond what each provider keeps, and the tile still works.

#include "TileCheck.h"

#include "platform/ProviderClsid.h"
#include "platform/Registry.h"
#include "platform/ResourceModules.h"
#include "support/HandleCount.h"
#include "support/RegistryValue.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace Corvani::Nuv::Platform;
using Corvani::Nuv::CredentialProvider::kProviderClsidText;
using HxTest::ScopedRegistryValue;

namespace {

struct Stored {
    const char* name;
    DWORD type; // REG_NONE: the value is absent
    std::vector<BYTE> bytes;
};

std::vector<BYTE> Bytes(const std::wstring& text, std::size_t byteCount) {
    std::vector<BYTE> bytes(reinterpret_cast<const BYTE*>(text.data()),
                            reinterpret_cast<const BYTE*>(text.data()) + text.size() * sizeof(wchar_t));
    bytes.resize(byteCount);
    return bytes;
}
std::vector<BYTE> Text(const std::wstring& text) { return Bytes(text, (text.size() + 1) * sizeof(wchar_t)); }

void Store(ScopedRegistryValue& value, const Stored& stored) {
    if (stored.type == REG_NONE)
        value.Remove();
    else
        value.SetRaw(stored.type, stored.bytes.data(), static_cast<DWORD>(stored.bytes.size()));
}

struct Setting {
    const wchar_t* key;
    const wchar_t* name;
    std::function<DWORD()> read;
};

TEST(BadRegistry, SwitchesOfAnyTypeAndLength) {
    const Setting settings[] = {
        {L"Software\\Halvex\\Settings\\", L"SPLASHSCREEN_ENABLE", [] { return readSettingFromRegistry(L"SPLASHSCREEN_ENABLE"); }},
        {L"Software\\Halvex\\Settings\\", L"LAUNCHUIONADVISE_ENABLE",
         [] { return readSettingFromRegistry(L"LAUNCHUIONADVISE_ENABLE"); }},
        {L"SOFTWARE\\Halvex\\Settings\\", L"FULL_LOG_ENABLE", [] { return DWORD(IsFullLogEnabled() ? 1 : 0); }},
    };
    const struct {
        Stored stored;
        DWORD number;
    } cases[] = {
        {{"absent", REG_NONE, {}}, 0},
        {{"empty DWORD", REG_DWORD, {}}, 0},
        {{"all bits", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}}, 0xFFFFFFFF},
        {{"one byte", REG_BINARY, {0x02}}, 2},
        {{"three bytes", REG_BINARY, {1, 2, 3}}, 0x030201},
        {{"five bytes", REG_BINARY, {1, 0, 0, 0, 0}}, 0},
        {{"QWORD", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}}, 0},
        {{"text 1", REG_SZ, Text(L"1")}, 49},
        {{"empty text", REG_SZ, Text(L"")}, 0},
        {{"multi text", REG_MULTI_SZ, Bytes(L"a\0", 6)}, 0},
        {{"expandable text", REG_EXPAND_SZ, Text(L"%X%")}, 0},
    };
    ASSERT_EQ("", HxConfigTest::TileProblem());
    const int kept = HxConfigTest::HandlesKeptPerProvider();
    ASSERT_LE(kept, 1); // more would be a leak of its own
    int handles = HxTest::CountOpenHandles();
    for (const Setting& setting : settings) {
        ScopedRegistryValue value(setting.key, setting.name);
        for (const auto& c : cases) {
            Store(value, c.stored);
            const DWORD expected = setting.name == std::wstring(L"FULL_LOG_ENABLE") ? (c.number != 0) : c.number;
            EXPECT_EQ(expected, setting.read()) << c.stored.name;
            EXPECT_EQ("", HxConfigTest::TileProblem()) << c.stored.name;
            handles += kept;
        }
    }
    EXPECT_EQ(handles, HxTest::CountOpenHandles());
}

TEST(BadRegistry, TextsOfAnyTypeAndLength) {
    const std::wstring clsid = kProviderClsidText;
    const struct {
        Stored stored;
        const wchar_t* text;
        bool namesThisProvider;
    } cases[] = {
        {{"absent", REG_NONE, {}}, L"", false},
        {{"no bytes", REG_SZ, {}}, L"", false},
        {{"DWORD", REG_DWORD, Bytes(L"AA", 4)}, L"AA", false},
        {{"odd length", REG_BINARY, Bytes(L"ab", 3)}, L"ab", false},
        {{"511 bytes", REG_BINARY, Bytes(std::wstring(256, L'a'), 511)}, L"", false},
        {{"513 bytes", REG_SZ, Bytes(std::wstring(257, L'a'), 513)}, L"", false},
        {{"multi text", REG_MULTI_SZ, Bytes(L"x\0y\0", 10)}, L"x", false},
        {{"inner NUL", REG_SZ, Text(clsid + L'\0' + L"tail")}, kProviderClsidText, true},
        {{"no terminator", REG_SZ, Bytes(clsid, clsid.size() * 2)}, kProviderClsidText, true},
        {{"lone surrogates", REG_SZ, Text(L"\xD800\x0001\xDFFF\xFFFF")}, L"\xD800\x0001\xDFFF\xFFFF", false},
    };
    const struct {
        const wchar_t* key;
        const wchar_t* name;
    } texts[] = {{kLogonUIKey, kLastLoggedOnSAMUserValue},
                 {kLogonUIKey, kLastLoggedOnProviderValue},
                 {L"SOFTWARE\\Halvex\\InstallInfo", L"InstallDir"}};
    const int kept = HxConfigTest::HandlesKeptPerProvider();
    ASSERT_LE(kept, 1); // more would be a leak of its own
    int handles = HxTest::CountOpenHandles();
    for (const auto& text : texts) {
        ScopedRegistryValue value(text.key, text.name);
        for (const auto& c : cases) {
            Store(value, c.stored);
            EXPECT_EQ(std::wstring(c.text), readStringValueFromRegistry(text.key, text.name)) << c.stored.name;
            if (text.name == std::wstring(kLastLoggedOnProviderValue)) {
                EXPECT_EQ(c.namesThisProvider, isLastLoggedOnProvider()) << c.stored.name;
            }
            EXPECT_EQ("", HxConfigTest::TileProblem()) << c.stored.name;
            handles += kept;
        }
    }
    EXPECT_EQ(handles, HxTest::CountOpenHandles());
}

TEST(BadRegistry, RegistrationPathOfAnyTypeAndLength) {
    const std::wstring fileName = L"Corvani.Halvex.CredentialProvider.dll";
    const struct {
        Stored stored;
        std::wstring directory;
    } cases[] = {
        {{"absent", REG_NONE, {}}, L""},
        {{"DWORD", REG_DWORD, {1, 2, 3, 4}}, L""},
        {{"shorter than the file name", REG_SZ, Text(L"C:\\x.dll")}, L""},
        {{"the file name alone", REG_SZ, Text(fileName)}, L""},
        {{"no terminator", REG_SZ, Bytes(std::wstring(1023, L'a'), 2046)}, std::wstring(1023 - 37, L'a')},
        {{"2050 bytes", REG_SZ, Bytes(std::wstring(1025, L'a'), 2050)}, L""},
    };
    const int kept = HxConfigTest::HandlesKeptPerProvider();
    ASSERT_LE(kept, 1); // more would be a leak of its own
    int handles = HxTest::CountOpenHandles();
    ScopedRegistryValue value(std::wstring(L"SOFTWARE\\Classes\\CLSID\\") + kProviderClsidText + L"\\InprocServer32",
                              L"");
    for (const auto& c : cases) {
        Store(value, c.stored);
        EXPECT_EQ(c.directory, GetModuleDirectory()) << c.stored.name;
        EXPECT_EQ("", HxConfigTest::TileProblem()) << c.stored.name;
        handles += kept;
    }
    EXPECT_EQ(handles, HxTest::CountOpenHandles());
}

} // namespace
