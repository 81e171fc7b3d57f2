// The DSP program files start-up loads: each a folder and a file name under
// out/ of the console's current directory.
#pragma once

namespace radovl {

struct DspProgramFile {
    const char* folder;
    const char* file;
};

namespace DspPrograms {
constexpr DspProgramFile Display{"idbout", "testcmp.out"};         // both video DSPs, normal path
constexpr DspProgramFile FallbackVideo0{"vibout", "clktest_b.out"};  // fallback path
constexpr DspProgramFile FallbackVideo1{"vibout", "clktest_c.out"};
constexpr DspProgramFile FallbackMain{"vibout", "NicTest.out"};
}  // namespace DspPrograms

}  // namespace radovl
