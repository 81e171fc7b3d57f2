// The I2C master core of the board logic and the two video decoders on it.
#pragma once

#include <cstdint>

namespace radovl {

// Status reads WaitI2cIdle makes before it gives up on a stuck core. A byte
// on the bus takes about a millisecond at the programmed clock and one
// status read over the driver some microseconds, so this is far beyond any
// transfer that is still going to finish.
constexpr int I2cIdleReadLimit = 10000;

void I2cInit();
// True when the core reported idle; false when the read limit was reached.
bool WaitI2cIdle();
// One write transaction: device address, register, value (each a byte).
// A transaction whose core stays busy is abandoned at that point.
void DecoderWrite(uint32_t device, uint32_t reg, uint32_t value);
void DecoderInit();

}  // namespace radovl
