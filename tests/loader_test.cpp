// The COFF program loader on files the tests write, and on real TI files
// when the shared samples are present.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unordered_map>

#include "board/connection.h"
#include "board/loader.h"
#include "board/selection.h"
#include "support/board_test.h"
#include "windows/state.h"

namespace radovl::test {
namespace {

class LoaderTest : public BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        BoardConnection* connection = nullptr;
        ASSERT_EQ(BoardOpen(0, &connection), 0u);
        SelectConnection(connection);
        RadovlSim_TraceClear();
    }

    int32_t Load(int32_t target, const std::string& path, std::string* printed = nullptr) {
        int32_t status = 0;
        const std::string out = CaptureStdout([&] { status = LoadDspProgram(target, path.c_str()); });
        if (printed != nullptr) *printed = out;
        return status;
    }

    void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
        ASSERT_TRUE(coff::WriteFile(path, bytes));
    }

    static uint32_t Peek(int32_t target, uint32_t address) {
        return target == 0 ? RadovlSim_PeekMain(0, address) : RadovlSim_PeekVideo(0, target - 1, address);
    }
};

std::vector<uint8_t> Bytes(size_t count, uint8_t first) {
    std::vector<uint8_t> out(count);
    for (size_t i = 0; i < count; ++i) out[i] = static_cast<uint8_t>(first + i);
    return out;
}

coff::Section MakeSection(uint32_t address, std::vector<uint8_t> data) {
    coff::Section s;
    s.name = ".text";
    s.address = address;
    s.data = std::move(data);
    return s;
}

TEST_F(LoaderTest, LoadsSectionsIntoEachTarget) {
    for (int32_t target : {0, 1, 2}) {
        WriteBytes("p.out", coff::BuildProgram({MakeSection(0x00010000, coff::WordBytes({0x11, 0x22})),
                                                MakeSection(0x80000000, coff::WordBytes({0x80001000}))}));
        std::string printed;
        EXPECT_EQ(Load(target, "p.out", &printed), 1);
        EXPECT_EQ(printed, "The file p.out was opened\n");
        EXPECT_EQ(Peek(target, 0x00010000), 0x11u);
        EXPECT_EQ(Peek(target, 0x00010004), 0x22u);
        EXPECT_EQ(Peek(target, 0x80000000), 0x80001000u);
    }
}

TEST_F(LoaderTest, WordsGoInFileOrderAscending) {
    WriteBytes("p.out", coff::BuildProgram({MakeSection(0x2000, coff::WordBytes({1, 2})),
                                            MakeSection(0x1000, coff::WordBytes({3}))}));
    Load(1, "p.out");
    EXPECT_EQ(Accesses(), (std::vector<std::string>{"V0 W 0x00002000 = 0x00000001", "V0 W 0x00002004 = 0x00000002",
                                                     "V0 W 0x00001000 = 0x00000003"}));
}

TEST_F(LoaderTest, BadFilesReportAndWriteNothing) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        int32_t status;
        const char* printed;
    };
    coff::FileOptions bigEndian;
    bigEndian.flags = 0x0000;
    coff::FileOptions otherTarget;
    otherTarget.target = 0x009C;
    coff::FileOptions version1;
    version1.version = 0x00C1;
    coff::FileOptions missingHeaders;
    missingHeaders.declaredSections = 3;
    const std::vector<coff::Section> one = {MakeSection(0x100, coff::WordBytes({7}))};
    const Case cases[] = {
        {"version", coff::BuildProgram(one, version1), -2, "The file f.out was opened\nThe file f.out is err\n"},
        {"elf", {0x7F, 'E', 'L', 'F', 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0x8C, 0, 1, 0, 0, 0, 0},
         -2, "The file f.out was opened\nThe file f.out is err\n"},
        {"short header", {0xC2, 0x00, 0x01, 0x00, 0, 0, 0, 0, 0, 0}, -2,
         "The file f.out was opened\nThe file f.out is err\n"},
        {"empty", {}, -2, "The file f.out was opened\nThe file f.out is err\n"},
        {"big-endian", coff::BuildProgram(one, bigEndian), -3, "The file f.out was opened\nplease use little edian mode\n"},
        {"target", coff::BuildProgram(one, otherTarget), -4, "The file f.out was opened\nplease use TIC6x out file\n"},
        {"section headers", coff::BuildProgram({}, missingHeaders), -5,
         "The file f.out was opened\nread sectionheader error\n"},
    };
    for (const Case& c : cases) {
        WriteBytes("f.out", c.bytes);
        RadovlSim_TraceClear();
        std::string printed;
        EXPECT_EQ(Load(1, "f.out", &printed), c.status) << c.name;
        EXPECT_EQ(printed, c.printed) << c.name;
        EXPECT_EQ(RadovlSim_TraceCount(), 0) << c.name;
    }
}

TEST_F(LoaderTest, MissingFileIsNotOpened) {
    std::string printed;
    EXPECT_EQ(Load(0, "./out/none.out", &printed), -1);
    EXPECT_EQ(printed, "The file ./out/none.out was not opened\n");
    EXPECT_EQ(RadovlSim_TraceCount(), 0);
}

TEST_F(LoaderTest, TruncatedDataKeepsTheWholeChunksBeforeTheEnd) {
    std::vector<uint8_t> file = coff::BuildProgram({MakeSection(0x1000, Bytes(3000, 1))});
    file.resize(file.size() - 3000 + 2100);
    WriteBytes("t.out", file);
    std::string printed;
    EXPECT_EQ(Load(0, "t.out", &printed), -6);
    EXPECT_EQ(printed, "The file t.out was opened\nread data error\n");
    EXPECT_EQ(RadovlSim_PeekMain(0, 0x1000 + 2044), 0x00FFFEFDu);  // last word of the second chunk
    EXPECT_EQ(RadovlSim_PeekMain(0, 0x1000 + 2048), 0u);
    EXPECT_EQ(RadovlSim_TraceCount(), 2 * 512);
}

TEST_F(LoaderTest, SectionTailIsMergedIntoTheWordBeyond) {
    // 1030 bytes: 257 whole words, then two bytes that replace the low half
    // of the word at A + 1028 and keep its high half.
    const uint32_t a = 0x00020000;
    RadovlSim_PokeVideo(0, 0, a + 1028, 0xAABBCCDD);
    WriteBytes("s.out", coff::BuildProgram({MakeSection(a, Bytes(1030, 0))}));
    EXPECT_EQ(Load(1, "s.out"), 1);
    EXPECT_EQ(RadovlSim_PeekVideo(0, 0, a), 0x03020100u);
    EXPECT_EQ(RadovlSim_PeekVideo(0, 0, a + 1024), 0x03020100u);  // byte 1024 is (uint8_t)1024 = 0
    EXPECT_EQ(RadovlSim_PeekVideo(0, 0, a + 1028), 0xAABB0504u);
    const auto accesses = Accesses();
    ASSERT_EQ(accesses.size(), 259u);
    EXPECT_EQ(accesses[256], "V0 W 0x00020400 = 0x03020100");
    EXPECT_EQ(accesses[257], "V0 R 0x00020404 -> 0xAABBCCDD");
    EXPECT_EQ(accesses[258], "V0 W 0x00020404 = 0xAABB0504");
}

TEST_F(LoaderTest, ShortSectionsCostOneReadAndOneWrite) {
    for (size_t size : {1u, 2u, 3u}) {
        RadovlSim_PokeMain(0, 0x3000, 0x44332211);
        WriteBytes("s.out", coff::BuildProgram({MakeSection(0x3000, Bytes(size, 0xA0))}));
        RadovlSim_TraceClear();
        EXPECT_EQ(Load(0, "s.out"), 1);
        const uint32_t expected[] = {0x443322A0, 0x4433A1A0, 0x44A2A1A0};
        EXPECT_EQ(RadovlSim_PeekMain(0, 0x3000), expected[size - 1]) << size;
        EXPECT_EQ(Accesses(), (std::vector<std::string>{"R32 0x00003000 -> 0x44332211",
                                                         "W32 0x00003000 = " + Hex(expected[size - 1])}));
    }
}

TEST_F(LoaderTest, SectionsWithoutRawDataAreSkipped) {
    coff::Section bss = MakeSection(0x5000, Bytes(64, 1));
    bss.hasRawData = false;
    WriteBytes("b.out", coff::BuildProgram({bss}));
    std::string printed;
    EXPECT_EQ(Load(2, "b.out", &printed), 1);
    EXPECT_EQ(printed, "The file b.out was opened\n");
    EXPECT_EQ(RadovlSim_TraceCount(), 0);
}

TEST_F(LoaderTest, NoSectionsPrintsOnlyTheOpenedLine) {
    WriteBytes("n.out", coff::BuildProgram({}));
    std::string printed;
    EXPECT_EQ(Load(0, "n.out", &printed), 1);
    EXPECT_EQ(printed, "The file n.out was opened\n");
    EXPECT_EQ(RadovlSim_TraceCount(), 0);
}

TEST_F(LoaderTest, MoreThan128SectionsAreAllLoaded) {
    std::vector<coff::Section> sections;
    for (uint32_t i = 0; i < 200; ++i) sections.push_back(MakeSection(0x10000 + 4 * i, coff::WordBytes({i + 1})));
    WriteBytes("m.out", coff::BuildProgram(sections));
    EXPECT_EQ(Load(0, "m.out"), 1);
    for (uint32_t i = 0; i < 200; ++i) ASSERT_EQ(RadovlSim_PeekMain(0, 0x10000 + 4 * i), i + 1) << i;
}

TEST_F(LoaderTest, UnknownTargetPrintsPerChunkAndWritesNothing) {
    WriteBytes("u.out", coff::BuildProgram({MakeSection(0x1000, Bytes(1030, 0))}));
    std::string printed;
    EXPECT_EQ(Load(3, "u.out", &printed), 1);
    EXPECT_EQ(printed, "The file u.out was opened\nthis dsp is not pressent\nthis dsp is not pressent\n");
    EXPECT_EQ(RadovlSim_TraceCount(), 0);
}

TEST_F(LoaderTest, FullChunkCostsSixRequestsAWordOnAVideoDsp) {
    WriteBytes("c.out", coff::BuildProgram({MakeSection(0x1000, Bytes(1024, 0))}));
    Load(2, "c.out");
    EXPECT_EQ(RadovlSim_TraceCount(), 1536);
    RadovlSim_TraceClear();
    Load(0, "c.out");
    EXPECT_EQ(RadovlSim_TraceCount(), 512);
}

// Real program files built by TI's tools, read from the shared samples.
std::string SamplesDir() {
    if (const char* dir = std::getenv("RADOVL_COFF_SAMPLES")) return dir;
    return RADOVL_COFF_SAMPLES;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

TEST_F(LoaderTest, RealTiProgramsLoadByteForByte) {
    const std::string dir = SamplesDir();
    if (!std::filesystem::exists(dir)) GTEST_SKIP() << "no COFF samples at " << dir;
    RadovlSim_SetTraceEnabled(0);
    for (const char* name : {"c6713_Dotp4a.out", "c6713_timer.out", "c6713_bios_fft128c_SWI.out", "dm6437_Sobel.out"}) {
        RadovlSim_Reset();
        RadovlSim_SetTraceEnabled(0);
        BoardConnection* connection = nullptr;
        ASSERT_EQ(BoardOpen(0, &connection), 0u);
        SelectConnection(connection);
        const std::string path = dir + "/" + name;
        const std::vector<uint8_t> file = ReadAll(path);
        ASSERT_GT(file.size(), 50u) << name;
        std::string printed;
        EXPECT_EQ(Load(0, path, &printed), 1) << name;
        EXPECT_EQ(printed, "The file " + path + " was opened\n");
        // Every byte of every section with data, later sections winning.
        std::unordered_map<uint32_t, uint8_t> expected;
        const uint32_t sections = file[2] | (file[3] << 8);
        for (uint32_t i = 0; i < sections; ++i) {
            const size_t header = 50 + 48 * i;
            const uint32_t address = Le32(file, header + 8);
            const auto size = static_cast<int32_t>(Le32(file, header + 16));
            const auto raw = static_cast<int32_t>(Le32(file, header + 20));
            if (raw <= 0) continue;
            for (int32_t b = 0; b < size; ++b) expected[address + static_cast<uint32_t>(b)] = file[static_cast<size_t>(raw + b)];
        }
        ASSERT_FALSE(expected.empty()) << name;
        size_t mismatches = 0;
        for (const auto& [address, byte] : expected) {
            const uint32_t word = RadovlSim_PeekMain(0, address & ~3u);
            if (static_cast<uint8_t>(word >> (8 * (address & 3))) != byte) ++mismatches;
        }
        EXPECT_EQ(mismatches, 0u) << name;
        BoardClose(CurrentBoard());
        SelectConnection(nullptr);
    }
}

TEST_F(LoaderTest, RealForeignFilesAreRefused) {
    const std::string dir = SamplesDir() + "/negative";
    if (!std::filesystem::exists(dir)) GTEST_SKIP() << "no COFF samples at " << dir;
    struct Case {
        const char* name;
        int32_t status;
        const char* lastLine;
    };
    const Case cases[] = {
        {"c5515_fir_filter.out", -3, "please use little edian mode\n"},
        {"f28335_GpioToggle.out", -4, "please use TIC6x out file\n"},
        {"c6748_elf_key_gpio2.out", -2, " is err\n"},
    };
    for (const Case& c : cases) {
        RadovlSim_TraceClear();
        std::string printed;
        EXPECT_EQ(Load(1, dir + "/" + c.name, &printed), c.status) << c.name;
        EXPECT_NE(printed.find(c.lastLine), std::string::npos) << printed;
        EXPECT_EQ(RadovlSim_TraceCount(), 0) << c.name;
    }
}

}  // namespace
}  // namespace radovl::test
