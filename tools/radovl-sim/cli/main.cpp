// radovl-sim: runs console scenarios on the simulated board, decodes the
// driver trace and draws what the board's outputs show.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "capture/commands.h"
#include "view/view_command.h"
#include "cli/cli.h"
#include "scenario/demo_programs.h"
#include "scenario/exports_table.h"
#include "radovl/version.h"
#include "boardview/register_names.h"
#include "picture/renderer.h"
#include "scenario/runner.h"
#include "scenario/scenario.h"
#include "text/output_file.h"
#include "text/text.h"

namespace {

using namespace radovl::tool;

// The run works in a directory of its own: a capture file named relative
// to the current directory (RADOVL_CAPTURE) must stay where it was meant.
// The absolute name, "" without a capture.
std::string KeepCaptureFileInPlace() {
    const char* capture = std::getenv("RADOVL_CAPTURE");
    if (capture == nullptr || *capture == '\0') return std::string();
    const std::string absolute = std::filesystem::absolute(capture).string();
    if (std::filesystem::path(capture).is_absolute()) return absolute;
#ifdef _WIN32
    _putenv_s("RADOVL_CAPTURE", absolute.c_str());
#else
    setenv("RADOVL_CAPTURE", absolute.c_str(), 1);
#endif
    return absolute;
}

int Run(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
    const std::string& scenarioPath = args.operands[0];
    RunOptions options;
    options.traceFile = args.Value("trace").value_or("");
    options.renderFile = args.Value("render").value_or("");
    options.workDir = args.Value("workdir").value_or("");
    options.quiet = args.Has("quiet");
    options.captureFile = KeepCaptureFileInPlace();
    if (const std::optional<std::string> limit = args.Value("trace-limit")) {
        const std::optional<int64_t> n = OptionNumber(*limit, 0, UINT32_MAX);
        if (!n) {
            err << "radovl-sim run: --trace-limit takes a request count from 0 (no limit) to 4294967295, not " << *limit
                << "\n";
            return ExitUsage;
        }
        options.traceLimit = static_cast<uint32_t>(*n);
    }
    const ParseResult parsed = ParseScenarioFile(scenarioPath);
    if (!parsed.ok()) {
        constexpr size_t Shown = 20;
        for (size_t i = 0; i < parsed.errors.size() && i < Shown; ++i) err << parsed.errors[i] << "\n";
        if (parsed.errorCount > Shown) err << "... and " << parsed.errorCount - Shown << " more\n";
        err << "radovl-sim: " << parsed.errorCount << (parsed.errorCount == 1 ? " error" : " errors") << " in "
            << parsed.scenario.file << "; nothing was run\n";
        return ExitUsage;
    }
    const std::string clash = OutputClash(parsed.scenario, options);
    if (!clash.empty()) {
        err << "radovl-sim run: " << clash << "; nothing was run\n";
        return ExitUsage;
    }
    Runner runner(options, out, err);
    return runner.Run(parsed.scenario) == 0 ? ExitOk : ExitFailed;
}

int MakePrograms(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
    uint32_t bytes = DefaultDisplayProgramBytes;
    if (const std::optional<std::string> size = args.Value("size")) {
        const std::optional<int64_t> n = OptionNumber(*size, 4, MaxDisplayProgramBytes);
        if (!n) {
            err << "radovl-sim make-programs: --size takes a byte count from 4 to " << MaxDisplayProgramBytes
                << ", not " << *size << "\n";
            return ExitUsage;
        }
        bytes = static_cast<uint32_t>(*n);
    }
    std::string error;
    const std::vector<ProgramFile> files = WriteDemoPrograms(args.Value("dir").value_or("."), bytes, &error);
    if (files.empty()) {
        err << "radovl-sim make-programs: " << error << "\n";
        return ExitFailed;
    }
    for (const ProgramFile& f : files) out << "wrote " << f.path << " (" << Grouped(f.bytes) << " bytes loaded)\n";
    return ExitOk;
}

int ListExports(const ParsedArgs&, std::ostream& out, std::ostream&) {
    for (const ExportInfo& e : Exports()) {
        out << e.name << "(";
        for (size_t i = 0; i < e.params.size(); ++i) {
            out << (i == 0 ? "" : ", ") << e.params[i] << (e.kinds[i] == ParamKind::Float ? ":float" : "");
        }
        out << ")\n";
    }
    return ExitOk;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

const char* SpaceName(RegisterSpace space) {
    switch (space) {
        case RegisterSpace::Main: return "main";
        case RegisterSpace::Video: return "video";
        case RegisterSpace::Pci: return "pci";
    }
    return "?";
}

int ListRegisters(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
    const std::string pattern = args.operands.empty() ? std::string() : Lower(args.operands[0]);
    size_t shown = 0;
    for (const ListedRegister& r : AllRegisters()) {
        const std::string name = r.reg.name;
        if (!pattern.empty() && Lower(name).find(pattern) == std::string::npos) continue;
        std::string line = std::string(SpaceName(r.space));
        line.resize(5, ' ');
        line += "  " + Hex(r.reg.address) + "  " +
                           (r.count > 1 ? name.substr(0, name.size() - 3) + "[0.." + std::to_string(r.count - 1) + "]"
                                        : name);
        const std::string fields = FieldNames(r.reg);
        if (!fields.empty()) {
            if (line.size() < 44) line.resize(44, ' ');
            line += "  " + fields;
        }
        out << line << "\n";
        ++shown;
    }
    if (shown == 0) {
        err << "radovl-sim registers: no register name contains '" << args.operands[0] << "'\n";
        return ExitFailed;
    }
    return ExitOk;
}

const char* RunDetails =
    "Plays a scenario on the simulated board: one step a line, '#' starts a comment.\n"
    "Steps: any export by name with its arguments, optionally '= STATUS' (a number, or\n"
    "DONE, BAD_ARGUMENT, NOT_INITIALISED); monitor L T R B | monitor none; screen L T R B;\n"
    "board N absent|present|scratch-fault|scratch-ok; i2c-busy N;\n"
    "fail-requests FIRST COUNT STATUS; executable PATH; dismode-file N|none;\n"
    "make-programs [BYTES]; peek main ADDR | video CH ADDR | pci OFFSET | decoder CH REG;\n"
    "expect ... VALUE; poke main|video CH ADDR VALUE; render FILE; trace on|off.\n"
    "Paths in a scenario are relative to the scenario file; quote paths with blanks.\n"
    "SCENARIO - reads the scenario from standard input (paths then relative to the\n"
    "current directory). The full reference: docs/scenario-language.md.\n"
    "\n"
    "Each run works in a private directory of its own, removed afterwards: the simulated\n"
    "console executable lives there, and its out/ holds the DSP programs (make-programs)\n"
    "and the display-mode file (dismode-file). --workdir chooses and keeps the directory.\n"
    "RADOVL_CAPTURE may not name the scenario, an output of the run, the console or its\n"
    "out/ files: the run is refused (exit 2).\n";

const char* DecodeDetails =
    "Each call of a capture the library wrote (RADOVL_CAPTURE=FILE) and its requests,\n"
    "decoded as --trace decodes them. A file cut short decodes up to its last whole record.\n";

const char* ReplayDetails =
    "Makes the captured calls again on the simulated board and reports the first request\n"
    "that differs from the capture, decoded with the requests around it. A read the capture\n"
    "holds next gets the captured value (--board-answers: the simulated board's); a request\n"
    "the site's driver failed fails again. A version 2 capture holds the site's monitors,\n"
    "screen, DSP programs and display-mode file: replay uses them (--monitor and --screen\n"
    "override them and say so). For a version 1 capture give the monitors and screen (default\n"
    "one 1280x1024 monitor) and run it where ./out holds the site's files.\n"
    "With --render, the captured requests are applied to a fresh simulated board instead\n"
    "and its outputs drawn, at the end of the capture or after call --at N.\n";

int Help(const ParsedArgs& args, std::ostream& out, std::ostream& err);

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"run", "SCENARIO", 1, 1, "Plays a scenario on the simulated board.", RunDetails,
         "a step failed, an expectation did not hold or an output could not be written",
         {{"trace", 0, "FILE", "decoded driver trace of the calls ('trace off' in the scenario pauses it)"},
          {"trace-limit", 0, "N", "requests of one call written to the trace at most (default 2000000; 0: all)"},
          {"render", 0, "FILE", RenderFormatsHelp},
          {"workdir", 0, "DIR", "work in DIR (created if missing) and keep it, instead of a private directory"},
          {"quiet", 'q', nullptr,
           "prints only failures and errors: not the steps, nor the library's lines other than its warnings and "
           "errors"}},
         Run},
        {"make-programs", "", 0, 0, "Writes the demo's DSP program files under DIR/out.", "",
         "a file could not be written",
         {{"dir", 0, "DIR", "where out/ goes (default: the current directory)"},
          {"size", 0, "BYTES", "code bytes of the display program (default 16384, at most 67108864)"}},
         MakePrograms},
        {"exports", "", 0, 0, "Lists the fifty exports and their parameters.", "", nullptr, {}, ListExports},
        {"registers", "[PATTERN]", 0, 1, "Lists the register map: space, address, name and decoded fields.",
         "PATTERN keeps the names that contain it, ignoring case (e.g. 'radovl-sim registers ppi').\n"
         "These names go wherever a scenario takes an address: expect main PpiStart[1] 0x003C0076.\n",
         "no register name contains PATTERN", {}, ListRegisters},
        {"decode", "CAPTURE", 1, 1, "Decodes a capture file the library wrote.", DecodeDetails,
         "the file is not a capture, or stops before its end",
         {{"calls", 0, nullptr, "one line per call, written as a scenario line (--format=calls)"},
          {"format", 0, "FORMAT",
           "text (default), calls, chrome-trace (trace-event JSON for a timeline viewer), vcd (the named "
           "registers over time for a waveform viewer) or jsonl (one JSON object a record)"}},
         DecodeCommand},
        {"replay", "CAPTURE", 1, 1, "Makes a capture's calls again on the simulated board, or draws it.",
         ReplayDetails, "the replay differs from the capture",
         {{"monitor", 0, "L T R B", "a monitor of the site (also --monitor=L,T,R,B)", 4, true},
          {"screen", 0, "L T R B", "the site's screen clip box", 4},
          {"board-answers", 0, nullptr, "reads answered by the simulated board, not from the capture"},
          {"render", 0, "FILE", "draws the board's outputs instead of comparing: FILE.png or FILE.svg"},
          {"at", 0, "N", "with --render: after call N, not at the end of the capture"}},
         ReplayCommand},
        {"view", "FILE", 1, 1, "Shows a capture (or a scenario run with one) in the browser.", ViewDetails,
         "the server could not start, or this build has none",
         {{"port", 0, "N", "listen on 127.0.0.1:N (default 0: any free port)"},
          {"follow", 0, nullptr, "follow calls appended to the capture while it is written"},
          {"workdir", 0, "DIR", "a scenario's work directory, where its capture goes (default: a new one)"}},
         ViewCommand},
        {"diff", "A B", 2, 2, "The first call and request at which two captures differ.",
         "The difference is decoded with the requests of each side around it.\n", "the captures differ", {},
         DiffCommand},
        {"help", "[COMMAND]", 0, 1, "This list, or a command's help (also COMMAND --help).", "", nullptr, {}, Help},
    };
    return commands;
}

const Command* FindCommand(const std::string& name) {
    for (const Command& c : Commands()) {
        if (name == c.name) return &c;
    }
    return nullptr;
}

void Usage(std::ostream& os) {
    os << "usage: radovl-sim COMMAND [OPTIONS] [ARGUMENTS]\n\ncommands:\n";
    for (const Command& c : Commands()) {
        std::string left = std::string("  ") + c.name + " " + c.operands;
        if (left.size() < 26) left.resize(26, ' ');
        os << left << c.summary << "\n";
    }
    os << "  --version               the version\n"
          "\nOptions: --opt=value or --opt value; -- ends the options; an option given twice is\n"
          "refused, but for those that add up (replay --monitor).\n\n";
    ExitStatusHelp("the command's own failure or difference (radovl-sim help COMMAND says which)", os);
    os << "\nradovl-sim run --help tells how to write a scenario.\n";
}

int Help(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
    if (args.operands.empty()) {
        Usage(out);
        return ExitOk;
    }
    if (const Command* c = FindCommand(args.operands[0])) {
        CommandHelp(*c, out);
        return ExitOk;
    }
    err << "radovl-sim help: no command '" << args.operands[0] << "'\n";
    Usage(err);
    return ExitUsage;
}

int Dispatch(const std::vector<std::string>& args) {
    if (args.empty()) {
        Usage(std::cerr);
        return ExitUsage;
    }
    std::string command = args[0];
    if (command == "--version" || command == "version") {
        std::cout << "radovl-sim " << RADOVL_VERSION_STRING << "\n";
        return ExitOk;
    }
    if (command == "--help" || command == "-h") command = "help";
    if (const Command* c = FindCommand(command)) {
        return RunCommand(*c, std::vector<std::string>(args.begin() + 1, args.end()), std::cout, std::cerr);
    }
    std::cerr << "radovl-sim: unknown command '" << command << "'\n";
    Usage(std::cerr);
    return ExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    int status = ExitFailed;
    // Ctrl-C stops a run where it is and removes what it half wrote; view
    // takes Ctrl-C itself, as the way to stop its server (exit 0).
#ifdef _WIN32
    if (argc >= 2 && std::string(argv[1]) == RemoveAfterExitCommand) return RemoveAfterExit(argc, argv);
#endif
    if (argc < 2 || std::string(argv[1]) != "view") HandleInterrupts();
    try {
        status = Dispatch(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::bad_alloc&) {
        std::cerr << "radovl-sim: out of memory\n";
    } catch (const std::exception& e) {
        std::cerr << "radovl-sim: " << e.what() << "\n";
    }
    // Output that never arrived (a full disk, a closed pipe) is a failure.
    errno = 0;
    std::cout.flush();
    if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::cerr << "radovl-sim: cannot write the standard output"
                  << (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string()) << "\n";
        if (status == ExitOk) status = ExitFailed;
    }
    return status;
}
