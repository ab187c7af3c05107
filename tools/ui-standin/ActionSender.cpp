#include "ActionSender.h"

#include "CredentialSections.h"
#include "platform/UniqueResource.h"

#include <cwchar>

namespace HxUIStandIn {

namespace {

using Corvani::Nuv::Platform::UniqueFileHandle;

constexpr DWORD kOpenPatienceMilliseconds = 10000;
constexpr DWORD kRetryPauseMilliseconds = 10;
constexpr DWORD kBusyWaitMilliseconds = 2000;

std::wstring CommandText(const std::wstring& name) {
    return L"{\"Command\": \"" + name + L"\",\"Payload\": []}";
}

UniqueFileHandle OpenWithRetries(const std::wstring& pipeName, DWORD& error) {
    const ULONGLONG giveUpAt = GetTickCount64() + kOpenPatienceMilliseconds;
    for (;;) {
        UniqueFileHandle pipe(CreateFileW(pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
        if (pipe)
            return pipe;
        error = GetLastError();
        if (GetTickCount64() >= giveUpAt)
            return pipe;
        if (error == ERROR_FILE_NOT_FOUND)
            Sleep(kRetryPauseMilliseconds);
        else if (error == ERROR_PIPE_BUSY)
            WaitNamedPipeW(pipeName.c_str(), kBusyWaitMilliseconds);
        else
            return pipe;
    }
}

} // namespace

ActionSender::ActionSender(Recorder& recorder, const StandInOptions& options)
    : _recorder(recorder), _options(options), _pipeName(L"\\\\.\\pipe\\CPPipeServer" + std::to_wstring(GetCurrentProcessId())) {}

bool ActionSender::Perform(const std::wstring& action) {
    if (action == L"exit")
        return false;
    if (action.rfind(L"wait:", 0) == 0) {
        Sleep(static_cast<DWORD>(std::wcstoul(action.c_str() + 5, nullptr, 10)));
        return true;
    }
    if (action.rfind(L"raw:", 0) == 0) {
        Send("raw", action.substr(4));
        return true;
    }
    if (action == L"recognize") {
        if (FillSections())
            Send("LOGON", CommandText(L"LOGON"));
        return true;
    }
    if (action == L"LOGON" || action == L"DESELECT" || action == L"UIINPUT") {
        Send(HxTools::ToUtf8Text(action), CommandText(action));
        return true;
    }
    _recorder.Line("UNKNOWN ACTION " + HxTools::ToUtf8Text(action));
    return true;
}

bool ActionSender::FillSections() {
    const DWORD errors[] = {HxFiller::FillSection(HxFiller::kDomainSection, _options.domain),
                            HxFiller::FillSection(HxFiller::kUserSection, _options.user),
                            HxFiller::FillSection(HxFiller::kPasswordSection, _options.password)};
    for (DWORD error : errors)
        if (error != ERROR_SUCCESS) {
            _recorder.Line("FILLED failed " + std::to_string(error));
            return false;
        }
    _recorder.Line("FILLED " + HxTools::ToUtf8Text(_options.domain) + "\\" + HxTools::ToUtf8Text(_options.user));
    return true;
}

// One connection: the text and its NUL as one message, then the provider's reply if it gives one.
void ActionSender::Send(const std::string& label, const std::wstring& text) {
    _recorder.Line("SEND " + label);
    DWORD error = ERROR_SUCCESS;
    UniqueFileHandle pipe = OpenWithRetries(_pipeName, error);
    if (!pipe) {
        _recorder.Line("SENT " + label + " failed " + std::to_string(error));
        return;
    }
    DWORD mode = PIPE_READMODE_MESSAGE;
    SetNamedPipeHandleState(pipe.get(), &mode, nullptr, nullptr);
    DWORD written = 0;
    if (!WriteFile(pipe.get(), text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)),
                   &written, nullptr)) {
        _recorder.Line("SENT " + label + " failed " + std::to_string(GetLastError()));
        return;
    }
    char reply[4096];
    DWORD read = 0;
    if (ReadFile(pipe.get(), reply, sizeof(reply), &read, nullptr) || GetLastError() == ERROR_MORE_DATA)
        _recorder.Line("SENT " + label + " ok reply " + std::to_string(read));
    else
        _recorder.Line("SENT " + label + " ok no-reply " + std::to_string(GetLastError()));
}

} // namespace HxUIStandIn
