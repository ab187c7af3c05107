// tile_probe --dll PATH --out FILE [--select]
// Loads the provider module at PATH, creates a provider for the logon screen and writes, one "key=value"
// line each (UTF-8), the desktop size, the descriptor labels, the field texts and the tile bitmap's size.
// With --select it also selects the tile; a message box that the selection shows is read and closed.

#include "platform/ComPtr.h"
#include "platform/CredentialProviderApi.h"
#include "platform/ProviderClsid.h"
#include "platform/UniqueResource.h"

#include <cstdio>
#include <string>

using Corvani::Nuv::Platform::ComPtr;
using Corvani::Nuv::Platform::UniqueCoTaskMemory;
using Corvani::Nuv::Platform::UniqueCoTaskString;
using Corvani::Nuv::Platform::UniqueGdiObject;
using Corvani::Nuv::Platform::UniqueHandle;

namespace {

FILE* g_out = nullptr;

void Write(const std::wstring& key, const std::wstring& value) {
    const std::wstring line = key + L"=" + value + L"\n";
    char buffer[4096];
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, buffer, sizeof(buffer), nullptr, nullptr);
    if (bytes > 1)
        fwrite(buffer, 1, static_cast<size_t>(bytes - 1), g_out);
    fflush(g_out);
}

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

ComPtr<ICredentialProvider> CreateProvider(HMODULE module) {
    ComPtr<ICredentialProvider> provider;
    auto getClassObject = reinterpret_cast<GetClassObjectFunction>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    ComPtr<IClassFactory> factory;
    if (getClassObject &&
        SUCCEEDED(getClassObject(Corvani::Nuv::CredentialProvider::CLSID_NuvProvider, IID_IClassFactory,
                                 factory.putVoid())))
        factory->CreateInstance(nullptr, IID_ICredentialProvider, provider.putVoid());
    return provider;
}

void WriteLabels(ICredentialProvider* provider) {
    for (DWORD i = 0; i < 3; ++i) {
        CREDENTIAL_PROVIDER_FIELD_DESCRIPTOR* raw = nullptr;
        provider->GetFieldDescriptorAt(i, &raw);
        UniqueCoTaskMemory owner(raw);
        UniqueCoTaskString label(raw ? raw->pszLabel : nullptr);
        Write(L"label" + std::to_wstring(i), label ? label.get() : L"(none)");
    }
}

void WriteTexts(ICredentialProviderCredential* credential) {
    for (DWORD i = 0; i < 3; ++i) {
        UniqueCoTaskString text;
        credential->GetStringValue(i, text.put());
        Write(L"text" + std::to_wstring(i), text ? text.get() : L"(none)");
    }
    HBITMAP raw = nullptr;
    const HRESULT hr = credential->GetBitmapValue(0, &raw);
    UniqueGdiObject bitmap(raw);
    BITMAP info = {};
    if (bitmap)
        GetObjectW(bitmap.get(), sizeof(info), &info);
    Write(L"bitmap", SUCCEEDED(hr) ? std::to_wstring(info.bmWidth) + L"x" + std::to_wstring(info.bmHeight)
                                   : L"failed");
}

BOOL CALLBACK FindDialog(HWND window, LPARAM result) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (process == GetCurrentProcessId() && std::wstring(className) == L"#32770" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
    }
    return TRUE;
}

volatile LONG g_selectionReturned = 0;

// Reads and closes the first message box of this process that shows up while the selection runs.
DWORD WINAPI CloseMessageBox(LPVOID) {
    for (int attempt = 0; attempt < 200 && !g_selectionReturned; ++attempt) {
        HWND box = nullptr;
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&box));
        if (box) {
            wchar_t caption[512] = {}, text[512] = {};
            GetWindowTextW(box, caption, 512);
            GetDlgItemTextW(box, 0xFFFF, text, 512);
            Write(L"box.caption", caption);
            Write(L"box.text", text);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return 0;
        }
        Sleep(50);
    }
    return 0;
}

void Select(ICredentialProviderCredential* credential) {
    UniqueHandle watcher(CreateThread(nullptr, 0, CloseMessageBox, nullptr, 0, nullptr));
    BOOL autoLogon = FALSE;
    const HRESULT hr = credential->SetSelected(&autoLogon);
    Write(L"select", std::to_wstring(hr) + L"," + std::to_wstring(autoLogon));
    InterlockedExchange(&g_selectionReturned, 1);
    WaitForSingleObject(watcher.get(), 10000);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring dll, out;
    bool select = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--dll" && i + 1 < argc)
            dll = argv[++i];
        else if (arg == L"--out" && i + 1 < argc)
            out = argv[++i];
        else if (arg == L"--select")
            select = true;
    }
    g_out = _wfopen(out.c_str(), L"wb");
    if (!g_out)
        return 2;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    RECT desktop = {};
    GetWindowRect(GetDesktopWindow(), &desktop);
    Write(L"desktop", std::to_wstring(desktop.right) + L"x" + std::to_wstring(desktop.bottom));
    Write(L"language", std::to_wstring(GetThreadUILanguage()));

    HMODULE module = LoadLibraryW(dll.c_str());
    ComPtr<ICredentialProvider> provider = module ? CreateProvider(module) : ComPtr<ICredentialProvider>();
    ComPtr<ICredentialProviderCredential> credential;
    if (provider && SUCCEEDED(provider->SetUsageScenario(CPUS_LOGON, 0)) &&
        SUCCEEDED(provider->GetCredentialAt(0, credential.put()))) {
        WriteLabels(provider.get());
        WriteTexts(credential.get());
        if (select)
            Select(credential.get());
    }
    Write(L"done", L"1");
    fclose(g_out);
    return 0;
}
