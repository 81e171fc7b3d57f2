// Shared pieces of the hardening tests: a quick start-up in the test's own
// directory, a cheap capture of standard output (start-up runs thousands of
// times here), and the lines the library is allowed to print.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/board_test.h"

namespace radovl::test {

// Standard output redirected into an in-memory file between Begin and End.
class StdoutCapture {
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    void Begin();
    std::string End();

private:
    int file_ = -1;
    int saved_ = -1;
};

// The board's driver refuses with this status ("Invalid register space").
constexpr int32_t DriverRefusal = static_cast<int32_t>(0x900B0000u);

// The line start-up prints when a board cannot be opened.
std::string BoardFailedLine(uint32_t code, const std::string& text);

// True when printed is made only of lines that start-up and the loader may
// print for the program files of this fixture and for the given board
// failure lines; *why tells what was left over otherwise.
bool OnlyLines(const std::string& printed, const std::vector<std::string>& allowed, std::string* why);

class HardeningTest : public BoardTest {
protected:
    void SetUp() override;

    // A fresh process and board, then KT_RDSP_Init with its output captured.
    int32_t Restart(std::string* printed = nullptr);
    // KT_RDSP_Init with its output captured, without a reset.
    int32_t InitCaptured(std::string* printed);

    // Every line start-up may print here: the loader's lines for the four
    // program files, and the board failure lines for the driver statuses
    // the tests inject.
    std::vector<std::string> StartUpLines() const;
    // What a clean start-up prints.
    std::string NormalStartUpOutput() const;

    StdoutCapture capture_;
};

}  // namespace radovl::test
