// Test support: a fixture that gives each test a fresh simulated board and
// process in its own directory, and a decoder that turns the driver trace
// back into board accesses. The decoder knows the board by the literal
// numbers of its register map, not through the library's constants, so a
// wrong constant in the library cannot agree with itself.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "coff/coff_writer.h"
#include "radovl/capture.h"
#include "radovl/radovl.h"
#include "radovl/sim.h"

namespace radovl::test {

std::vector<RadovlSimRequest> Trace();

// One board access as text, e.g.
//   "W32 0xB0203000 = 0x00000000"          main DSP word write
//   "R8 0x6C000006 -> 0xF5"                main DSP byte read
//   "V1 W 0x01800000 = 0x000127A4"         video DSP 1 word written through its bridge
//   "V0 R 0x80000000 -> 0x00001000"        video DSP 0 word read through its bridge
//   "PCI W8 4 = 0x01"                      PCI interface register
//   "QUERY"                                window query
// Main DSP accesses combine the PciPage write with the access after it.
// Failed requests end in " !status".
std::vector<std::string> Accesses(const std::vector<RadovlSimRequest>& trace);
// The same, without collapsing bridge sequences into video accesses.
std::vector<std::string> MainAccesses(const std::vector<RadovlSimRequest>& trace);
std::vector<std::string> Accesses();

// Only the accesses whose text contains needle.
std::vector<std::string> Matching(const std::vector<std::string>& accesses, const std::string& needle);

std::string Hex(uint32_t value, int digits = 8);

// A relative path as the library names it: written with '/', it comes
// back with the platform's separator ('\\' on Windows).
std::string NativePath(std::string path);

// Runs fn and returns what it printed on standard output.
std::string CaptureStdout(const std::function<void()>& fn);

// One export call of a capture file: the call, its requests, its return.
struct CapturedCall {
    RadovlCaptureCall call{};
    std::vector<RadovlCaptureRequest> requests;
    RadovlCaptureReturn end{};
    // What the call read besides the board, in order: a platform record's
    // bytes after its kind word, a file record's name.
    std::vector<std::string> reads;
};

// The calls of a capture file, in order. Fails the test where the file is
// not a version 2 capture of whole calls one after another, each return
// counting its call's requests.
std::vector<CapturedCall> ReadCapture(const std::string& path);

// Program with the address of the distance variable at video address
// 0x80000000, as the display program keeps it.
std::vector<coff::Section> DisplayProgram(uint32_t distanceVariable = 0x80001000);

class BoardTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The test's own directory, the current directory while it runs.
    const std::string& Dir() const { return dir_; }
    // The display-mode file the library reads for this test.
    std::string DisplayModeFile() const;
    void WriteDisplayModeFile(const std::string& content) const;
    // Program files under ./out, as start-up loads them.
    void WriteProgram(const std::string& relativePath, const std::vector<coff::Section>& sections) const;
    void WriteDisplayPrograms() const;
    // Start-up with program files present and its output swallowed; the
    // trace is cleared afterwards.
    void StartUp();

private:
    std::string dir_;
    std::string previousDir_;
};

}  // namespace radovl::test
