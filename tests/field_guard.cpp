// The compile-time guards of FieldPrep and FieldGet. ctest compiles this
// file once per case (GUARD_CASE): case 0 must compile, every other case
// must be refused by the guard it names.
#include <cstdint>

#include "hw/bitfield.h"

using namespace radovl;

// What the guards let through.
static_assert(FieldMask(0xFFFF0000) == 0xFFFF0000, "a 16-bit field");
static_assert(FieldMask(0x80000000) == 0x80000000, "the top bit alone");
static_assert(FieldMask(0xFFFFFFFF) == 0xFFFFFFFF, "the whole word");
static_assert(FieldPrep(0x0000FF00, 0xAB) == 0x0000AB00, "a value that fills its field");
static_assert(FieldPrep(0x80000000, 1) == 0x80000000, "a value into the top bit");
static_assert(FieldGet(0x000000F0, 0x1234) == 0x3, "a field taken out");
static_assert(FieldReplace(0x0000FF00, 0x12345678, 0xAB) == 0x1234AB78, "a field replaced");
static_assert(FieldPrepLow(0x0F, 0x123) == 0x3, "the low bits, when that is meant");
static_assert(!IsFieldMask(0) && !IsFieldMask(0x0F0F) && !IsFieldMask(0x80000001), "masks refused");

#if GUARD_CASE == 1
constexpr uint32_t ZeroMask = FieldMask(0);  // BadFieldMask
#elif GUARD_CASE == 2
constexpr uint32_t SplitMask = FieldMask(0x00F000F0);  // BadFieldMask
#elif GUARD_CASE == 3
constexpr uint32_t TooLarge = FieldPrep(0x0F, 0x123);  // FieldValueTooLarge
#elif GUARD_CASE == 4
constexpr uint32_t TooLargeForTopBit = FieldPrep(0x80000000, 2);  // FieldValueTooLarge
#elif GUARD_CASE == 5
constexpr uint32_t PrepZeroMask = FieldPrep(0, 1);  // BadFieldMask
#elif GUARD_CASE == 6
constexpr uint32_t GetZeroMask = FieldGet(0, 0x1234);  // BadFieldMask
#elif GUARD_CASE == 7
constexpr uint32_t ReplaceTooLarge = FieldReplace(0x0000FF00, 0, 0x100);  // FieldValueTooLarge
#endif
