// radovl-sim: runs console scenarios on the simulated board, decodes the
// driver trace and draws what the board's outputs show.
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "capture_commands.h"
#include "demo_programs.h"
#include "radovl/version.h"
#include "exports_table.h"
#include "runner.h"
#include "scenario.h"

namespace {

using namespace radovl::tool;

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

void Usage(std::ostream& os) {
    os << "usage: radovl-sim run SCENARIO [--trace FILE] [--render FILE.png|FILE.svg] [--quiet]\n"
          "       radovl-sim make-programs [--dir DIR] [--size BYTES]\n"
          "       radovl-sim exports\n"
          "       radovl-sim decode|replay|diff CAPTURE... (below)\n"
          "       radovl-sim --version | --help\n"
          "\n"
          "run            plays a scenario on the simulated board: one step a line, '#' comments.\n"
          "               Steps: any export by name with its arguments, optionally '= STATUS';\n"
          "               monitor L T R B | monitor none; screen L T R B;\n"
          "               board N absent|present|scratch-fault|scratch-ok; i2c-busy N;\n"
          "               fail-requests FIRST COUNT STATUS; executable PATH;\n"
          "               dismode-file N|none; make-programs [BYTES];\n"
          "               peek main ADDR | video CH ADDR | pci OFFSET | decoder CH REG;\n"
          "               expect ... VALUE; poke main|video CH ADDR VALUE; render FILE; trace on|off.\n"
          "               The simulated host executable is taken to be in the current directory,\n"
          "               so ./out holds the DSP programs and the display-mode file.\n"
          "  --trace FILE   decoded driver trace of the calls (all calls; 'trace off' pauses it)\n"
          "  --render FILE  draws the board's outputs at the end of the run\n"
          "  --quiet        prints only failures and errors\n"
          "make-programs  writes the demo's DSP program files under DIR/out (default: .)\n"
          "exports        lists the fifty exports and their parameters\n";
    CaptureUsage(os);
}

bool TakeValue(int argc, char** argv, int* i, std::string* value) {
    if (*i + 1 >= argc) {
        std::cerr << "radovl-sim: " << argv[*i] << " needs a value\n";
        return false;
    }
    *value = argv[++*i];
    return true;
}

int Run(int argc, char** argv) {
    std::string scenarioPath;
    RunOptions options;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--trace") {
            if (!TakeValue(argc, argv, &i, &options.traceFile)) return ExitUsage;
        } else if (arg == "--render") {
            if (!TakeValue(argc, argv, &i, &options.renderFile)) return ExitUsage;
        } else if (arg == "--quiet" || arg == "-q") {
            options.quiet = true;
        } else if (!arg.empty() && arg[0] == '-') {
            std::cerr << "radovl-sim: unknown option " << arg << "\n";
            return ExitUsage;
        } else if (scenarioPath.empty()) {
            scenarioPath = arg;
        } else {
            std::cerr << "radovl-sim: one scenario at a time (" << scenarioPath << ", " << arg << ")\n";
            return ExitUsage;
        }
    }
    if (scenarioPath.empty()) {
        std::cerr << "radovl-sim: run needs a scenario file\n";
        Usage(std::cerr);
        return ExitUsage;
    }
    const ParseResult parsed = ParseScenarioFile(scenarioPath);
    if (!parsed.ok()) {
        constexpr size_t Shown = 20;
        for (size_t i = 0; i < parsed.errors.size() && i < Shown; ++i) std::cerr << parsed.errors[i] << "\n";
        if (parsed.errors.size() > Shown) std::cerr << "... and " << parsed.errors.size() - Shown << " more\n";
        std::cerr << "radovl-sim: " << parsed.errors.size() << (parsed.errors.size() == 1 ? " error" : " errors")
                  << " in " << scenarioPath << "; nothing was run\n";
        return ExitUsage;
    }
    Runner runner(options, std::cout, std::cerr);
    return runner.Run(parsed.scenario) == 0 ? ExitOk : ExitFailed;
}

int MakePrograms(int argc, char** argv) {
    std::string dir = ".";
    std::string size;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dir") {
            if (!TakeValue(argc, argv, &i, &dir)) return ExitUsage;
        } else if (arg == "--size") {
            if (!TakeValue(argc, argv, &i, &size)) return ExitUsage;
        } else {
            std::cerr << "radovl-sim: unknown argument " << arg << "\n";
            return ExitUsage;
        }
    }
    uint32_t bytes = DefaultDisplayProgramBytes;
    if (!size.empty()) {
        char* end = nullptr;
        const unsigned long long v = std::strtoull(size.c_str(), &end, 0);
        if (end == size.c_str() || *end != '\0' || v < 4 || v > 64ull * 1024 * 1024) {
            std::cerr << "radovl-sim: --size takes a byte count from 4 to 67108864, not " << size << "\n";
            return ExitUsage;
        }
        bytes = static_cast<uint32_t>(v);
    }
    std::string error;
    const std::vector<ProgramFile> files = WriteDemoPrograms(dir, bytes, &error);
    if (files.empty()) {
        std::cerr << "radovl-sim: " << error << "\n";
        return ExitFailed;
    }
    for (const ProgramFile& f : files) std::cout << "wrote " << f.path << " (" << Grouped(f.bytes) << " bytes loaded)\n";
    return ExitOk;
}

int ListExports() {
    for (const ExportInfo& e : Exports()) {
        std::cout << e.name << "(";
        for (size_t i = 0; i < e.params.size(); ++i) {
            std::cout << (i == 0 ? "" : ", ") << e.params[i] << (e.kinds[i] == ParamKind::Float ? ":float" : "");
        }
        std::cout << ")\n";
    }
    return ExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        Usage(std::cerr);
        return ExitUsage;
    }
    const std::string command = argv[1];
    if (command == "--version" || command == "version") {
        std::cout << "radovl-sim " << RADOVL_VERSION_STRING << "\n";
        return ExitOk;
    }
    if (command == "--help" || command == "-h" || command == "help") {
        Usage(std::cout);
        return ExitOk;
    }
    if (command == "run") return Run(argc, argv);
    if (command == "make-programs") return MakePrograms(argc, argv);
    if (command == "exports") return ListExports();
    if (command == "decode") return DecodeCommand(argc, argv);
    if (command == "replay") return ReplayCommand(argc, argv);
    if (command == "diff") return DiffCommand(argc, argv);
    std::cerr << "radovl-sim: unknown command '" << command << "'\n";
    Usage(std::cerr);
    return ExitUsage;
}
