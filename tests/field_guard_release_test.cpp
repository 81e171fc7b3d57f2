// FieldPrep and FieldGet with values known only at run time in a release
// build: no stop, the bits outside the field left out, and never a shift
// by 32 (ctest builds this program with the shift sanitizer, which stops
// on one). NDEBUG whatever the build type.
#ifndef NDEBUG
#define NDEBUG
#endif

#include <gtest/gtest.h>

#include <cstdint>

#include "hw/bitfield.h"

namespace radovl {
namespace {

// Read through volatile so that the compiler cannot evaluate the calls.
uint32_t RunTime(uint32_t value) {
    volatile uint32_t copy = value;
    return copy;
}

TEST(FieldGuardRelease, BadRunTimeArgumentsKeepTheFieldsBits) {
    struct Case {
        const char* what;
        uint32_t result, expected;
    };
    const Case cases[] = {
        {"value too large", FieldPrep(RunTime(0x0F), RunTime(0x123)), 0x3},
        {"value too large for the top bit", FieldPrep(RunTime(0x80000000), RunTime(3)), 0x80000000},
        {"prep into a split mask", FieldPrep(RunTime(0x00F000F0), RunTime(0x12345)), 0x00100050},
        {"prep into no field", FieldPrep(RunTime(0), RunTime(1)), 0},
        {"get from a split mask", FieldGet(RunTime(0x00F000F0), RunTime(0x12345678)), 0x00030007},
        {"get from no field", FieldGet(RunTime(0), RunTime(0x1234)), 0},
        {"replace with a value too large", FieldReplace(RunTime(0x0000FF00), RunTime(0x12345678), RunTime(0x1AB)),
         0x1234AB78},
    };
    for (const Case& c : cases) EXPECT_EQ(c.result, c.expected) << c.what;
}

}  // namespace
}  // namespace radovl
