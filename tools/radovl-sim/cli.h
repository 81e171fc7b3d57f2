// The command line of radovl-sim: a table of subcommands and one option
// parser they all use, with the conventions of other command-line tools:
//   --opt=value or --opt value; -x short forms; "--" ends the options;
//   "-" alone is an operand (standard input); CMD --help and help CMD.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace radovl::tool {

// Exit statuses of every subcommand.
constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;  // the run failed: an expectation, a status, an output not written
constexpr int ExitUsage = 2;   // bad command line or scenario: nothing was run

struct OptionSpec {
    const char* name;     // "trace" for --trace
    char shortName;       // 'q' for -q, 0 for none
    const char* value;    // "FILE" when the option takes a value, nullptr for a flag
    const char* help;
};

struct ParsedArgs {
    std::vector<std::string> operands;
    std::vector<std::pair<std::string, std::string>> options;  // name, value ("" for a flag), in order
    bool help = false;                                         // --help or -h was given
    bool Has(const std::string& name) const;
    // The last value given, if the option was given.
    std::optional<std::string> Value(const std::string& name) const;
};

// Parses the arguments after the subcommand. False with a message in
// *error ("unknown option --trce (did you mean --trace?)",
// "--trace needs a value").
bool ParseArgs(const std::vector<std::string>& args, const std::vector<OptionSpec>& known, ParsedArgs* parsed,
               std::string* error);

struct Command {
    const char* name;
    const char* operands;  // "SCENARIO", "[PATTERN]"
    const char* summary;   // one line for the command list
    const char* details;   // paragraphs for `help CMD`, may be ""
    std::vector<OptionSpec> options;
    int (*run)(const ParsedArgs& args, std::ostream& out, std::ostream& err);
    // A command that reads its own arguments: argv[1] is its name.
    int (*runRaw)(int argc, char** argv);
};

// Writes "usage: radovl-sim CMD [OPTIONS] OPERANDS", the details and the
// options with their help.
void CommandHelp(const Command& command, std::ostream& os);

// Parses the subcommand's arguments and runs it: --help prints its help
// (exit 0), a bad option prints the message and the usage line (exit 2).
int RunCommand(const Command& command, const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Whole numbers for option values: decimal or 0x hex, within [low, high].
std::optional<uint64_t> OptionNumber(const std::string& text, uint64_t low, uint64_t high);

}  // namespace radovl::tool
