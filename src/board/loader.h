// Loader for TI C6000 COFF program files: writes the initialised sections
// into one DSP's memory. It neither starts the DSP nor relocates.
#pragma once

#include <cstdint>

namespace radovl {

namespace LoadStatus {
constexpr int32_t Done = 1;
constexpr int32_t CannotOpen = -1;     // file or working buffer
constexpr int32_t BadVersion = -2;     // also a file shorter than its header
constexpr int32_t BigEndian = -3;
constexpr int32_t WrongTarget = -4;
constexpr int32_t BadSectionHeader = -5;
constexpr int32_t BadSectionData = -6;
}  // namespace LoadStatus

// target: a LoadTarget (board/access.h).
int32_t LoadDspProgram(int32_t target, const char* path);

}  // namespace radovl
