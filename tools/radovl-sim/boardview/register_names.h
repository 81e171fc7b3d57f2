// Names and field decoders for the board's registers, built from the
// library's own register map (src/hw/registers.h): every address here is
// one of its constants, referenced by name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>


namespace radovl::tool {

enum class RegisterSpace { Main, Video, Pci };

// Turns a register value into its fields, e.g. "w=400 h=300".
class Fields;
using FieldFormatter = void (*)(uint32_t value, Fields& fields);

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

// Every register the map names, in map order; a colour table is one entry
// (its first element) with its element count.
struct ListedRegister {
    RegisterSpace space;
    RegisterName reg;
    uint32_t count = 1;
};
std::vector<ListedRegister> AllRegisters();

// The names of a register's decoded fields ("w h"), "" when it has none.
std::string FieldNames(const RegisterName& reg);

// Decoder registers (I2C): the name the library gives, if any.
std::optional<std::string> DecoderRegisterName(uint32_t reg);

// Main DSP address regions that hold registers rather than program memory:
// the DSP's peripheral registers, the bridges and reset lines, and the
// board logic.
bool IsRegisterRegion(RegisterSpace space, uint32_t address);


}  // namespace radovl::tool
