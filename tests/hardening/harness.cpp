#include "hardening/harness.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>

namespace radovl::test {

StdoutCapture::StdoutCapture() { file_ = memfd_create("radovl-stdout", 0); }

StdoutCapture::~StdoutCapture() {
    if (saved_ >= 0) End();
    if (file_ >= 0) close(file_);
}

void StdoutCapture::Begin() {
    std::fflush(stdout);
    if (ftruncate(file_, 0) != 0 || lseek(file_, 0, SEEK_SET) != 0) return;
    saved_ = dup(STDOUT_FILENO);
    dup2(file_, STDOUT_FILENO);
}

std::string StdoutCapture::End() {
    std::fflush(stdout);
    if (saved_ < 0) return std::string();
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
    saved_ = -1;
    std::string text;
    char buffer[4096];
    off_t at = 0;
    for (;;) {
        const ssize_t n = pread(file_, buffer, sizeof buffer, at);
        if (n <= 0) break;
        text.append(buffer, static_cast<size_t>(n));
        at += n;
    }
    return text;
}

std::string BoardFailedLine(uint32_t code, const std::string& text) {
    char head[64];
    std::snprintf(head, sizeof head, "Error : board initialization failed : 0x%08X : ", code);
    return head + text + "\n";
}

bool OnlyLines(const std::string& printed, const std::vector<std::string>& allowed, std::string* why) {
    size_t at = 0;
    while (at < printed.size()) {
        size_t best = 0;
        for (const std::string& line : allowed) {
            if (line.size() > best && printed.compare(at, line.size(), line) == 0) best = line.size();
        }
        if (best == 0) {
            if (why != nullptr) *why = "unexpected output: \"" + printed.substr(at, 200) + "\"";
            return false;
        }
        at += best;
    }
    return true;
}

namespace {

const char* const ProgramFiles[] = {"./out/idbout/testcmp.out", "./out/vibout/clktest_b.out",
                                    "./out/vibout/clktest_c.out", "./out/vibout/NicTest.out"};

}  // namespace

void HardeningTest::SetUp() {
    BoardTest::SetUp();
    WriteDisplayPrograms();
    // Fallback programs: one small section each.
    coff::Section text;
    text.name = ".text";
    text.address = 0x00000200;
    text.data = coff::WordBytes({0x11111111, 0x22222222, 0x33333333});
    WriteProgram("out/vibout/clktest_b.out", {text});
    WriteProgram("out/vibout/clktest_c.out", {text});
    WriteProgram("out/vibout/NicTest.out", {text});
}

int32_t HardeningTest::InitCaptured(std::string* printed) {
    capture_.Begin();
    const int32_t status = KT_RDSP_Init();
    const std::string out = capture_.End();
    if (printed != nullptr) *printed = out;
    return status;
}

int32_t HardeningTest::Restart(std::string* printed) {
    RadovlSim_Reset();
    RadovlSim_SetExecutablePath((Dir() + "/bin/console").c_str());
    return InitCaptured(printed);
}

std::vector<std::string> HardeningTest::StartUpLines() const {
    std::vector<std::string> lines;
    for (const char* file : ProgramFiles) {
        lines.push_back(std::string("The file ") + file + " was opened\n");
        lines.push_back(std::string("The file ") + file + " was not opened\n");
    }
    lines.push_back(BoardFailedLine(0x900B0000, "Invalid register space"));
    lines.push_back(BoardFailedLine(0xA1070000, "Error while sending a\nrequest to the driver"));
    return lines;
}

std::string HardeningTest::NormalStartUpOutput() const {
    return "The file ./out/idbout/testcmp.out was opened\n"
           "The file ./out/idbout/testcmp.out was opened\n";
}

}  // namespace radovl::test
