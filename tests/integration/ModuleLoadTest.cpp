// The built provider module, loaded as LogonUI loads it: by LoadLibrary and DllGetClassObject, and through
// its COM registration.

#include "platform/ComPtr.h"
#include "platform/CredentialProviderApi.h"
#include "platform/ProviderClsid.h"
#include "platform/Registry.h"
#include "platform/UniqueResource.h"
#include "support/FakeEvents.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>
#include <vector>

using Corvani::Nuv::CredentialProvider::CLSID_NuvProvider;
using Corvani::Nuv::CredentialProvider::kProviderClsidText;
using Corvani::Nuv::Platform::ComPtr;

namespace {

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFunction = HRESULT(STDAPICALLTYPE*)();

const std::wstring kModuleName = L"Corvani.Halvex.CredentialProvider.dll";

class LoadedModule : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module = LoadLibraryW((HxTest::BinDirectory() + kModuleName).c_str());
        ASSERT_NE(nullptr, module);
        getClassObject = reinterpret_cast<GetClassObjectFunction>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
        canUnloadNow = reinterpret_cast<CanUnloadNowFunction>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    }

    static ComPtr<IClassFactory> Factory() {
        ComPtr<IClassFactory> factory;
        EXPECT_EQ(S_OK, getClassObject(CLSID_NuvProvider, IID_IClassFactory, factory.putVoid()));
        return factory;
    }

    static HMODULE module;
    static GetClassObjectFunction getClassObject;
    static CanUnloadNowFunction canUnloadNow;
};

HMODULE LoadedModule::module = nullptr;
GetClassObjectFunction LoadedModule::getClassObject = nullptr;
CanUnloadNowFunction LoadedModule::canUnloadNow = nullptr;

TEST_F(LoadedModule, ExportsResolve) {
    ASSERT_NE(nullptr, getClassObject);
    ASSERT_NE(nullptr, canUnloadNow);
    EXPECT_EQ(nullptr, GetProcAddress(module, "DllRegisterServer"));
    EXPECT_EQ(nullptr, GetProcAddress(module, "DllUnregisterServer"));
}

// Runs first within this process: nothing of the module is alive yet.
TEST_F(LoadedModule, UnloadsOnlyWhenNoObjectOrLockIsLeft) {
    EXPECT_EQ(S_OK, canUnloadNow());
    ComPtr<IClassFactory> factory = Factory();
    EXPECT_EQ(S_OK, canUnloadNow()); // the factory itself does not count

    ComPtr<ICredentialProvider> provider;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_ICredentialProvider, provider.putVoid()));
    EXPECT_EQ(S_FALSE, canUnloadNow());
    provider.reset();
    EXPECT_EQ(S_OK, canUnloadNow());

    factory->LockServer(TRUE);
    EXPECT_EQ(S_FALSE, canUnloadNow());
    factory->LockServer(FALSE);
    EXPECT_EQ(S_OK, canUnloadNow());

    // A provider that created its credential keeps the module for the life of the process.
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_ICredentialProvider, provider.putVoid()));
    ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_UNLOCK_WORKSTATION, 0));
    provider.reset();
    EXPECT_EQ(S_FALSE, canUnloadNow());
}

TEST_F(LoadedModule, SplashBitmapIs250By294With24BitsPerPixel) {
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(101), MAKEINTRESOURCEW(2) /* RT_BITMAP */);
    ASSERT_NE(nullptr, resource);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, resource)));
    ASSERT_NE(nullptr, header);
    EXPECT_EQ(250, header->biWidth);
    EXPECT_EQ(294, header->biHeight);
    EXPECT_EQ(24, header->biBitCount);
}

TEST_F(LoadedModule, CarriesAVersionRecord) {
    const std::wstring path = HxTest::BinDirectory() + kModuleName;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(VS_FFI_SIGNATURE, fixed->dwSignature);
    EXPECT_EQ(static_cast<DWORD>(VFT_DLL), fixed->dwFileType);
    wchar_t* name = nullptr;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\OriginalFilename",
                               reinterpret_cast<void**>(&name), &length));
    EXPECT_EQ(kModuleName, name);
}

TEST(ComActivation, RegistrationPointsAtTheModule) {
    const std::wstring key = std::wstring(L"SOFTWARE\\Classes\\CLSID\\") + kProviderClsidText + L"\\InprocServer32";
    EXPECT_EQ(HxTest::BinDirectory() + kModuleName,
              Corvani::Nuv::Platform::readStringValueFromRegistry(key, L""));
    EXPECT_EQ(L"Apartment", Corvani::Nuv::Platform::readStringValueFromRegistry(key, L"ThreadingModel"));
    const std::wstring providers =
        std::wstring(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Authentication\\Credential Providers\\") +
        kProviderClsidText;
    EXPECT_EQ(L"Corvani.Halvex.CredentialProvider",
              Corvani::Nuv::Platform::readStringValueFromRegistry(providers, L""));
}

TEST(ComActivation, CreatesAWorkingProvider) {
    ComPtr<ICredentialProvider> provider;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_NuvProvider, nullptr, CLSCTX_INPROC_SERVER, IID_ICredentialProvider,
                                     provider.putVoid()));
    HxTest::FakeProviderEvents events;
    ASSERT_EQ(S_OK, provider->SetUsageScenario(CPUS_LOGON, 0));
    ASSERT_EQ(S_OK, provider->Advise(&events, 1));
    DWORD fields = 0;
    EXPECT_EQ(S_OK, provider->GetFieldDescriptorCount(&fields));
    EXPECT_EQ(3u, fields);
    ComPtr<ICredentialProviderCredential> credential;
    ASSERT_EQ(S_OK, provider->GetCredentialAt(0, credential.put()));
    HxTest::FakeCredentialEvents credentialEvents;
    EXPECT_EQ(S_OK, credential->Advise(&credentialEvents));
    EXPECT_EQ(1, credentialEvents.windowRequests);
    EXPECT_EQ(S_OK, credential->UnAdvise());
    EXPECT_EQ(S_OK, provider->UnAdvise());
    EXPECT_EQ(1, events.RefCount());
    EXPECT_EQ(1, credentialEvents.RefCount());
}

TEST(ComActivation, UnknownClassIsNotServed) {
    ComPtr<ICredentialProvider> provider;
    EXPECT_EQ(REGDB_E_CLASSNOTREG, CoCreateInstance(IID_ICredentialProvider, nullptr, CLSCTX_INPROC_SERVER,
                                                    IID_ICredentialProvider, provider.putVoid()));
}

} // namespace
