// DSP program files for scenarios, made with the project's COFF writer:
// the display program both video DSPs run and the fallback set.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// Writes, under directory (normally "."):
//   out/idbout/testcmp.out     display program, loaded into both video DSPs;
//                              keeps the address of its distance variable
//                              at video address 0x80000000
//   out/vibout/clktest_b.out   fallback program of video DSP 0
//   out/vibout/clktest_c.out   fallback program of video DSP 1
//   out/vibout/NicTest.out     fallback program of the main DSP
// The display program's code section has codeBytes bytes (rounded up to
// whole words). Returns the files written; on failure, an empty list and a
// message in *error.
std::vector<ProgramFile> WriteDemoPrograms(const std::string& directory, uint32_t codeBytes, std::string* error);

}  // namespace radovl::tool
