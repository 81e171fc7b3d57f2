// FieldPrep and FieldGet with values known only at run time: a debug build
// stops on a bad mask or a value too large for its field. This program
// keeps its assertions whatever the build type.
#undef NDEBUG

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

TEST(FieldGuardDeathTest, DebugBuildStopsOnBadRunTimeArguments) {
    EXPECT_DEATH(FieldPrep(RunTime(0x0F), RunTime(0x123)), "too large");
    EXPECT_DEATH(FieldPrep(RunTime(0x80000000), RunTime(2)), "too large");
    EXPECT_DEATH(FieldPrep(RunTime(0), RunTime(1)), "non-zero and contiguous");
    EXPECT_DEATH(FieldGet(RunTime(0x0F0F), RunTime(0x1234)), "non-zero and contiguous");
}

TEST(FieldGuardDeathTest, GoodRunTimeArgumentsPass) {
    EXPECT_EQ(FieldPrep(RunTime(0xFFFF0000), RunTime(0xFFFF)), 0xFFFF0000u);
    EXPECT_EQ(FieldGet(RunTime(0x0000FF00), RunTime(0x1234AB78)), 0xABu);
    EXPECT_EQ(FieldPrepLow(RunTime(0x0000FFFF), RunTime(150000)), 0x49F0u);  // the low 16 bits
}

}  // namespace
}  // namespace radovl
