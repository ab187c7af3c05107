// The tile's texts and picture as installations with no, some or all resource modules give them, in
// English and German, and the message box of a desktop that is too small. Each case runs in a child
// process of its own, since the resource modules are looked up once per process.

#include "ProbeRunner.h"
#include "platform/ProviderClsid.h"
#include "support/RegistryValue.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>
#include <windows.h>

using HxTest::ProbeRun;
using HxTest::RunProbe;

namespace {

const std::wstring kProvider = L"Corvani.Halvex.CredentialProvider.dll";
const std::wstring kCoreLocalization = L"Corvani.Halvex.CP.Core.Localization.dll";
const std::wstring kAffiliateLocalization = L"Corvani.Halvex.CP.Affiliate.Localization.dll";
const std::wstring kCoreResources = L"Corvani.Halvex.CP.Core.Resources.dll";
const std::wstring kAffiliateResources = L"Corvani.Halvex.CP.Affiliate.Resources.dll";

// An installation directory holding the provider and the given resource modules, registered as the
// provider's InprocServer32 for the life of the object.
class Installation {
public:
    explicit Installation(std::initializer_list<std::wstring> modules)
        : _directory(HxTest::NewTempDirectory(L"hxinstall")),
          _registration(std::wstring(L"SOFTWARE\\Classes\\CLSID\\") +
                            Corvani::Nuv::CredentialProvider::kProviderClsidText + L"\\InprocServer32",
                        L"") {
        Copy(kProvider);
        for (const std::wstring& module : modules)
            Copy(module);
        _registration.SetString(ModulePath());
    }

    std::wstring ModulePath() const { return _directory + kProvider; }

    std::map<std::wstring, std::wstring> Probe(ProbeRun run = {}) const {
        run.dllPath = ModulePath();
        return RunProbe(run);
    }

private:
    void Copy(const std::wstring& name) {
        EXPECT_TRUE(CopyFileW((HxTest::BinDirectory() + name).c_str(), (_directory + name).c_str(), FALSE));
    }

    std::wstring _directory;
    HxTest::ScopedRegistryValue _registration;
};

TEST(ResourceLookup, NoModulesGiveTheEnglishFallbacks) {
    auto seen = Installation({}).Probe();
    ASSERT_EQ(L"1", seen[L"done"]);
    EXPECT_EQ(L"Tile Image", seen[L"label0"]);
    EXPECT_EQ(L"Title1", seen[L"label1"]);
    EXPECT_EQ(L"Title2", seen[L"label2"]);
    EXPECT_EQ(L"PICTURE", seen[L"text0"]);
    EXPECT_EQ(L"TITLE ONE", seen[L"text1"]);
    EXPECT_EQ(L"TITLE TWO", seen[L"text2"]);
    EXPECT_EQ(L"failed", seen[L"bitmap"]);
}

TEST(ResourceLookup, CoreModulesAlone) {
    auto seen = Installation({kCoreLocalization, kCoreResources}).Probe();
    ASSERT_EQ(L"1", seen[L"done"]);
    EXPECT_EQ(L"Face sign-in", seen[L"label0"]);
    EXPECT_EQ(L"Title", seen[L"label1"]);
    EXPECT_EQ(L"Face sign-in", seen[L"text0"]);
    EXPECT_EQ(L"Halvex", seen[L"text1"]);
    EXPECT_EQ(L"Sign in with your face", seen[L"text2"]);
    EXPECT_EQ(L"192x192", seen[L"bitmap"]);
}

TEST(ResourceLookup, AffiliateModulesComeFirstAndCoreFillsTheGaps) {
    auto seen = Installation({kCoreLocalization, kAffiliateLocalization, kCoreResources, kAffiliateResources})
                    .Probe();
    ASSERT_EQ(L"1", seen[L"done"]);
    EXPECT_EQ(L"Face sign-in", seen[L"text0"]);
    EXPECT_EQ(L"Halvex Partner Edition", seen[L"text1"]);
    EXPECT_EQ(L"Sign in with your face", seen[L"text2"]);
    EXPECT_EQ(L"128x128", seen[L"bitmap"]);
}

TEST(ResourceLookup, AffiliateModulesAnswerWithoutTheirCoreModules) {
    // A missing core module is sought again at every request, the affiliate one with it; what the affiliate
    // module lacks falls back to the English texts.
    auto seen = Installation({kAffiliateLocalization, kAffiliateResources}).Probe();
    ASSERT_EQ(L"1", seen[L"done"]);
    EXPECT_EQ(L"Halvex Partner Edition", seen[L"text1"]);
    EXPECT_EQ(L"PICTURE", seen[L"text0"]);
    EXPECT_EQ(L"128x128", seen[L"bitmap"]);
}

TEST(ResourceLookup, RegistrationWithoutADirectoryFindsNoModules) {
    // Cutting the file name off leaves no directory: the modules beside the probe (the build's output
    // directory holds all four) must not be found through the loader's search path either.
    for (const wchar_t* registered : {L"Corvani.Halvex.CredentialProvider.dll", L"short"}) {
        HxTest::ScopedRegistryValue registration(std::wstring(L"SOFTWARE\\Classes\\CLSID\\") +
                                                     Corvani::Nuv::CredentialProvider::kProviderClsidText +
                                                     L"\\InprocServer32",
                                                 L"");
        registration.SetString(registered);
        ProbeRun run;
        run.dllPath = HxTest::BinDirectory() + kProvider;
        auto seen = RunProbe(run);
        ASSERT_EQ(L"1", seen[L"done"]);
        EXPECT_EQ(L"Tile Image", seen[L"label0"]);
        EXPECT_EQ(L"TITLE ONE", seen[L"text1"]);
        EXPECT_EQ(L"failed", seen[L"bitmap"]);
    }
}

TEST(ResourceLookup, GermanUserInterfaceLanguage) {
    ProbeRun run;
    run.locale = L"de_DE.UTF-8";
    auto seen = Installation({kCoreLocalization, kAffiliateLocalization, kCoreResources, kAffiliateResources})
                    .Probe(run);
    ASSERT_EQ(L"1", seen[L"done"]);
    EXPECT_EQ(L"1031", seen[L"language"]);
    EXPECT_EQ(L"Gesichtsanmeldung", seen[L"label0"]);
    EXPECT_EQ(L"Titel", seen[L"label1"]);
    EXPECT_EQ(L"Halvex Partner-Edition", seen[L"text1"]);
    EXPECT_EQ(L"Mit dem Gesicht anmelden", seen[L"text2"]);
}

TEST(Resolution, TooSmallDesktopShowsTheErrorBoxOnSelection) {
    ProbeRun run;
    run.select = true;
    run.desktopSize = L"1000x700";
    auto seen = Installation({kCoreLocalization, kAffiliateLocalization}).Probe(run);
    ASSERT_EQ(L"1", seen[L"done"]);
    EXPECT_EQ(L"1000x700", seen[L"desktop"]);
    EXPECT_EQ(L"Halvex face sign-in", seen[L"box.caption"]);
    EXPECT_EQ(L"Face sign-in needs a screen of at least 1024 x 768 pixels.", seen[L"box.text"]);
    EXPECT_EQ(L"0,0", seen[L"select"]);
}

TEST(Resolution, NarrowOrLowDesktopAloneIsSupported) {
    for (const wchar_t* size : {L"1000x800", L"1280x700"}) {
        ProbeRun run;
        run.select = true;
        run.desktopSize = size;
        auto seen = Installation({kCoreLocalization}).Probe(run);
        ASSERT_EQ(L"1", seen[L"done"]) << size;
        EXPECT_EQ(size, seen[L"desktop"]);
        EXPECT_EQ(0u, seen.count(L"box.caption")) << size;
        EXPECT_EQ(L"0,0", seen[L"select"]);
    }
}

} // namespace
