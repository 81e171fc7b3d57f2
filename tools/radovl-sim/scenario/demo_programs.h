// DSP program files for scenarios, made with the project's COFF writer:
// the display program both video DSPs run and the fallback set.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hw/programs.h"

namespace radovl::tool {

struct ProgramFile {
    std::string path;   // written path
    uint32_t bytes = 0;  // size of the loaded sections
};

// The default size of the display program's code section.
constexpr uint32_t DefaultDisplayProgramBytes = 16 * 1024;
// The largest display program the tool writes: the video DSP's external
// memory from the code's base up.
constexpr uint32_t MaxDisplayProgramBytes = 64 * 1024 * 1024;

// "out/idbout/testcmp.out": where a program file goes under a directory.
std::string ProgramRelativePath(DspProgramFile program);

// Writes, under directory (normally "."), the program files start-up
// loads (hw/programs.h): the display program, loaded into both video DSPs,
// which keeps the address of its distance variable at video address
// 0x80000000, and the fallback programs of video DSPs 0 and 1 and of the
// main DSP.
// The display program's code section has codeBytes bytes (rounded up to
// whole words). Returns the files written; on failure, an empty list and a
// message in *error.
std::vector<ProgramFile> WriteDemoPrograms(const std::string& directory, uint32_t codeBytes, std::string* error);

}  // namespace radovl::tool
