// RadovlSim_Reset: a power cycle of the simulated board and of the host
// process in one call, so that each test starts from the library's load
// state.
#include "radovl/sim.h"

#include "api/state.h"
#include "board/bringup.h"
#include "platform/platform.h"
#include "sim/simulator.h"

extern "C" RADOVL_API void RADOVL_CALL RadovlSim_Reset(void) {
    const radovl::platform::CallHeld held;  // the library's state is reset too
    radovl::ForgetBoardConnections();
    radovl::state = radovl::LoadState();
    radovl::sim::PowerCycle();
}
