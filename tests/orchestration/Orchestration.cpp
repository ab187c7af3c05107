#include "orchestration/Orchestration.h"

#include "support/FakeOutsideEffects.h"
#include "support/ProviderPeers.h"
#include "support/TestPaths.h"

#include <tlhelp32.h>

namespace HxTest {

using Corvani::Nuv::CredentialProvider::KillNuvUIProcesses;
using Corvani::Nuv::CredentialProvider::NuvCredential;
using Corvani::Nuv::CredentialProvider::NuvProviderTestPeer;
using Corvani::Nuv::Platform::UniqueFileHandle;
using Corvani::Nuv::Platform::UniqueHandle;

OrchestratedCredential::OrchestratedCredential() : _provider(MakeProvider()) {
    _provider->SetUsageScenario(CPUS_LOGON, 0);
    _credential = NuvProviderTestPeer::Credential(AsNuv(_provider.get()));
}

// The credential lives on for the process, as in LogonUI; what it launched does not.
OrchestratedCredential::~OrchestratedCredential() {
    _credential->FindAndKillNuvUI();
    HxTest::RealProcessTermination real; // whatever a test started besides, the next one starts without it
    KillNuvUIProcesses();
}

StandInScript::StandInScript(const std::wstring& extraOptions)
    : _record(NewTempDirectory(L"standin") + L"\\record.txt") {
    const std::wstring options = L"--record \"" + _record + L"\" " + extraOptions;
    SetEnvironmentVariableW(L"HX_UI_STANDIN_OPTIONS", options.c_str());
}

StandInScript::~StandInScript() { SetEnvironmentVariableW(L"HX_UI_STANDIN_OPTIONS", nullptr); }

std::vector<std::string> StandInScript::Lines() const {
    const std::wstring text = ReadUtf8File(_record);
    std::vector<std::string> lines;
    std::string line;
    for (wchar_t c : text) {
        if (c == L'\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != L'\r') {
            line += static_cast<char>(c);
        }
    }
    return lines;
}

bool StandInScript::WaitForLine(const std::string& prefix, DWORD ms) const {
    const ULONGLONG until = GetTickCount64() + ms;
    do {
        for (const std::string& line : Lines())
            if (line.rfind(prefix, 0) == 0)
                return true;
        Sleep(20);
    } while (GetTickCount64() < until);
    return false;
}

std::vector<DWORD> UIProcessIds() {
    std::vector<DWORD> ids;
    UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
        if (lstrcmpiW(entry.szExeFile, Corvani::Nuv::CredentialProvider::kUIExecutableName) == 0)
            ids.push_back(entry.th32ProcessID);
    return ids;
}

UniqueHandle StartStandInDirectly(const std::wstring& options) {
    std::wstring commandLine = L"\"" + BinDirectory() + L"Corvani.Halvex.UI.exe\" " + options;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return UniqueHandle();
    CloseHandle(info.hThread);
    return UniqueHandle(info.hProcess);
}

DWORD ExitCodeAfter(HANDLE process, DWORD ms) {
    WaitForSingleObject(process, ms);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    return code;
}

} // namespace HxTest
