#include "HostOptions.h"

#include "common/CommandLine.h"
#include "platform/ProviderClsid.h"

#include <map>

namespace HxHost {

namespace {

const std::map<std::string, CREDENTIAL_PROVIDER_USAGE_SCENARIO> kScenarios = {
    {"logon", CPUS_LOGON},
    {"unlock", CPUS_UNLOCK_WORKSTATION},
    {"changepassword", CPUS_CHANGE_PASSWORD},
    {"credui", CPUS_CREDUI},
    {"plap", CPUS_PLAP}};

// "message-type=N", "disconnect" or "commands=SHOW,HIDE,...".
void TakeExpectation(const std::wstring& text, RoadExpectation& expect) {
    const std::wstring type = text.rfind(L"message-type=", 0) == 0 ? text.substr(13) : L"";
    if (!type.empty() && type.size() < 10 && type.find_first_not_of(L"0123456789") == std::wstring::npos) {
        expect.messageType = std::stoi(type);
    } else if (text == L"disconnect") {
        expect.disconnect = true;
    } else if (text.rfind(L"commands=", 0) == 0) {
        for (size_t begin = 9; begin <= text.size();) {
            const size_t comma = text.find(L',', begin);
            const size_t end = comma == std::wstring::npos ? text.size() : comma;
            if (end > begin)
                expect.commands.push_back(text.substr(begin, end - begin));
            begin = end + 1;
        }
    } else {
        throw CLI::ValidationError("--expect", "not message-type=N, disconnect or commands=SHOW,HIDE,...: " +
                                                   HxTools::ToUtf8Text(text));
    }
}

void TakeClsid(const std::string& text, CLSID& clsid) {
    if (FAILED(CLSIDFromString(HxTools::ToWideText(text).c_str(), &clsid)))
        throw CLI::ValidationError("--clsid", "not a class id {GUID}: " + text);
}

} // namespace

std::optional<int> ParseHostOptions(int argc, wchar_t** argv, HostOptions& options) {
    options.clsid = Corvani::Nuv::CredentialProvider::CLSID_NuvProvider;
    HxTools::CommandLine line(
        "Drives a credential provider through COM as LogonUI does and prints what LogonUI "
        "would show; a call that hangs or crashes ends the run with a verdict naming it.",
        "hxhost");
    line.add_option_function<std::string>(
            "--clsid", [&options](const std::string& text) { TakeClsid(text, options.clsid); },
            "The provider's class id (default: this product's)")
        ->type_name("{GUID}");
    line.add_option_function<std::string>(
            "--scenario", [&options](const std::string& name) { options.scenario = kScenarios.at(name); },
            "The usage scenario (default: logon)")
        ->check(CLI::IsMember(kScenarios).description(""))
        ->type_name("logon|unlock|changepassword|credui|plap");
    line.Number("--lang", options.language, "The UI language id (0: the thread's own)");
    line.add_flag("--scenarios", options.probeScenarios,
                  "Ask fresh instances which usage scenarios they support");
    line.Each(
        "--user", [&options](const std::wstring& user) { options.users.push_back(user); },
        "DOMAIN\\NAME[=SID]: a user shown besides the local one running the host (its SID looked up)");
    line.add_flag_callback(
        "--no-user-array", [&options] { options.userArray = false; },
        "Hand no user array to a provider that implements ICredentialProviderSetUserArray");
    line.Number("--tile", options.tile,
                "The tile to select (default: the provider's default tile, or the first)");
    line.add_flag_callback(
        "--no-select", [&options] { options.select = false; }, "Select no tile");
    line.add_flag("--serialization", options.serialization, "Ask for the serialization as a submit would");
    line.add_flag("--logon-fails", options.logonFails, "Report STATUS_LOGON_FAILURE instead of success");
    line.Number("--call-bound", options.callBound, "Each call of the provider must return within N ms");
    line.add_flag("--verbose", options.verbose, "Print every call and its result, too");
    line.Text("--tile-picture", options.tilePicture, "PNG of the selected tile as LogonUI lays it out");
    line.Text("--splash-picture", options.splashPicture, "PNG of the splash window once it is up");
    line.Credentials(
        "--recognize", options.domain, options.user, options.password,
        "The UI application stand-in places these credentials and sends LOGON after its first SHOW");
    line.Number("--recognize-delay", options.recognitionDelay, "N ms from the first SHOW to the recognition");
    line.Text("--standin-record", options.standInRecord,
              "Where the UI application stand-in records what it gets");
    line.add_flag("--lock-screen", options.lockScreen.upAtStart, "The lock screen is up at the start");
    line.Number("--dismiss-after", options.lockScreen.dismissAfter,
                "Dismiss the lock screen N ms after the selection (0: never)");
    line.Number("--lock-again-after", options.lockScreen.backAfter,
                "Lock again N ms after the dismissal (0: never)");
    line.Number("--dismiss-again-after", options.lockScreen.dismissAgainAfter,
                "Dismiss it again N ms after it came back (0: never)");
    line.Text("--road", options.road, "The walk-through's road: prints its story and verdict");
    line.Each(
        "--expect", [&options](const std::wstring& text) { TakeExpectation(text, options.expect); },
        "What the road must end with: message-type=N | disconnect | commands=SHOW,HIDE,...");
    line.Text("--log-dir", options.logDirectory,
              "The provider's trace log directory, named by a failed verdict");
    line.Number("--reselect-after", options.reselectAfter,
                "Deselect the tile once SHOW was accepted, and select it again N ms later");
    line.Number("--instances", options.instances,
                "N providers one after the other in this process, each with its verdict");
    line.Number("--advise-within", options.adviseBound,
                "Each later instance's Advise must return within N ms (0: any time)");
    if (const std::optional<int> exitCode = line.Parse({argv + 1, argv + argc}))
        return exitCode;
    options.clsidGiven = line.count("--clsid") > 0;
    options.recognize = line.count("--recognize") > 0;
    options.reselect = line.count("--reselect-after") > 0;
    return std::nullopt;
}

} // namespace HxHost
