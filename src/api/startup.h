// Start-up and the display-mode file.
#pragma once

#include <cstdint>
#include <cstdio>

namespace radovl {

int32_t Init();

// Mini window record of both channels back to distance 0, direction 0.0,
// scale 1. No register is written.
void ResetMiniState();

// Display-mode file beside the host executable: sets DisMode.
void ReadDisplayModeFile();
// One line (or a 256-byte piece of one) from byte offset, line end
// included, into buffer (room for 256 bytes and a zero). Returns the bytes
// stored.
constexpr size_t ConfigLineBytes = 256;
size_t ReadConfigLine(std::FILE* file, char* buffer, long offset);
// Where the value of a key line starts, or nullptr.
const char* FindConfigValue(const char* line);

}  // namespace radovl
