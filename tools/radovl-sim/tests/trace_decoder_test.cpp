#include "boardview/trace_decoder.h"

#include <vector>

#include "radovl/radovl.h"
#include "tool_test.h"

namespace radovl::tool::test {
namespace {

// Requests as the library sends them, built from literal numbers.
class Requests {
public:
    Requests& Raw(uint32_t function, uint32_t space, uint32_t offset, uint32_t value, int32_t status = 0) {
        RadovlSimRequest r{};
        r.code = 0xC3502047;
        r.function = function;
        r.space = space;
        r.offset = offset;
        r.count = 1;
        r.value = value;
        r.status = status;
        list.push_back(r);
        return *this;
    }
    // A main DSP access: the PciPage write, then the access in the window.
    Requests& Main(uint32_t function, uint32_t address, uint32_t value, int32_t status = 0) {
        Raw(9, 2, 8, address >> 22);
        return Raw(function, 0, address & 0x3FFFFF, value, status);
    }
    Requests& VideoWrite(int dsp, uint32_t address, uint32_t value) {
        Main(9, dsp == 0 ? 0x6C000400 : 0x6C000410, 0x00010001);
        Main(9, dsp == 0 ? 0x6C000404 : 0x6C000414, address);
        return Main(9, dsp == 0 ? 0x6C00040C : 0x6C00041C, value);
    }
    Requests& VideoRead(int dsp, uint32_t address, uint32_t value) {
        Main(9, dsp == 0 ? 0x6C000400 : 0x6C000410, 0x00010001);
        Main(9, dsp == 0 ? 0x6C000404 : 0x6C000414, address);
        return Main(8, dsp == 0 ? 0x6C00040C : 0x6C00041C, value);
    }
    Requests& Poll(uint32_t status) { return Main(0, 0xB0300030, status); }
    // One decoder register write with its status polls; the first poll of
    // each wait can show busy.
    Requests& DecoderWrite(uint32_t device, uint32_t reg, uint32_t value, bool busyFirst) {
        const uint32_t bytes[3] = {device << 1, reg, value};
        const uint32_t commands[3] = {0x90, 0x10, 0x50};
        Poll(0);
        for (int i = 0; i < 3; ++i) {
            Main(9, 0xB030002C, bytes[i]);
            Main(9, 0xB0300030, commands[i]);
            if (busyFirst) Poll(2);
            Poll(0);
        }
        return *this;
    }
    std::vector<RadovlSimRequest> list;
};

TEST(TraceDecoder, PageWriteAndAccessBecomeOneMainAccessWithPageAndOffset) {
    const std::vector<DecodedAccess> d = DecodeTrace(Requests().Main(9, 0xB0203000, 0x01000100).list);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].kind, AccessKind::Main);
    EXPECT_EQ(d[0].address, 0xB0203000u);
    EXPECT_EQ(d[0].page, 704u);
    EXPECT_EQ(d[0].offset, 0x203000u);
    EXPECT_EQ(d[0].firstRequest, 1u);
    EXPECT_EQ(d[0].lastRequest, 2u);
    EXPECT_EQ(FormatAccess(d[0]),
              "      1  main   W32 0xB0203000  DisplayControl        =  0x01000100  prop=0 shown=PPI1 ppiPri=ch1 "
              "tvPri=ch2 arPri=ch2  [page 704 +0x203000]");
}

TEST(TraceDecoder, BridgeSequenceBecomesOneVideoAccess) {
    const std::vector<DecodedAccess> d =
        DecodeTrace(Requests().VideoWrite(1, 0xB0080108, 0x012C0190).VideoRead(0, 0xB0080100, 0x11).list);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0].kind, AccessKind::Video);
    EXPECT_EQ(d[0].dsp, 1);
    EXPECT_EQ(d[0].address, 0xB0080108u);
    EXPECT_EQ(d[0].firstRequest, 1u);
    EXPECT_EQ(d[0].lastRequest, 6u);
    EXPECT_EQ(FormatAccess(d[0]), "      1  dsp1   W32 0xB0080108  PpiSize               =  0x012C0190  w=400 h=300");
    EXPECT_EQ(FormatAccess(d[1]),
              "      7  dsp0   R32 0xB0080100  PpiControl            -> 0x00000011  mode=corner-h rdP2p=1");
}

TEST(TraceDecoder, BrokenBridgeSequenceStaysAsMainAccesses) {
    Requests r;
    r.Main(9, 0x6C000400, 0x00010001).Main(9, 0x6C000404, 0xB0080000).Main(9, 0xB0203000, 0);
    const std::vector<DecodedAccess> d = DecodeTrace(r.list);
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0].reg->name, "BridgeControl[1]");
    EXPECT_EQ(d[1].reg->name, "BridgeAddress[1]");
    EXPECT_EQ(d[2].reg->name, "DisplayControl");
}

TEST(TraceDecoder, I2cTransactionBecomesADecoderRegisterWrite) {
    const std::vector<DecodedAccess> d =
        DecodeTrace(Requests().DecoderWrite(0x5D, 0x0C, 0x80, true).DecoderWrite(0x5C, 0x03, 0x6D, false).list);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0].kind, AccessKind::DecoderWrite);
    EXPECT_EQ(d[0].device, 0x5Du);
    EXPECT_EQ(d[0].address, 0x0Cu);
    EXPECT_EQ(d[0].value, 0x80u);
    EXPECT_EQ(d[0].polls, 7u);  // one before the start, two after each of the three commands
    EXPECT_EQ(FormatAccess(d[0]), "      1  i2c    W8  0x5D        Decoder[2] Contrast   =  0x80  (7 status polls)");
    EXPECT_EQ(d[1].device, 0x5Cu);
    EXPECT_EQ(d[1].polls, 4u);
    EXPECT_EQ(FormatAccess(d[1]).substr(7), "  i2c    W8  0x5C        Decoder[1] 0x03       =  0x6D  (4 status polls)");
}

TEST(TraceDecoder, FailedRequestsAndQueriesAreShown) {
    Requests r;
    r.Main(9, 0xB0203018, 0x02000000, static_cast<int32_t>(0x900B0000));
    RadovlSimRequest query{};
    query.code = 0xC35020C3;
    r.list.insert(r.list.begin(), query);
    const std::vector<DecodedAccess> d = DecodeTrace(r.list);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(FormatAccess(d[0]), "      1  query  window query");
    EXPECT_NE(FormatAccess(d[1]).find("PpiKeyControl[1]"), std::string::npos);
    EXPECT_NE(FormatAccess(d[1]).find("FAILED status 0x900B0000"), std::string::npos);
    query.board = 1;
    EXPECT_EQ(FormatAccess(DecodeTrace({query}).at(0)), "      1  query@1 window query");
}

TEST(TraceDecoder, WriteThroughDistancePointerIsTheDistanceVariable) {
    const std::vector<DecodedAccess> d =
        DecodeTrace(Requests().VideoRead(0, 0x80000000, 0x80000400).VideoWrite(0, 0x80000400, 100).list);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0].reg->name, "DistancePointer");
    EXPECT_TRUE(d[1].memory);
    EXPECT_EQ(d[1].note, "distance variable");
}

TEST(TraceDecoder, FieldsOfPositionAndKeyRegisters) {
    Requests r;
    r.Main(9, 0xB0201108, (50u << 16) | 158).Main(9, 0xB0201010, (49u << 16) | 156).Main(9, 0xB0202010, (46u << 16) | 156);
    r.Main(9, 0xB0203014, 0x140000FF).Main(9, 0xB0303004, 0x00010203);
    const std::vector<DecodedAccess> d = DecodeTrace(r.list);
    ASSERT_EQ(d.size(), 5u);
    EXPECT_NE(FormatAccess(d[0]).find("PpiStart[2]           =  0x0032009E  x=100 y=50 (col=158 row=50)"),
              std::string::npos);
    EXPECT_NE(FormatAccess(d[1]).find("ArStart[1]            =  0x0031009C  x=100 y=50 (col=156 row=49)"),
              std::string::npos);
    EXPECT_NE(FormatAccess(d[2]).find("TvStart[2]            =  0x002E009C  x=100 y=50 (col=156 row=46)"),
              std::string::npos);
    EXPECT_NE(FormatAccess(d[3]).find("TvKeyControl[2]       =  0x140000FF  key=#0000FF onTop=1 out=1"),
              std::string::npos);
    EXPECT_NE(FormatAccess(d[4]).find("MiniColourLut[1][1]   =  0x00010203  #010203"), std::string::npos);
}

class RecordedStartUp : public ToolTest {};

// Every request of a start-up resolves to a named register, a decoder
// register write, or a write of program data into DSP memory.
void ExpectAllResolved(const std::vector<DecodedAccess>& d) {
    ASSERT_FALSE(d.empty());
    for (const DecodedAccess& a : d) {
        const std::string text = FormatAccess(a);
        EXPECT_EQ(a.status, 0) << text;
        switch (a.kind) {
            case AccessKind::WindowQuery: break;
            case AccessKind::DecoderWrite: break;
            case AccessKind::I2cOther: ADD_FAILURE() << text; break;
            default:
                // A program write into memory; the display program's initial
                // distance value lands in its distance variable.
                EXPECT_TRUE(a.reg.has_value() ||
                            (a.memory && a.op == 'W' && (a.note == "program load" || a.note == "distance variable")))
                    << text;
        }
    }
}

TEST_F(RecordedStartUp, NormalPathDecodesCompletely) {
    ASSERT_EQ(StartUp(), 1);
    const std::vector<DecodedAccess> d = DecodeTrace(RecordedTrace());
    ExpectAllResolved(d);

    std::vector<std::pair<uint32_t, uint32_t>> decoder1;
    size_t programWords = 0;
    for (const DecodedAccess& a : d) {
        if (a.kind == AccessKind::DecoderWrite && a.device == 0x5C) decoder1.emplace_back(a.address, a.value);
        if (a.memory) ++programWords;
    }
    const std::vector<std::pair<uint32_t, uint32_t>> table = {{0x00, 0x02}, {0x03, 0x6D}, {0x0D, 0x47}, {0x0F, 0x00},
                                                              {0x1B, 0x14}, {0x07, 0x60}, {0x08, 0x00}, {0x09, 0x80},
                                                              {0x0A, 0x80}, {0x0B, 0x00}, {0x0C, 0x80}, {0x15, 0x15}};
    EXPECT_EQ(decoder1, table);
    // Per video DSP: the distance variable and 16 code words (the pointer
    // word at 0x80000000 is the named DistancePointer).
    EXPECT_EQ(programWords, 2u * 17u);
}

TEST_F(RecordedStartUp, FallbackPathDecodesCompletely) {
    RadovlSim_SetScratchFault(0, 1);
    ASSERT_EQ(StartUp(), 1);
    const std::vector<DecodedAccess> d = DecodeTrace(RecordedTrace());
    ExpectAllResolved(d);
    bool board1 = false, fallbackWord = false;
    for (const DecodedAccess& a : d) {
        board1 |= a.board == 1;
        fallbackWord |= a.reg && a.reg->name == "FallbackTestWord" && a.op == 'W' && a.value == 0x12345678;
    }
    EXPECT_TRUE(board1);
    EXPECT_TRUE(fallbackWord);
}

}  // namespace
}  // namespace radovl::tool::test
