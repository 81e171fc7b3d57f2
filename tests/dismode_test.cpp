// The display-mode file: key lines, values, line ends, pieces of long
// lines and the end mark.
#include <filesystem>
#include <fstream>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "api/startup.h"
#include "support/board_test.h"
#include "windows/state.h"

namespace radovl::test {
namespace {

using DisplayModeTest = BoardTest;

constexpr uint8_t Before = 7;  // DisMode before the file is read

std::string LongLine() {
    std::string line(256, 'a');
    line += "DisMode=0";
    line.resize(300, 'b');
    return line + "\n";
}

TEST_F(DisplayModeTest, FileContents) {
    struct Case {
        std::string content;
        int expected;
    };
    const Case cases[] = {
        {"DisMode=0", 0},
        {"DisMode=0\n", 0},
        {"DisMode=1", 1},
        {"DisMode = 1\r\n", 1},
        {"DisMode = 0\r\n#END\r\n", 0},
        {"DisMode 2", 0},
        {"DisMode=1\n#END\nDisMode=0", 1},
        {"DisMode=0\nDisMode=1", 1},
        {"DisMode=0\rDisMode=1\r", 1},
        {" DisMode=0", Before},
        {"dismode=0", Before},
        {"DisModeX=0", 0},
        {LongLine(), 0},
        {"#END\nDisMode=0\n", Before},
        {"#ENDING\nDisMode=0\n", Before},
        {"", Before},
        {"\n\n\n", Before},
        {"Other=1\n", Before},
        {"DisMode=-1", 0},
        {"DisMode=+1", 1},
        {"DisMode=01", 1},
        {"DisMode=\t 1", 1},
        {"DisMode=4294967297", 0},  // no wrap-around to 1
        {"DisMode=99999999999999999999", 0},
        // No readable value: DisMode keeps what it had.
        {"DisMode= x", Before},
        {"DisMode=", Before},
        {"DisMode=\n", Before},
        {"DisMode=1 ;note", Before},
        {"DisMode1", Before},
        {"DisMode\t1", Before},
        {std::string("DisMode=\0" "1", 10), Before},
    };
    for (const Case& c : cases) {
        WriteDisplayModeFile(c.content);
        state.DisMode = Before;
        ReadDisplayModeFile();
        EXPECT_EQ(state.DisMode, c.expected) << '"' << c.content << '"';
    }
}

TEST_F(DisplayModeTest, MissingFileMeansMode1) {
    state.DisMode = Before;
    ReadDisplayModeFile();
    EXPECT_EQ(state.DisMode, 1);
}

TEST_F(DisplayModeTest, FileIsBesideTheExecutableNotTheCurrentDirectory) {
    std::filesystem::create_directories(Dir() + "/out");
    std::ofstream(Dir() + "/out/dismodeconfig.inf") << "DisMode=0\n";
    state.DisMode = Before;
    ReadDisplayModeFile();
    EXPECT_EQ(state.DisMode, 1);  // ./out is not beside bin/console
    RadovlSim_SetExecutablePath((std::filesystem::path(Dir()) / "console").string().c_str());
    ReadDisplayModeFile();
    EXPECT_EQ(state.DisMode, 0);
}

// This test program's own file, found without the library.
std::filesystem::path ThisExecutable() {
#if defined(_WIN32)
    char path[4096] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return std::filesystem::path(std::string(path, n));
#else
    return std::filesystem::canonical("/proc/self/exe");
#endif
}

TEST_F(DisplayModeTest, RealExecutablePathLeadsToTheFile) {
    RadovlSim_SetExecutablePath(nullptr);
    const std::filesystem::path out = ThisExecutable().parent_path() / "out";
    const std::filesystem::path file = out / "dismodeconfig.inf";
    if (std::filesystem::exists(file)) GTEST_SKIP() << file << " exists already";
    const bool madeOut = std::filesystem::create_directories(out);
    std::ofstream(file, std::ios::binary) << "DisMode=0\r\n";
    state.DisMode = Before;
    ReadDisplayModeFile();
    std::error_code error;
    std::filesystem::remove(file, error);
    if (madeOut) std::filesystem::remove(out, error);
    EXPECT_EQ(state.DisMode, 0);
}

TEST_F(DisplayModeTest, LinesAreReadInPiecesWithTheirLineEnd) {
    const std::string path = Dir() + "/lines";
    std::ofstream(path, std::ios::binary) << LongLine() << "x\r\n";
    std::FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    char line[257];
    long offset = 0;
    std::vector<size_t> sizes;
    for (int i = 0; i < 6; ++i) {
        const size_t n = ReadConfigLine(file, line, offset);
        sizes.push_back(n);
        offset += static_cast<long>(n);
    }
    EXPECT_EQ(sizes, (std::vector<size_t>{256, 45, 2, 1, 0, 0}));
    EXPECT_TRUE(std::feof(file));
    std::fclose(file);
}

TEST(FindConfigValue, BlankBeforeEquals) {
    EXPECT_STREQ(FindConfigValue("DisMode = 1"), "1");
    EXPECT_STREQ(FindConfigValue("DisMode=1 x"), "x");
    EXPECT_STREQ(FindConfigValue("DisMode=\t=2"), "2");
    EXPECT_EQ(FindConfigValue("DisMode1"), nullptr);
}

}  // namespace
}  // namespace radovl::test
