#pragma once
// The tools' command lines through CLI11, which reads UTF-8: wmain's arguments are converted once, and the
// options that the tools keep as UTF-16 are converted back as they are taken. Numbers are decimal only;
// an option given again replaces its earlier value, as the tools' callers rely on; --help is the only help
// option (-h is one of the UI application's own).

#include <windows.h>

#include "common/Utf8Text.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace HxTools {

class CommandLine : public CLI::App {
public:
    CommandLine(const std::string& description, const std::string& name) : CLI::App(description, name) {
        set_help_flag("--help", "Print this help and exit");
        option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    }

    // A number in the range of `Value`, in decimal digits.
    template <typename Value>
    CLI::Option* Number(const std::string& name, Value& target, const std::string& help) {
        static const CLI::Validator decimal(
            [](std::string& text) {
                if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
                    return "not a decimal number: " + text;
                if (text.size() > 19 || std::stoull(text) > std::numeric_limits<Value>::max())
                    return "more than " + std::to_string(std::numeric_limits<Value>::max()) + ": " + text;
                return std::string();
            },
            "");
        return add_option(name, target, help)->check(decimal)->capture_default_str()->type_name("N");
    }

    CLI::Option* Text(const std::string& name, std::wstring& target, const std::string& help) {
        return add_option_function<std::string>(
            name, [&target](const std::string& value) { target = ToWideText(value); }, help);
    }

    // An option that may be given again and again: `take` gets each value in order, and throws a
    // CLI::ValidationError for a bad one.
    CLI::Option* Each(const std::string& name, std::function<void(const std::wstring&)> take,
                      const std::string& help) {
        const auto each = [take](const CLI::results_t& values) {
            for (const std::string& value : values)
                take(ToWideText(value));
            return true;
        };
        return add_option(name, each, help)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
            ->type_name("TEXT");
    }

    // An option of three values: DOMAIN USER PASSWORD.
    CLI::Option* Credentials(const std::string& name, std::wstring& domain, std::wstring& user,
                             std::wstring& password, const std::string& help) {
        const auto take = [&domain, &user, &password](const CLI::results_t& values) {
            domain = ToWideText(values[0]);
            user = ToWideText(values[1]);
            password = ToWideText(values[2]);
            return true;
        };
        return add_option(name, take, help)->type_size(3)->type_name("DOMAIN USER PASSWORD");
    }

    // Parses `arguments` (the program's name left out). The exit status when the command line ends the run:
    // 0 after --help (printed), 2 after a bad option or value (its error printed); nothing when it goes on.
    std::optional<int> Parse(const std::vector<std::wstring>& arguments) {
        std::vector<std::string> reversed; // the order CLI::App::parse takes
        for (auto argument = arguments.rbegin(); argument != arguments.rend(); ++argument)
            reversed.push_back(ToUtf8Text(*argument));
        try {
            parse(reversed);
        } catch (const CLI::ParseError& error) {
            return CLI::App::exit(error) == 0 ? 0 : 2;
        }
        return std::nullopt;
    }
};

} // namespace HxTools
