// Fuzz target: any bytes as a DSP program file, loaded into the main DSP,
// each video DSP and a target that does not exist.
//
// Besides crashes, over-reads and undefined behaviour it checks that the
// loader reports one of its statuses, sends nothing for a file it refuses at
// the header or for an unknown target, and, when it reports success, that
// every byte of every initialised section sits at its address in the video
// DSP's memory (later sections over earlier ones).
#include <cstring>
#include <map>
#include <string>

#include "board/loader.h"
#include "fuzz_support.h"
#include "radovl/radovl.h"
#include "radovl/sim.h"

namespace {

using radovl::fuzz::Check;

constexpr int32_t UnknownTarget = 3;
// The simulator's memory grows with every address written: start afresh
// now and then.
constexpr int InputsPerBoard = 64;

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// The bytes a successful load must have left in a video DSP, by address,
// read from the file independently of the loader.
std::map<uint32_t, uint8_t> ExpectedBytes(const uint8_t* data, size_t size) {
    std::map<uint32_t, uint8_t> bytes;
    const unsigned sections = Le16(data + 2);
    for (unsigned i = 0; i < sections; ++i) {
        const size_t header = 50 + 48 * static_cast<size_t>(i);
        const uint32_t address = Le32(data + header + 8);
        const auto length = static_cast<int32_t>(Le32(data + header + 16));
        const auto position = static_cast<int32_t>(Le32(data + header + 20));
        if (position <= 0 || length <= 0) continue;
        for (int32_t b = 0; b < length; ++b) {
            bytes[address + static_cast<uint32_t>(b)] = data[static_cast<size_t>(position) + static_cast<size_t>(b)];
        }
    }
    (void)size;
    return bytes;
}

void StartBoard() {
    RadovlSim_Reset();
    RadovlSim_SetExecutablePath((radovl::fuzz::WorkDir() + "/console").c_str());
    // No program files in the work directory's out/: start-up loads nothing.
    Check(KT_RDSP_Init() == 1, "start-up failed");
    RadovlSim_SetTraceEnabled(0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int inputs = 0;
    static const std::string path = radovl::fuzz::WorkDir() + "/program.out";
    radovl::fuzz::SilenceStdout();
    if (inputs++ % InputsPerBoard == 0) StartBoard();
    radovl::fuzz::WriteBytes(path, data, size);

    for (int32_t target : {0, 1, 2, UnknownTarget}) {
        const uint32_t before = RadovlSim_RequestCount();
        const int32_t status = radovl::LoadDspProgram(target, path.c_str());
        const uint32_t sent = RadovlSim_RequestCount() - before;
        Check(status == 1 || (status >= -6 && status <= -1), "status out of range", status, 1);
        if (status <= -1 && status >= -4) Check(sent == 0, "requests sent for a refused file", sent, 0);
        if (target == UnknownTarget) Check(sent == 0, "requests sent to a DSP that is not there", sent, 0);
        if (status != 1 || target == 0 || target == UnknownTarget) continue;
        // Header accepted and every section read: the file holds them all.
        for (const auto& [address, byte] : ExpectedBytes(data, size)) {
            const uint32_t held = RadovlSim_PeekVideo(0, target - 1, address) & 0xFF;
            Check(held == byte, "section byte not loaded", held, byte);
        }
    }
    return 0;
}
