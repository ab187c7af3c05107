// The floor of LOGON to the logon buffer, one trial in this fresh process: one LOGON exchange with a bare
// server of the provider pipe's kind, the three CryptUnprotectData of the blobs the stand-in writes into
// the sections (protected beforehand by another run of this program), the LSA lookup of "Negotiate", and
// the packing of the buffer.

#include "Floors.h"
#include "Samples.h"
#include "credential/LogonBuffer.h"
#include "credential-filler/CredentialSections.h"
#include "ipc/CommandTexts.h"
#include "platform/UniqueResource.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#define SECURITY_WIN32
#include <ntsecapi.h>
#include <wincrypt.h>

namespace HxFloors {

namespace {

using Corvani::Nuv::Platform::UniqueFileHandle;
using Section = std::array<BYTE, HxFiller::kSectionSize>;

// The texts the walk-through's logon road recognises, and one more for the warm-up.
const wchar_t* const kTexts[] = {L"CORP", L"alice", L"demo-Passw0rd", L"warm-up"};
constexpr wchar_t kLogonCommand[] = L"{\"Command\": \"LOGON\",\"Payload\": []}";

constexpr DWORD kServerEndMilliseconds = 5000;

// One command read and one reply on one instance; the warm-up and the trial each find an instance of
// their own listening, whichever they reach.
DWORD WINAPI ServeOnce(LPVOID instance) {
    const HANDLE pipe = instance;
    if (!ConnectNamedPipe(pipe, nullptr) && GetLastError() != ERROR_PIPE_CONNECTED)
        return 1;
    std::vector<char> command(Corvani::Nuv::IPC::kMaxCommandBytes);
    DWORD done = 0;
    if (ReadFile(pipe, command.data(), static_cast<DWORD>(command.size()), &done, nullptr)) {
        const std::wstring reply = Corvani::Nuv::IPC::kServerResponseText;
        WriteFile(pipe, reply.c_str(), static_cast<DWORD>((reply.size() + 1) * sizeof(wchar_t)), &done, nullptr);
        FlushFileBuffers(pipe);
    }
    DisconnectNamedPipe(pipe);
    return 0;
}

UniqueFileHandle CreateInstance(const std::wstring& pipeName) {
    return UniqueFileHandle(CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_DUPLEX,
                                             PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 2, 4096, 4096, 0,
                                             nullptr));
}

bool Unprotect(Section& section) {
    DATA_BLOB blob = {static_cast<DWORD>(section.size()), section.data()};
    DATA_BLOB plain = {};
    LPWSTR description = nullptr;
    if (!CryptUnprotectData(&blob, &description, nullptr, nullptr, nullptr, 0, &plain))
        return false;
    SecureZeroMemory(plain.pbData, plain.cbData);
    LocalFree(plain.pbData);
    LocalFree(description);
    return true;
}

bool LookUpNegotiate(ULONG& package) {
    HANDLE lsa = nullptr;
    if (LsaConnectUntrusted(&lsa) != 0)
        return false;
    char name[] = "Negotiate";
    LSA_STRING packageName = {static_cast<USHORT>(sizeof(name) - 1), static_cast<USHORT>(sizeof(name)), name};
    const NTSTATUS status = LsaLookupAuthenticationPackage(lsa, &packageName, &package);
    LsaDeregisterLogonProcess(lsa);
    return status == 0;
}

std::u16string_view View(const wchar_t* text) {
    return std::u16string_view(reinterpret_cast<const char16_t*>(text), std::wcslen(text));
}

bool ReadSections(const std::wstring& file, std::array<Section, 4>& sections) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    for (Section& section : sections)
        in.read(reinterpret_cast<char*>(section.data()), static_cast<std::streamsize>(section.size()));
    return static_cast<bool>(in);
}

} // namespace

int ProtectBlobs(const std::wstring& file) {
    std::ofstream out(std::filesystem::path(file), std::ios::binary | std::ios::trunc);
    for (const wchar_t* text : kTexts) {
        const std::vector<BYTE> blob = HxFiller::ProtectText(text);
        if (blob.empty() || blob.size() > HxFiller::kSectionSize)
            return Fail("CryptProtectData failed for a text of", file);
        Section section = {};
        std::copy(blob.begin(), blob.end(), section.begin());
        out.write(reinterpret_cast<const char*>(section.data()), static_cast<std::streamsize>(section.size()));
    }
    return out ? 0 : Fail("cannot write", file);
}

int MeasureLogonFloor(const std::wstring& blobFile) {
    std::array<Section, 4> sections;
    if (!ReadSections(blobFile, sections))
        return Fail("cannot read the protected blobs from", blobFile);
    const std::wstring pipeName = L"\\\\.\\pipe\\CPPipeServerFloor" + std::to_wstring(GetCurrentProcessId());
    const UniqueFileHandle instances[] = {CreateInstance(pipeName), CreateInstance(pipeName)};
    if (!instances[0] || !instances[1])
        return Fail("cannot create the pipe", pipeName);
    const Corvani::Nuv::Platform::UniqueHandle servers[] = {
        Corvani::Nuv::Platform::UniqueHandle(CreateThread(nullptr, 0, ServeOnce, instances[0].get(), 0, nullptr)),
        Corvani::Nuv::Platform::UniqueHandle(CreateThread(nullptr, 0, ServeOnce, instances[1].get(), 0, nullptr))};
    if (!servers[0] || !servers[1])
        return Fail("cannot start the servers of", pipeName);
    // By the LOGON the host's process has its server waiting and the crypto provider loaded (its trust
    // check loaded it): one exchange and one unprotect of another blob first.
    const bool warm = ExchangeCommand(pipeName, kLogonCommand) && Unprotect(sections[3]);

    const double start = NowMilliseconds();
    const bool exchanged = ExchangeCommand(pipeName, kLogonCommand);
    const double answered = NowMilliseconds();
    bool decrypted = true;
    for (size_t index = 0; index < 3; ++index)
        decrypted = Unprotect(sections[index]) && decrypted;
    const double decryptedAt = NowMilliseconds();
    ULONG package = 0;
    const bool found = LookUpNegotiate(package);
    const double lookedUp = NowMilliseconds();
    const Corvani::Nuv::CredentialProvider::LogonTexts texts = {View(kTexts[0]), View(kTexts[1]), View(kTexts[2])};
    const size_t size = Corvani::Nuv::CredentialProvider::LogonBufferSize(texts);
    Corvani::Nuv::Platform::UniqueCoTaskMemory buffer(static_cast<uint8_t*>(CoTaskMemAlloc(size)));
    if (buffer)
        Corvani::Nuv::CredentialProvider::PackLogonBuffer(Corvani::Nuv::CredentialProvider::kKerbInteractiveLogon,
                                                          texts, static_cast<uint8_t*>(buffer.get()));
    const double packed = NowMilliseconds();
    // A server whose client never came is left behind: the process ends with this trial.
    const HANDLE waits[] = {servers[0].get(), servers[1].get()};
    WaitForMultipleObjects(2, waits, TRUE, kServerEndMilliseconds);

    if (!warm || !exchanged || !decrypted || !found || !buffer)
        return Fail(!exchanged ? "no reply on" : !decrypted ? "CryptUnprotectData failed on the blobs of"
                                                : !found    ? "no \"Negotiate\" package (install it) for"
                                                            : "no memory for",
                    !exchanged ? pipeName : blobFile);
    PrintSample("logon.floor.pipe", answered - start);
    PrintSample("logon.floor.decrypt", decryptedAt - answered);
    PrintSample("logon.floor.lsa", lookedUp - decryptedAt);
    PrintSample("logon.floor.pack", packed - lookedUp);
    PrintSample("logon.floor.total", packed - start);
    return 0;
}

} // namespace HxFloors
