// All fifty exports as data, the one list of them the suites share: their
// parameter kinds, one valid call, what a window needs to be in before the
// call does its full work, and how a refused call may touch the board. The
// gate tests, the fault-injection loops and the random call sequences are
// driven by this table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace radovl::test {

// How an argument is read from its 32-bit slot.
enum class Param : uint8_t { Channel, Int8, UInt8, Int16, Int32, UInt32, Float };

// What a refused call (status -1 or -2) may have sent before refusing.
enum class Refusal : uint8_t {
    SendsNothing,
    MayReadDisplayControl,  // reads 0xB0203000 before checking its arguments
    MayReadPpiFlags,        // reads video word 0xB0080002 before checking its value
};

using Slots = std::vector<uint32_t>;  // one 32-bit slot per parameter; floats as their bits

struct Export {
    const char* name;
    std::vector<Param> params;
    Slots valid;                        // a call the operation carries out
    int32_t (*call)(const uint32_t* slots);
    void (*prepare)();                  // run after start-up, before the call (may be null)
    bool gated;                         // refuses with -2 before start-up
    Refusal refusal;
};

// The fifty exports, KT_RDSP_Init first.
const std::vector<Export>& Exports();

int32_t Call(const Export& e, const Slots& slots);
std::string Describe(const Export& e, const Slots& slots);

uint32_t FloatBits(float value);
float BitsFloat(uint32_t bits);

}  // namespace radovl::test
