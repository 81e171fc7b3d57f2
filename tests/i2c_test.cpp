// The I2C master and the video decoders: the byte sequence on the core's
// registers and what the decoders end up holding.
#include "board/connection.h"
#include "board/i2c.h"
#include "board/selection.h"
#include "support/board_test.h"
#include "windows/state.h"

namespace radovl::test {
namespace {

class I2cTest : public BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        BoardConnection* connection = nullptr;
        ASSERT_EQ(BoardOpen(0, &connection), 0u);
        SelectConnection(connection);
        RadovlSim_TraceClear();
    }
};

TEST_F(I2cTest, InitProgramsPrescaleThenEnables) {
    I2cInit();
    EXPECT_EQ(Accesses(), (std::vector<std::string>{"W32 0xB0300020 = 0x000000DC", "W32 0xB0300024 = 0x00000005",
                                                     "W32 0xB0300028 = 0x00000080"}));
}

TEST_F(I2cTest, DecoderWriteSequence) {
    DecoderWrite(0x5C, 0x09, 0x80);
    EXPECT_EQ(Accesses(), (std::vector<std::string>{
                              "R8 0xB0300030 -> 0x00",  // no command yet: idle
                              "W32 0xB030002C = 0x000000B8", "W32 0xB0300030 = 0x00000090",
                              "R8 0xB0300030 -> 0x02", "R8 0xB0300030 -> 0x00",
                              "W32 0xB030002C = 0x00000009", "W32 0xB0300030 = 0x00000010",
                              "R8 0xB0300030 -> 0x02", "R8 0xB0300030 -> 0x00",
                              "W32 0xB030002C = 0x00000080", "W32 0xB0300030 = 0x00000050",
                              "R8 0xB0300030 -> 0x02", "R8 0xB0300030 -> 0x00",
                          }));
    EXPECT_EQ(RadovlSim_PeekDecoder(0, 0x5C, 0x09), 0x80);
}

TEST_F(I2cTest, SecondDecoderAndByteValues) {
    RadovlSim_SetI2cBusyReads(0);
    DecoderWrite(0x5D, 0x10C, 0x1FF);
    EXPECT_EQ(Matching(Accesses(), "0xB030002C"),
              (std::vector<std::string>{"W32 0xB030002C = 0x000000BA", "W32 0xB030002C = 0x0000000C",
                                        "W32 0xB030002C = 0x000000FF"}));
    EXPECT_EQ(Matching(Accesses(), "R8").size(), 4u);  // idle at the first poll each time
    EXPECT_EQ(RadovlSim_PeekDecoder(0, 0x5D, 0x0C), 0xFF);
}

TEST_F(I2cTest, DecoderInitFillsBothDecoders) {
    DecoderInit();
    struct Setting {
        int reg, channel1, channel2;
    };
    const Setting table[] = {{0x00, 0x02, 0x00}, {0x03, 0x6D, 0x6D}, {0x0D, 0x47, 0x47}, {0x0F, 0x00, 0x00},
                             {0x1B, 0x14, 0x14}, {0x07, 0x60, 0x60}, {0x08, 0x00, 0x00}, {0x09, 0x80, 0x80},
                             {0x0A, 0x80, 0x80}, {0x0B, 0x00, 0x00}, {0x0C, 0x80, 0x80}, {0x15, 0x15, 0x15}};
    for (const Setting& s : table) {
        EXPECT_EQ(RadovlSim_PeekDecoder(0, 0x5C, s.reg), s.channel1) << s.reg;
        EXPECT_EQ(RadovlSim_PeekDecoder(0, 0x5D, s.reg), s.channel2) << s.reg;
    }
    // Channel 1's decoder is written first, register 0x00 first.
    const auto data = Matching(Accesses(), "0xB030002C");
    ASSERT_EQ(data.size(), 72u);
    EXPECT_EQ(data[0], "W32 0xB030002C = 0x000000B8");
    EXPECT_EQ(data[1], "W32 0xB030002C = 0x00000000");
    EXPECT_EQ(data[2], "W32 0xB030002C = 0x00000002");
    EXPECT_EQ(data[36], "W32 0xB030002C = 0x000000BA");
}

TEST_F(I2cTest, StuckCoreAbandonsTheTransactionWithoutHanging) {
    RadovlSim_SetI2cBusyReads(-1);
    DecoderWrite(0x5C, 0x09, 0x42);
    const auto accesses = Accesses();
    // The first poll sees idle (no command yet); after the address byte's
    // command the core stays busy until the bound, and nothing more is sent.
    EXPECT_EQ(Matching(accesses, "W32").size(), 2u);
    EXPECT_EQ(Matching(accesses, "R8").size(), static_cast<size_t>(1 + I2cIdleReadLimit));
    EXPECT_EQ(RadovlSim_PeekDecoder(0, 0x5C, 0x09), 0);
}

}  // namespace
}  // namespace radovl::test
