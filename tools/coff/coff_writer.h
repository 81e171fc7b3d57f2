// A small writer of TI C6000 COFF2 program files, for tests and for the
// demo's own DSP programs. It writes what the loader reads: the file
// header, a 28-byte optional header, 48-byte section headers and the raw
// data, no symbols or relocations.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace radovl::coff {

struct Section {
    std::string name;             // up to 8 characters are kept
    uint32_t address = 0;         // physical = virtual address
    std::vector<uint8_t> data;    // raw bytes
    bool hasRawData = true;       // false: uninitialised, raw data position 0
    uint32_t flags = 0x20;        // STYP_TEXT by default; the loader ignores it
};

struct FileOptions {
    uint16_t version = 0x00C2;
    uint16_t flags = 0x0100;      // little-endian
    uint16_t target = 0x0099;     // C6000
    uint32_t entry = 0;
    // Declared section count; -1 means the number of sections given.
    int32_t declaredSections = -1;
};

std::vector<uint8_t> BuildProgram(const std::vector<Section>& sections, const FileOptions& options = {});

// Words as little-endian bytes.
std::vector<uint8_t> WordBytes(const std::vector<uint32_t>& words);

// Writes bytes to path, creating missing parent directories. False on
// failure.
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace radovl::coff
