#include "TileCheck.h"

#include "support/ProviderPeers.h"
#include "platform/UniqueResource.h"
#include "support/HandleCount.h"

namespace HxConfigTest {

using Corvani::Nuv::Platform::ComPtr;
using Corvani::Nuv::Platform::UniqueCoTaskString;

std::string TileProblem() {
    ComPtr<ICredentialProvider> provider = HxTest::MakeProvider();
    if (provider->SetUsageScenario(CPUS_LOGON, 0) != S_OK)
        return "SetUsageScenario";
    DWORD count = 0, defaultIndex = 0;
    BOOL autoLogon = FALSE;
    if (provider->GetCredentialCount(&count, &defaultIndex, &autoLogon) != S_OK || count != 1)
        return "GetCredentialCount";
    ComPtr<ICredentialProviderCredential> credential;
    if (provider->GetCredentialAt(0, credential.put()) != S_OK || !credential)
        return "GetCredentialAt";
    for (DWORD field : {1u, 2u}) {
        UniqueCoTaskString text;
        if (credential->GetStringValue(field, text.put()) != S_OK || text.get() == nullptr || text.get()[0] == 0)
            return "GetStringValue " + std::to_string(field);
    }
    HBITMAP bitmap = nullptr;
    if (credential->GetBitmapValue(0, &bitmap) != S_OK || bitmap == nullptr)
        return "GetBitmapValue";
    DeleteObject(bitmap);
    return std::string();
}

int HandlesKeptPerProvider() {
    TileProblem();
    const int before = HxTest::CountOpenHandles();
    TileProblem();
    return HxTest::CountOpenHandles() - before;
}

} // namespace HxConfigTest
