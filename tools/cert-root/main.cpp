// Puts a test root certificate into the machine's Root store, or takes it out again, so that code signed
// by the test publisher passes the trust check in a test or demo prefix:
//   hxroot add|remove FILE.cer

#include "platform/UniqueResource.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using Corvani::Nuv::Platform::UniqueCertContext;
using Corvani::Nuv::Platform::UniqueCertStore;

namespace {

std::vector<BYTE> ReadFile(const wchar_t* path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

UniqueCertStore OpenMachineRoot() {
    return UniqueCertStore(
        CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root"));
}

int Add(const std::vector<BYTE>& encoded) {
    const UniqueCertStore store = OpenMachineRoot();
    return store && CertAddEncodedCertificateToStore(store.get(), X509_ASN_ENCODING, encoded.data(),
                                                     static_cast<DWORD>(encoded.size()),
                                                     CERT_STORE_ADD_REPLACE_EXISTING, nullptr)
               ? 0
               : 1;
}

int Remove(const std::vector<BYTE>& encoded) {
    const UniqueCertStore store = OpenMachineRoot();
    const UniqueCertContext wanted(
        CertCreateCertificateContext(X509_ASN_ENCODING, encoded.data(), static_cast<DWORD>(encoded.size())));
    if (!store || !wanted)
        return 1;
    PCCERT_CONTEXT found = CertFindCertificateInStore(store.get(), X509_ASN_ENCODING, 0, CERT_FIND_EXISTING,
                                                      wanted.get(), nullptr);
    return found && CertDeleteCertificateFromStore(found) ? 0 : 1; // the deletion frees the context
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fputs("usage: hxroot add|remove FILE.cer\n", stderr);
        return 2;
    }
    const std::vector<BYTE> encoded = ReadFile(argv[2]);
    if (encoded.empty()) {
        std::fprintf(stderr, "hxroot: cannot read %ls\n", argv[2]);
        return 1;
    }
    const std::wstring action = argv[1];
    const int result = action == L"add" ? Add(encoded) : action == L"remove" ? Remove(encoded) : 2;
    if (result != 0)
        std::fprintf(stderr, "hxroot: %ls failed (error %lu)\n", argv[1], GetLastError());
    return result;
}
