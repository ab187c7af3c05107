// The module's exports, the class factory and the module reference count.

#include "platform/ComPtr.h"
#include "platform/CredentialProviderApi.h"
#include "provider/Exports.h"
#include "provider/ModuleState.h"

#include <gtest/gtest.h>

using Corvani::Nuv::CredentialProvider::g_dllRefCount;
using Corvani::Nuv::Platform::ComPtr;

namespace {

const CLSID kProviderClsid = {0x5e0c9a41, 0x7d2b, 0x4f63, {0x9a, 0x18, 0x2c, 0x6b, 0x8e, 0x4f, 0x0d, 0x37}};

ComPtr<IClassFactory> GetFactory() {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(S_OK, DllGetClassObject(kProviderClsid, IID_IClassFactory, factory.putVoid()));
    return factory;
}

TEST(DllGetClassObject, RejectsOtherClassIds) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, DllGetClassObject(IID_IClassFactory, IID_IClassFactory, &object));
    EXPECT_EQ(nullptr, object);
}

TEST(DllGetClassObject, AnswersUnknownAndClassFactoryOnly) {
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(S_OK, DllGetClassObject(kProviderClsid, IID_IUnknown, unknown.putVoid()));
    EXPECT_TRUE(unknown);
    // The only reference left is the caller's.
    EXPECT_EQ(2u, unknown->AddRef());
    EXPECT_EQ(1u, unknown->Release());

    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, DllGetClassObject(kProviderClsid, IID_ICredentialProvider, &object));
    EXPECT_EQ(nullptr, object);
}

TEST(ClassFactory, RefusesAggregation) {
    ComPtr<IClassFactory> factory = GetFactory();
    IUnknown* outer = factory.get();
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer, IID_ICredentialProvider, &object));
    EXPECT_EQ(nullptr, object);
}

TEST(ClassFactory, CreatesProviderWithOneReference) {
    ComPtr<IClassFactory> factory = GetFactory();
    const LONG before = g_dllRefCount;
    for (REFIID iid : {IID_IUnknown, IID_ICredentialProvider}) {
        ComPtr<IUnknown> provider;
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, iid, provider.putVoid()));
        EXPECT_EQ(before + 1, g_dllRefCount);
        EXPECT_EQ(2u, provider->AddRef());
        EXPECT_EQ(1u, provider->Release());
    }
    EXPECT_EQ(before, g_dllRefCount);
}

TEST(ClassFactory, FailedQueryDestroysTheNewProvider) {
    ComPtr<IClassFactory> factory = GetFactory();
    const LONG before = g_dllRefCount;
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_ICredentialProviderCredential, &object));
    EXPECT_EQ(nullptr, object);
    EXPECT_EQ(before, g_dllRefCount);
}

TEST(DllCanUnloadNow, FollowsServerLocksAndLiveObjects) {
    // Other tests of this process leave credentials alive (they live as long as the process), so the
    // count is compared with where it started.
    ComPtr<IClassFactory> factory = GetFactory();
    const LONG before = g_dllRefCount;
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    EXPECT_EQ(before + 1, g_dllRefCount);
    EXPECT_EQ(S_FALSE, DllCanUnloadNow());
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    EXPECT_EQ(before, g_dllRefCount);
    if (before == 0) {
        EXPECT_EQ(S_OK, DllCanUnloadNow());
    }
}

} // namespace
