#include "road/StandInRecord.h"

#include "common/Utf8Text.h"

#include "Console.h"
#include "road/TextFile.h"

#include <cstdlib>
#include <sstream>

namespace HxHost {

namespace {

// The value after `key=` in a START line.
std::string Field(const std::string& line, const std::string& key) {
    const size_t at = line.find(key + "=");
    if (at == std::string::npos)
        return std::string();
    const size_t begin = at + key.size() + 1;
    return line.substr(begin, line.find(' ', begin) - begin);
}

// "Command": "SHOW" in a received command.
std::wstring CommandName(const std::string& line) {
    const size_t key = line.find("\"Command\"");
    const size_t open = key == std::string::npos ? key : line.find('"', line.find(':', key));
    if (open == std::string::npos)
        return L"?";
    return HxTools::ToWideText(line.substr(open + 1, line.find('"', open + 1) - open - 1));
}

class Reader {
public:
    void Line(ULONGLONG tick, const std::string& text) {
        if (text.rfind("START ", 0) == 0) {
            _record.started = true;
            const bool hidden = Field(text, "hidden") == "1";
            Add(tick, L"UI application started, parameters \" -l " + HxTools::ToWideText(Field(text, "lang")) +
                          (hidden ? L" -h \" (hidden: the lock screen is up)" : L"\" (shown)"));
        } else if (text.rfind("RECV ", 0) == 0 && text.find('{') != std::string::npos) {
            _pending = CommandName(text);
            _record.commands.push_back(_pending);
        } else if (text.rfind("REPLY ", 0) == 0 && !_pending.empty()) {
            const bool show = _pending == L"SHOW" || _pending == L"CHANGEPASSWORD";
            _record.showAccepted = _record.showAccepted || show;
            if (show)
                _record.showAcceptedAt.push_back(tick);
            Add(tick, _pending + L" accepted by the UI application");
            _pending.clear();
        } else if (text.rfind("FILLED ", 0) == 0) {
            Add(tick, L"face recognised: the credentials of " + HxTools::ToWideText(text.substr(7)) + L" are in the sections");
        } else if (text == "SEND LOGON") {
            _record.logonSent = true;
            _logonSentAt = tick;
        } else if (text.rfind("SENT LOGON ok reply", 0) == 0) {
            _record.logonAnswered = true;
            Add(_logonSentAt, L"LOGON received by the provider (sent by the UI application, answered)");
        } else if (text.rfind("SENT LOGON", 0) == 0) {
            _record.logonFailure = HxTools::ToWideText(text);
        }
    }

    StandInRecord Take() { return std::move(_record); }

private:
    void Add(ULONGLONG tick, const std::wstring& text) { _record.events.push_back({tick, text}); }

    StandInRecord _record;
    std::wstring _pending; // received, not yet answered
    ULONGLONG _logonSentAt = 0;
};

} // namespace

StandInRecord ReadStandInRecord(const std::wstring& file) {
    Reader reader;
    std::istringstream lines(ReadSharedText(file));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t blank = line.find(' ');
        if (blank == std::string::npos)
            continue;
        reader.Line(std::strtoull(line.c_str(), nullptr, 10), line.substr(blank + 1));
    }
    return reader.Take();
}

bool InOrder(const std::vector<std::wstring>& commands, const std::vector<std::wstring>& wanted) {
    size_t next = 0;
    for (const std::wstring& command : commands)
        if (next < wanted.size() && command == wanted[next])
            ++next;
    return next == wanted.size();
}

} // namespace HxHost
