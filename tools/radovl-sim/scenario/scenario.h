// The scenario language: one step a line, '#' starts a comment.
//
//   KT_RDSP_OpenPPI 1 100 50 400 300 = 1    any export by name, its arguments
//   KT_RDSP_OpenPPI(1, 100, 50, 400, 300)   (C-style commas and parentheses too),
//                                           optionally "= N" or "= DONE": the status expected
//   monitor L T R B | monitor none          the first monitor line replaces the
//                                           default monitor, later ones add
//   screen L T R B                          the screen clip box
//   board N absent|present|scratch-fault|scratch-ok
//   i2c-busy N                              status reads busy after each command
//   fail-requests FIRST COUNT STATUS        fault for the next call's requests
//   executable PATH                         the host executable's path
//   dismode-file N | dismode-file none      writes or removes out/dismodeconfig.inf
//                                           beside the host executable
//   make-programs [BYTES]                   writes the demo DSP programs under ./out
//   peek  main ADDR | video CH ADDR | pci OFFSET | decoder CH REG
//   expect main ADDR VALUE | video CH ADDR VALUE | pci OFFSET VALUE | decoder CH REG VALUE
//                                           ADDR may be a register name ("PpiSize",
//                                           "PpiStart[2]")
//   poke main ADDR VALUE | video CH ADDR VALUE
//                                           stores a word straight into the board
//   render FILE                             draws the outputs (.png, or .svg)
//   trace on|off                            decoded trace of the following calls
//
// A path with blanks goes in double quotes; relative paths are taken from
// the scenario file's directory.
// Numbers are decimal or 0x hexadecimal, with an optional minus sign;
// floating-point parameters take decimals too.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "scenario/exports_table.h"

namespace radovl::tool {

enum class StepKind {
    Call,
    Monitor,
    MonitorNone,
    Screen,
    Board,
    I2cBusy,
    FailRequests,
    Executable,
    DisModeFile,
    MakePrograms,
    Peek,
    Expect,
    Poke,
    Render,
    Trace,
};

enum class PeekSpace { Main, Video, Pci, Decoder };

struct PeekTarget {
    PeekSpace space = PeekSpace::Main;
    int32_t channel = 0;   // video and decoder
    uint32_t address = 0;  // address, PCI offset or decoder register
    std::string name;      // register name if known
};

enum class BoardAction { Absent, Present, ScratchFault, ScratchOk };

struct Step {
    StepKind kind = StepKind::Call;
    int line = 0;
    std::string text;                       // the line as written, without comment
    // Call
    const ExportInfo* function = nullptr;
    std::vector<Argument> args;
    std::optional<int32_t> expectedStatus;
    // Numbers of Monitor, Screen, Board, I2cBusy, FailRequests, DisModeFile, MakePrograms
    std::vector<int64_t> numbers;
    BoardAction boardAction = BoardAction::Absent;
    bool removeFile = false;                // dismode-file none
    // Peek, Expect and Poke
    PeekTarget target;
    uint32_t expectedValue = 0;             // Expect: the value; Poke: the value stored
    // Render, Executable
    std::string path;
    // Trace
    bool on = false;
};

// The most bytes a scenario file or standard input may hold. The run keeps
// the text and parses each step again as it reaches it, so its memory is
// the text and one step, whatever the number of steps.
constexpr size_t MaxScenarioBytes = 64u << 20;
constexpr const char* MaxScenarioSize = "64 MiB";

// Errors of a parse kept with their text; the rest are counted.
constexpr size_t MaxErrorsKept = 100;

struct Scenario {
    std::string file;       // as given, for messages
    std::string directory;  // the file's directory, absolute: the base of relative paths; "" = current directory
    std::string text;       // UTF-8, every line checked by the parse
};

// The steps of a parsed scenario, one at a time, in line order.
class StepReader {
public:
    explicit StepReader(const Scenario& scenario) : text_(scenario.text) {}
    // The next step; false after the last.
    bool Next(Step* step);

private:
    const std::string& text_;
    size_t position_ = 0;
    int line_ = 0;
};

// Every step at once, for a host that wants them together.
std::vector<Step> AllSteps(const Scenario& scenario);

// The name standard input goes by in messages (scenario "-").
constexpr const char* StdinName = "(standard input)";

struct ParseResult {
    Scenario scenario;
    std::vector<std::string> errors;  // the first MaxErrorsKept, "FILE:LINE: message", in line order
    size_t errorCount = 0;            // all of them
    bool ok() const { return errorCount == 0; }
};

// Parses a scenario's bytes: UTF-8 (with or without a byte-order mark) or
// UTF-16 with one; other text with zero bytes is one error.
ParseResult ParseScenarioText(std::string bytes, const std::string& fileName);
// Reads and parses a file, "-" standard input; an unreadable file is one
// error that says why.
ParseResult ParseScenarioFile(const std::string& path);

// A scenario file's bytes as text: the byte-order mark dropped, UTF-16 as
// UTF-8; nullopt with the reason in *error for text that holds zero bytes.
std::optional<std::string> ScenarioTextFromBytes(std::string bytes, std::string* error);

// Reads a whole file ("-": standard input); false with the reason in *error
// ("No such file or directory", "it is a directory").
bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error);

// A step as a short text, e.g. "KT_RDSP_OpenPPI(1, 100, 50, 400, 300)".
std::string DescribeCall(const Step& step);

}  // namespace radovl::tool
