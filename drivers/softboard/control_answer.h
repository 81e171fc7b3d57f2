// The control device's operations answered by the simulated board of this
// process (every operation but the reset, which belongs to whoever holds
// the board).
#pragma once

#include <cstdint>

#include "softboard/control.h"

// Fills out (outSize bytes) with the operation's answer; returns the bytes
// written.
uint32_t RadovlControlAnswer(const RadovlControlRequest* request, void* out, uint32_t outSize);
