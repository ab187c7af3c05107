#include "platform/NegotiatePackage.h"

#include <ntsecapi.h>

#include <cstring>

namespace Corvani::Nuv::Platform {

namespace {

// An untrusted LSA connection, deregistered whatever the lookup gave.
class LsaConnection {
public:
    LsaConnection() { _status = LsaConnectUntrusted(&_handle); }
    ~LsaConnection() {
        if (_status >= 0 && _handle)
            LsaDeregisterLogonProcess(_handle);
    }
    LsaConnection(const LsaConnection&) = delete;
    LsaConnection& operator=(const LsaConnection&) = delete;

    NTSTATUS status() const { return _status; }
    HANDLE get() const { return _handle; }

private:
    HANDLE _handle = nullptr;
    NTSTATUS _status = 0;
};

HRESULT FromNtStatus(NTSTATUS status) { return static_cast<HRESULT>(status | 0x10000000); }

} // namespace

HRESULT LookupAuthenticationPackage(const char* name, ULONG& packageId) {
    LsaConnection lsa;
    if (lsa.status() < 0)
        return FromNtStatus(lsa.status());
    const auto length = static_cast<USHORT>(std::strlen(name));
    LSA_STRING packageName = {length, static_cast<USHORT>(length + 1), const_cast<char*>(name)};
    const NTSTATUS status = LsaLookupAuthenticationPackage(lsa.get(), &packageName, &packageId);
    return status < 0 ? FromNtStatus(status) : S_OK;
}

HRESULT LookupNegotiatePackage(ULONG& packageId) { return LookupAuthenticationPackage("Negotiate", packageId); }

} // namespace Corvani::Nuv::Platform
