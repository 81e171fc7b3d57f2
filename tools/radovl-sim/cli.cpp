#include "cli.h"

#include <cerrno>
#include <cstdlib>

namespace radovl::tool {
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
        if (!name.empty() && (candidate.rfind(name.substr(0, 2), 0) == 0)) return " (did you mean --" + candidate + "?)";
    }
    return std::string();
}

}  // namespace

bool ParsedArgs::Has(const std::string& name) const { return Value(name).has_value(); }

std::optional<std::string> ParsedArgs::Value(const std::string& name) const {
    std::optional<std::string> value;
    for (const auto& [n, v] : options) {
        if (n == name) value = v;
    }
    return value;
}

bool ParseArgs(const std::vector<std::string>& args, const std::vector<OptionSpec>& known, ParsedArgs* parsed,
               std::string* error) {
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
        if (found->value == nullptr) {
            if (inlineValue) {
                *error = shown + " takes no value";
                return false;
            }
            parsed->options.emplace_back(found->name, "");
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                *error = shown + " needs a value (" + found->value + ")";
                return false;
            }
            inlineValue = args[++i];
        }
        if (inlineValue->empty()) {
            *error = shown + " needs a value (" + found->value + "), not an empty one";
            return false;
        }
        parsed->options.emplace_back(found->name, *inlineValue);
    }
    return true;
}

void CommandHelp(const Command& command, std::ostream& os) {
    os << "usage: radovl-sim " << command.name << (command.options.empty() ? "" : " [OPTIONS]")
       << (*command.operands != '\0' ? " " : "") << command.operands << "\n\n"
       << command.summary << "\n";
    if (*command.details != '\0') os << "\n" << command.details;
    if (!command.options.empty()) os << "\noptions:\n";
    for (const OptionSpec& o : command.options) {
        std::string left = std::string("  ") + (o.shortName != 0 ? std::string("-") + o.shortName + ", " : "") + "--" +
                           o.name + (o.value != nullptr ? std::string("=") + o.value : "");
        if (left.size() < 24) left.resize(24, ' ');
        else left += "\n" + std::string(24, ' ');
        os << left << o.help << "\n";
    }
    os << "  -h, --help            this help\n";
}

int RunCommand(const Command& command, const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (command.runRaw != nullptr) {
        for (const std::string& a : args) {
            if (a == "--help" || a == "-h") {
                CommandHelp(command, out);
                return ExitOk;
            }
        }
        std::vector<std::string> words = {"radovl-sim", command.name};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(&w[0]);
        argv.push_back(nullptr);
        return command.runRaw(static_cast<int>(words.size()), argv.data());
    }
    ParsedArgs parsed;
    std::string error;
    if (!ParseArgs(args, command.options, &parsed, &error)) {
        err << "radovl-sim " << command.name << ": " << error << "\n"
            << "usage: radovl-sim " << command.name << (command.options.empty() ? "" : " [OPTIONS]") << " "
            << command.operands << "   (radovl-sim help " << command.name << ")\n";
        return ExitUsage;
    }
    if (parsed.help) {
        CommandHelp(command, out);
        return ExitOk;
    }
    return command.run(parsed, out, err);
}

std::optional<uint64_t> OptionNumber(const std::string& text, uint64_t low, uint64_t high) {
    if (text.empty() || text[0] == '-' || text[0] == '+' || text[0] == ' ') return std::nullopt;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(text.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || end == text.c_str() || *end != '\0' || v < low || v > high) return std::nullopt;
    return static_cast<uint64_t>(v);
}

}  // namespace radovl::tool
