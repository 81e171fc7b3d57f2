#include "cli/cli.h"

#include <sstream>

#include "text/text.h"

namespace radovl::tool {

void ExitStatusHelp(const char* failure, std::ostream& os) {
    os << "exit status:\n  0  done\n";
    if (failure != nullptr) os << "  1  " << failure << "\n";
    os << "  2  bad command line or unusable input: nothing was done\n";
}

namespace {

const OptionSpec* FindLong(const std::vector<OptionSpec>& known, const std::string& name) {
    for (const OptionSpec& s : known) {
        if (name == s.name) return &s;
    }
    return nullptr;
}

const OptionSpec* FindShort(const std::vector<OptionSpec>& known, char c) {
    for (const OptionSpec& s : known) {
        if (s.shortName != 0 && s.shortName == c) return &s;
    }
    return nullptr;
}

// The option whose name starts the same way, for a misspelt one.
std::string Suggest(const std::vector<OptionSpec>& known, const std::string& name) {
    for (const OptionSpec& s : known) {
        const std::string candidate = s.name;
        if (name.size() >= 2 && candidate.rfind(name.substr(0, 2), 0) == 0) return " (did you mean --" + candidate + "?)";
    }
    return std::string();
}

std::string UsageLine(const Command& command) {
    return std::string("usage: radovl-sim ") + command.name + (command.options.empty() ? "" : " [OPTIONS]") +
           (*command.operands != '\0' ? " " : "") + command.operands;
}

// An inline value of a several-word option: commas separate like blanks.
std::string Words(std::string value) {
    for (char& c : value) {
        if (c == ',') c = ' ';
    }
    return value;
}

}  // namespace

bool ParsedArgs::Has(const std::string& name) const { return !Values(name).empty(); }

std::optional<std::string> ParsedArgs::Value(const std::string& name) const {
    const std::vector<std::string> all = Values(name);
    if (all.empty()) return std::nullopt;
    return all.back();
}

std::vector<std::string> ParsedArgs::Values(const std::string& name) const {
    std::vector<std::string> values;
    for (const auto& [n, v] : options) {
        if (n == name) values.push_back(v);
    }
    return values;
}

bool ParseArgs(const std::vector<std::string>& args, const Command& command, ParsedArgs* parsed, std::string* error) {
    const std::vector<OptionSpec>& known = command.options;
    bool optionsEnd = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnd || arg == "-" || arg.empty() || arg[0] != '-') {
            parsed->operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnd = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            parsed->help = true;
            continue;
        }
        const OptionSpec* found = nullptr;
        std::optional<std::string> inlineValue;
        std::string shown = arg;
        if (arg.rfind("--", 0) == 0) {
            const size_t eq = arg.find('=');
            const std::string name = arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
            if (eq != std::string::npos) inlineValue = arg.substr(eq + 1);
            shown = "--" + name;
            found = FindLong(known, name);
            if (found == nullptr) {
                *error = "unknown option " + shown + Suggest(known, name);
                return false;
            }
        } else {
            found = arg.size() == 2 ? FindShort(known, arg[1]) : nullptr;
            if (found == nullptr) {
                *error = "unknown option " + arg;
                return false;
            }
        }
        if (!found->repeatable && parsed->Has(found->name)) {
            *error = shown + " is given twice";
            return false;
        }
        if (found->value == nullptr) {
            if (inlineValue) {
                *error = shown + " takes no value";
                return false;
            }
            parsed->options.emplace_back(found->name, "");
            continue;
        }
        std::string value;
        if (inlineValue) {
            value = found->words > 1 ? Words(*inlineValue) : *inlineValue;
        } else {
            const size_t words = static_cast<size_t>(found->words);
            if (args.size() - i - 1 < words) {
                *error = shown + " needs a value (" + found->value + ")";
                return false;
            }
            for (size_t k = 0; k < words; ++k) value += (k == 0 ? "" : " ") + args[++i];
        }
        if (value.empty()) {
            *error = shown + " needs a value (" + found->value + "), not an empty one";
            return false;
        }
        parsed->options.emplace_back(found->name, value);
    }
    if (parsed->help) return true;
    if (parsed->operands.size() < command.minOperands) {
        *error = std::string("missing ") + command.operands;
        return false;
    }
    if (parsed->operands.size() > command.maxOperands) {
        *error = "unexpected argument " + parsed->operands[command.maxOperands];
        return false;
    }
    return true;
}

void CommandHelp(const Command& command, std::ostream& os) {
    os << UsageLine(command) << "\n\n" << command.summary << "\n";
    if (*command.details != '\0') os << "\n" << command.details;
    if (!command.options.empty()) os << "\noptions:\n";
    for (const OptionSpec& o : command.options) {
        std::string left = std::string("  ") + (o.shortName != 0 ? std::string("-") + o.shortName + ", " : "") + "--" +
                           o.name + (o.value != nullptr ? std::string(" ") + o.value : "");
        if (left.size() < 24) left.resize(24, ' ');
        else left += "\n" + std::string(24, ' ');
        os << left << o.help << (o.repeatable ? " (may be repeated)" : "") << "\n";
    }
    os << "  -h, --help            this help\n\n";
    ExitStatusHelp(command.failure, os);
}

int UsageError(const Command& command, const std::string& message, std::ostream& err) {
    err << "radovl-sim " << command.name << ": " << message << "\n"
        << UsageLine(command) << "   (radovl-sim help " << command.name << ")\n";
    return ExitUsage;
}

int RunCommand(const Command& command, const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ParsedArgs parsed;
    std::string error;
    if (!ParseArgs(args, command, &parsed, &error)) return UsageError(command, error, err);
    if (parsed.help) {
        CommandHelp(command, out);
        return ExitOk;
    }
    return command.run(parsed, out, err);
}

std::optional<int64_t> OptionNumber(const std::string& text, int64_t low, int64_t high) {
    const std::optional<int64_t> v = ParseInteger(text);
    if (!v || *v < low || *v > high) return std::nullopt;
    return v;
}

std::optional<std::vector<int64_t>> OptionNumbers(const std::string& text, size_t count, int64_t low, int64_t high) {
    std::istringstream words(text);
    std::vector<int64_t> numbers;
    for (std::string word; words >> word;) {
        const std::optional<int64_t> v = OptionNumber(word, low, high);
        if (!v) return std::nullopt;
        numbers.push_back(*v);
    }
    if (numbers.size() != count) return std::nullopt;
    return numbers;
}

}  // namespace radovl::tool
