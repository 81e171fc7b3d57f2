// Field access on 32-bit register words, by mask.
//
// A field is named by its mask; FieldPrep places a value into it, FieldGet
// takes it out, FieldReplace swaps it inside a word. Call sites never shift.
//
// A mask must be non-zero and one run of set bits, and a value must fit its
// field. Both are checked when the compiler evaluates the call (a named
// mask declared with FieldMask, or any call in a constant expression): a
// bad mask or an oversize constant value does not compile. At run time a
// debug build stops on either; a release build leaves the bits outside the
// field out and never shifts by 32. Where a register keeps only the low
// bits of a wider number on purpose, FieldPrepLow says so.
#pragma once

#include <cassert>
#include <cstdint>

namespace radovl {

constexpr uint32_t Bit(unsigned n) { return uint32_t{1} << n; }

// 32 for no bit set. One instruction where the compiler has it: every
// page selection of every request asks this of its mask.
constexpr unsigned LowestSetBit(uint32_t mask) {
#if defined(__GNUC__)
    return mask == 0 ? 32 : static_cast<unsigned>(__builtin_ctz(mask));
#else
    unsigned n = 0;
    while (n < 32 && (mask & Bit(n)) == 0) ++n;
    return n;
#endif
}

// Non-zero, and its set bits one run: adding the lowest set bit carries
// through the whole run and leaves no bit of it set.
constexpr bool IsFieldMask(uint32_t mask) {
    return mask != 0 && (mask & (mask + (mask & (~mask + 1)))) == 0;
}

namespace detail {

// Not constexpr: reached while the compiler evaluates a call, it stops the
// compilation; reached at run time, it stops a debug build.
inline void BadFieldMask() { assert(!"a field mask must be non-zero and contiguous"); }
inline void FieldValueTooLarge() { assert(!"value too large for its field"); }

// The field's bits moved down to bit 0.
constexpr uint32_t FieldLimit(uint32_t mask) { return mask >> LowestSetBit(mask); }

}  // namespace detail

// A register field's mask, checked where it is declared:
//   constexpr uint32_t Row = FieldMask(0xFFFF0000);
constexpr uint32_t FieldMask(uint32_t mask) {
    if (!IsFieldMask(mask)) detail::BadFieldMask();
    return mask;
}

// The low bits of value that fit the field, placed into it; the rest are
// dropped, as the register itself would drop them.
constexpr uint32_t FieldPrepLow(uint32_t mask, uint32_t value) {
    if (!IsFieldMask(mask)) detail::BadFieldMask();
    if (mask == 0) return 0;  // no field, and no shift by 32
    return (value << LowestSetBit(mask)) & mask;
}

constexpr uint32_t FieldPrep(uint32_t mask, uint32_t value) {
    if (IsFieldMask(mask) && (value & ~detail::FieldLimit(mask)) != 0) detail::FieldValueTooLarge();
    return FieldPrepLow(mask, value);
}

constexpr uint32_t FieldGet(uint32_t mask, uint32_t word) {
    if (!IsFieldMask(mask)) detail::BadFieldMask();
    if (mask == 0) return 0;
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
