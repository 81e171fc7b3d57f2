// The request path of radovl.dll under Wine, timed: with the real-driver
// DLL each request goes DLL -> DeviceIoControl -> Wine -> the software
// board driver's process; with the simulated-board DLL it stays in the
// process. Built in both Windows x86_64 flavours; bench/run-driver.sh runs
// both and writes the table.
//
//   radovl_driver_bench [--program-bytes N] [--seconds S]
//
// Prints "name value" lines: start-up time with the display program of N
// bytes (default 1 MiB) loaded into both video DSPs, its requests, and
// requests per second of SetPPIColor (512 requests a call) over S seconds
// (default 2). Wall-clock time: the driver's share runs in another process.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board_control.h"
#include "demo_programs.h"
#include "radovl/radovl.h"

namespace {

using radovl::host::Board;

double Now() {
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

uint32_t Requests() { return static_cast<uint32_t>(Board(RadovlControlRequestCount)); }

}  // namespace

int main(int argc, char** argv) {
    uint32_t programBytes = 1u << 20;
    double seconds = 2.0;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--program-bytes") == 0) programBytes = static_cast<uint32_t>(std::strtoul(argv[i + 1], nullptr, 0));
        if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::strtod(argv[i + 1], nullptr);
    }
    if (!radovl::host::OpenBoardControl()) return 2;
    Board(RadovlControlReset);
    Board(RadovlControlSetTraceEnabled, 0);  // long loads cost no trace memory
    std::string error;
    if (radovl::tool::WriteDemoPrograms(".", programBytes, &error).empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }

    Board(RadovlControlTraceClear);
    double begin = Now();
    const int32_t status = KT_RDSP_Init();
    const double initSeconds = Now() - begin;
    const uint32_t initRequests = Requests();
    if (status != RADOVL_STATUS_DONE) {
        std::fprintf(stderr, "KT_RDSP_Init returned %d\n", static_cast<int>(status));
        return 1;
    }

    Board(RadovlControlTraceClear);
    uint32_t colour = 0;
    begin = Now();
    double elapsed = 0;
    while (elapsed < seconds) {
        KT_RDSP_SetPPIColor(1, colour += 0x01010100u);
        elapsed = Now() - begin;
    }
    const uint32_t requests = Requests();

    std::printf("program_bytes %u\n", static_cast<unsigned>(programBytes));
    std::printf("init_seconds %.3f\n", initSeconds);
    std::printf("init_requests %u\n", static_cast<unsigned>(initRequests));
    std::printf("init_requests_per_s %.0f\n", initRequests / initSeconds);
    std::printf("call_requests_per_s %.0f\n", requests / elapsed);
    return 0;
}
