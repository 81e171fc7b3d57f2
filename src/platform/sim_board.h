// What only the platform of the simulated-board builds offers.
#pragma once

namespace radovl::platform {

// Power cycle of the simulated boards and of the host side they simulate
// (monitors, screen, executable path, clock, trace): everything back to
// its power-on value.
void PowerCycleSimulatedBoard();

}  // namespace radovl::platform
