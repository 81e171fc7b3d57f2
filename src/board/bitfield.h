// Field access on 32-bit register words, by mask.
//
// A field is named by its mask; FieldPrep places a value into it, FieldGet
// takes it out, FieldReplace swaps it inside a word. Call sites never shift.
#pragma once

#include <cstdint>

namespace radovl {

constexpr uint32_t Bit(unsigned n) { return uint32_t{1} << n; }

constexpr unsigned LowestSetBit(uint32_t mask) {
    unsigned n = 0;
    while (n < 32 && (mask & Bit(n)) == 0) ++n;
    return n;
}

constexpr uint32_t FieldPrep(uint32_t mask, uint32_t value) {
    return (value << LowestSetBit(mask)) & mask;
}

constexpr uint32_t FieldGet(uint32_t mask, uint32_t word) {
    return (word & mask) >> LowestSetBit(mask);
}

constexpr uint32_t FieldReplace(uint32_t mask, uint32_t word, uint32_t value) {
    return (word & ~mask) | FieldPrep(mask, value);
}

// The low bits (1 to 31) of value taken as a two's-complement number.
constexpr int32_t SignExtend(uint32_t value, unsigned bits) {
    const uint32_t sign = Bit(bits - 1);
    const uint32_t field = value & (Bit(bits) - 1);
    return static_cast<int32_t>(field ^ sign) - static_cast<int32_t>(sign);
}

// Sets (on != 0) or clears the bits of mask in word.
constexpr uint32_t BitsTo(uint32_t mask, uint32_t word, bool on) {
    return on ? (word | mask) : (word & ~mask);
}

}  // namespace radovl
