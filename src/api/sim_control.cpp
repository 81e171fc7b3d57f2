// The library's part of the simulator control API: what a test or the
// radovl-sim tool asks of the library itself rather than of the board.
#include "radovl/sim.h"

#include "board/selection.h"
#include "platform/sim_board.h"
#include "windows/state.h"

// A power cycle of the simulated board and of the host process in one call,
// so that each test starts from the library's load state. The library's
// part is here, at the top, where every layer's state is in reach; the
// simulator's part is the sim platform's.
extern "C" RADOVL_API void RADOVL_CALL RadovlSim_Reset(void) {
    radovl::ForgetBoardConnections();
    radovl::ResetLibraryState();
    radovl::platform::PowerCycleSimulatedBoard();
}

extern "C" RADOVL_API int32_t RADOVL_CALL RadovlSim_DisplayMode(void) { return radovl::state.DisMode; }
