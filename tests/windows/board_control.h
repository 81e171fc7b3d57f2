// The board behind radovl.dll, as the Windows hosts reach it: the software
// board driver's control device in the real-driver build, the simulated
// board's RadovlSim_* functions in the simulated-board build. The same
// operations either way (drivers/board/control.h).
#pragma once

#include <cstdint>
#include <vector>

#include "softboard/control.h"
#include "radovl/sim.h"

namespace radovl::host {

// Opens the control device (nothing to open in process); false and a
// message on standard error when there is no driver.
bool OpenBoardControl();
// One operation and its 32-bit answer; 0 (and a message) when the request
// fails.
int32_t Board(RadovlControlOperation operation, int32_t a0 = 0, int32_t a1 = 0, int32_t a2 = 0, int32_t a3 = 0);
// The trace from index first on.
std::vector<RadovlSimRequest> TraceFrom(int32_t first);

}  // namespace radovl::host
