// credential_filler: plays the product component that places a recognised user's credentials in the
// provider's sections.
//
//   credential_filler fill --domain D --user U --password P [--machine]
//       writes the three protected texts into the sections the provider created
//   credential_filler create --domain D --user U --password P [--machine] [--hold-seconds N]
//       creates the sections itself (a switch of user before any provider exists), fills them and keeps
//       them alive for N seconds (default 60) or until the event "HxCredentialFillerRelease" is set
//   credential_filler clear
//       zeros the domain, user and password sections

#include "CredentialSections.h"

#include <cstdio>
#include <string>

namespace {

struct Options {
    std::wstring command, domain, user, password;
    HxFiller::ProtectOptions protect;
    DWORD holdSeconds = 60;
    bool valid = true;
};

Options Parse(int argc, wchar_t** argv) {
    Options options;
    options.valid = argc >= 2;
    if (options.valid)
        options.command = argv[1];
    for (int i = 2; i < argc && options.valid; ++i) {
        const std::wstring arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == L"--domain" && hasValue)
            options.domain = argv[++i];
        else if (arg == L"--user" && hasValue)
            options.user = argv[++i];
        else if (arg == L"--password" && hasValue)
            options.password = argv[++i];
        else if (arg == L"--hold-seconds" && hasValue)
            options.holdSeconds = wcstoul(argv[++i], nullptr, 10);
        else if (arg == L"--machine")
            options.protect.machineScope = true;
        else
            options.valid = false;
    }
    return options;
}

int Report(const char* step, DWORD error) {
    if (error == ERROR_SUCCESS)
        return 0;
    std::fprintf(stderr, "credential_filler: %s failed with error %lu\n", step, error);
    return 1;
}

int Fill(const Options& options) {
    if (int failed = Report("domain", HxFiller::FillSection(HxFiller::kDomainSection, options.domain, options.protect)))
        return failed;
    if (int failed = Report("user", HxFiller::FillSection(HxFiller::kUserSection, options.user, options.protect)))
        return failed;
    // The password is never printed.
    return Report("password", HxFiller::FillSection(HxFiller::kPasswordSection, options.password, options.protect));
}

int Clear() {
    for (const wchar_t* name : {HxFiller::kDomainSection, HxFiller::kUserSection, HxFiller::kPasswordSection})
        if (int failed = Report("clear", HxFiller::ClearSection(name)))
            return failed;
    return 0;
}

int CreateAndHold(const Options& options) {
    HxFiller::CreatedSections sections;
    if (int failed = Report("create", HxFiller::CreateSections(sections, true)))
        return failed;
    if (int failed = Fill(options))
        return failed;
    std::printf("credential_filler: sections filled, holding them for %lu s\n", options.holdSeconds);
    std::fflush(stdout);
    Corvani::Nuv::Platform::UniqueHandle release(CreateEventW(nullptr, TRUE, FALSE, L"HxCredentialFillerRelease"));
    WaitForSingleObject(release.get(), options.holdSeconds * 1000);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const Options options = Parse(argc, argv);
    if (options.valid && options.command == L"fill")
        return Fill(options);
    if (options.valid && options.command == L"create")
        return CreateAndHold(options);
    if (options.valid && options.command == L"clear")
        return Clear();
    std::fprintf(stderr, "usage: credential_filler fill|create|clear [--domain D] [--user U] [--password P] "
                         "[--machine] [--hold-seconds N]\n");
    return 2;
}
