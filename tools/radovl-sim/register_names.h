// Names and field decoders for the board's registers, built from the
// library's own register map (src/board/registers.h): every address here is
// one of its constants, referenced by name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace radovl::tool {

enum class RegisterSpace { Main, Video, Pci };

// Turns a register value into "name=value" fields, e.g. "w=400 h=300".
using FieldFormatter = std::string (*)(uint32_t value);

struct RegisterName {
    std::string name;                  // "PpiStart[2]", "PpiColourLut[1][37]", "EMIFA CECTL1"
    uint32_t address = 0;              // address of the register (or table entry)
    FieldFormatter fields = nullptr;   // nullptr: no fields to decode
};

// The register at an address of a space, if the map names one. Main space
// includes the colour tables (one name per entry).
std::optional<RegisterName> LookupRegister(RegisterSpace space, uint32_t address);

// The address of a register by the name LookupRegister gives it ("PpiSize",
// "PpiStart[2]", "PpiColourLut[1][37]"; case-sensitive).
std::optional<uint32_t> FindRegister(RegisterSpace space, const std::string& name);

// "w=400 h=300", or "" when the register has no fields.
std::string DecodeFields(const RegisterName& reg, uint32_t value);

// Decoder registers (I2C): the name the library gives, if any.
std::optional<std::string> DecoderRegisterName(uint32_t reg);

// Main DSP address regions that hold registers rather than program memory:
// the DSP's peripheral registers, the bridges and reset lines, and the
// board logic.
bool IsRegisterRegion(RegisterSpace space, uint32_t address);

// Column and row offsets the board adds to monitor-relative positions, per
// register family; the screen decoder subtracts them.
namespace Offsets {
constexpr int32_t MixerColumn = 58;      // PpiStart, PpiEnd, MiniStart, MiniEnd
constexpr int32_t VideoColumn = 16;      // PpiDspStart, PpiCentre, MiniDspStart, MiniCentre
constexpr int32_t ArStartColumn = 56;    // ArStart and the band starts
constexpr int32_t ArEndColumn = 60;      // ArEnd and ArEndMirror
constexpr int32_t ArStartRow = -1;       // the start row is one row up
constexpr int32_t TvColumn = 56;         // TvStart
constexpr int32_t TvRow = -4;            // TvStart's row is four rows up
}  // namespace Offsets

// Formatting helpers shared with the trace and the legend.
std::string Hex(uint32_t value, int digits = 8);
std::string HexByte(uint32_t value);
std::string RgbText(uint32_t rgb);  // "#RRGGBB"

}  // namespace radovl::tool
