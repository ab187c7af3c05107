// Test LSA package: only its name matters. Wine loads every package named by a subkey of
// HKLM\System\CurrentControlSet\Control\Lsa from system32 and asks it for its name.

#define SECURITY_WIN32
#include <windows.h>
#include <ntsecapi.h>
#include <sspi.h>
#include <ntsecpkg.h>

namespace {

char g_name[] = "Negotiate";
LSA_STRING g_packageName = {9, 10, g_name};

NTSTATUS NTAPI InitializePackage(ULONG, PLSA_DISPATCH_TABLE dispatch, PLSA_STRING, PLSA_STRING,
                                 PLSA_STRING* packageName) {
    // The caller may free the name it is given: hand out a copy from its own heap when it offers one.
    if (dispatch && dispatch->AllocateLsaHeap) {
        auto* copy = static_cast<PLSA_STRING>(dispatch->AllocateLsaHeap(sizeof(LSA_STRING) + sizeof(g_name)));
        if (copy) {
            char* text = reinterpret_cast<char*>(copy + 1);
            CopyMemory(text, g_name, sizeof(g_name));
            *copy = {9, 10, text};
            *packageName = copy;
            return 0;
        }
    }
    *packageName = &g_packageName;
    return 0;
}

// Wine also starts and describes every package it loads as a security support provider.
NTSTATUS NTAPI Initialize(ULONG_PTR, PSECPKG_PARAMETERS, PLSA_SECPKG_FUNCTION_TABLE) { return 0; }

NTSTATUS NTAPI Shutdown() { return 0; }

wchar_t g_infoName[] = L"HxTestNegotiate";
wchar_t g_infoComment[] = L"test package";

NTSTATUS NTAPI GetInfo(PSecPkgInfoW info) {
    *info = {};
    info->wVersion = 1;
    info->wRPCID = SECPKG_ID_NONE;
    info->cbMaxToken = 1024;
    info->Name = g_infoName;
    info->Comment = g_infoComment;
    return 0;
}

SECPKG_FUNCTION_TABLE g_table = {};

} // namespace

extern "C" NTSTATUS NTAPI SpLsaModeInitialize(ULONG, PULONG packageVersion, PSECPKG_FUNCTION_TABLE* tables,
                                              PULONG tableCount) {
    g_table.InitializePackage = InitializePackage;
    g_table.Initialize = Initialize;
    g_table.Shutdown = Shutdown;
    g_table.GetInfo = GetInfo;
    *packageVersion = SECPKG_INTERFACE_VERSION;
    *tables = &g_table;
    *tableCount = 1;
    return 0;
}
