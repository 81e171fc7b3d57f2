// The command line of radovl-sim: a table of commands, each declaring its
// operands and options, and the one parser they all go through:
//   --opt=value or --opt value; -x short forms; "--" ends the options;
//   "-" alone is an operand (standard input); CMD --help and help CMD.
// An option takes one value, or several words (--monitor L T R B, or
// --monitor=L,T,R,B). An option given twice is refused, unless it is one
// that adds up (--monitor): "last wins" would hide a mistyped line.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace radovl::tool {

// Exit statuses of every command.
constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;  // the command's own failure or difference (each command's help says which)
constexpr int ExitUsage = 2;   // bad command line or unusable input: nothing was done
// "exit status:" and a line for each; failure: what 1 means, nullptr for none.
void ExitStatusHelp(const char* failure, std::ostream& os);

struct OptionSpec {
    const char* name;     // "trace" for --trace
    char shortName;       // 'q' for -q, 0 for none
    const char* value;    // "FILE" when the option takes a value, nullptr for a flag
    const char* help;
    int words = 1;            // value words: 4 for --monitor L T R B
    bool repeatable = false;  // may be given more than once, every value kept
};

struct ParsedArgs {
    std::vector<std::string> operands;
    std::vector<std::pair<std::string, std::string>> options;  // name, value ("" for a flag), in order;
                                                               // several words joined by one blank
    bool help = false;                                         // --help or -h was given
    bool Has(const std::string& name) const;
    std::optional<std::string> Value(const std::string& name) const;
    std::vector<std::string> Values(const std::string& name) const;  // a repeatable option's, in order
};

struct Command {
    const char* name;
    const char* operands;  // "SCENARIO", "[PATTERN]", "A B"
    size_t minOperands, maxOperands;
    const char* summary;   // one line for the command list
    const char* details;   // paragraphs for `help CMD`, may be ""
    const char* failure;   // what exit status 1 means for it, nullptr when it never fails so
    std::vector<OptionSpec> options;
    int (*run)(const ParsedArgs& args, std::ostream& out, std::ostream& err);
};

// Parses the arguments after the command's name. False with a message in
// *error ("unknown option --trce (did you mean --trace?)", "--trace needs a
// value (FILE)", "missing SCENARIO").
bool ParseArgs(const std::vector<std::string>& args, const Command& command, ParsedArgs* parsed, std::string* error);

// "usage: radovl-sim CMD [OPTIONS] OPERANDS", the details, the options with
// their help and the exit statuses.
void CommandHelp(const Command& command, std::ostream& os);

// Parses the command's arguments and runs it: --help prints its help
// (exit 0), a bad command line prints the message and the usage line (exit 2).
int RunCommand(const Command& command, const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// A usage error found by the command itself (a value out of range): the
// message and the usage line on err; ExitUsage.
int UsageError(const Command& command, const std::string& message, std::ostream& err);

// A whole number for an option value, within [low, high].
std::optional<int64_t> OptionNumber(const std::string& text, int64_t low, int64_t high);
// The numbers of a several-word option value ("0 0 1280 1024"), each within
// [low, high]; nullopt unless there are exactly count of them.
std::optional<std::vector<int64_t>> OptionNumbers(const std::string& text, size_t count, int64_t low, int64_t high);

}  // namespace radovl::tool
