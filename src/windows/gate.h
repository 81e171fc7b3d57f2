// The gate every exported window operation passes before it touches the
// board or the library's record.
#pragma once

#include <cstdint>

#include "board/selection.h"
#include "windows/state.h"

namespace radovl {

// Start-up has completed and left a board connection. A repeated start-up
// whose board open failed leaves initialised set but no connection; the
// operations then refuse as before start-up, since they cannot reach a board.
inline bool BoardReady() { return state.initialised != 0 && CurrentBoard() != nullptr; }

inline bool IsChannel(int channel) { return channel == 1 || channel == 2; }

// Steps 1 and 2 of the gate: StatusDone when the call may go on, else the
// status to return.
inline int32_t GateChannel(int8_t channel) {
    if (!BoardReady()) return StatusNotInitialised;
    if (!IsChannel(channel)) return StatusBadArgument;
    return StatusDone;
}

inline bool IsFlag(int32_t value) { return value == 0 || value == 1; }
inline bool InRange(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

// A screen point is accepted when the window's top-left corner lies inside
// the bounds recorded at start-up (last column and last row included).
inline bool OnScreen(int32_t x, int32_t y) {
    return InRange(x, state.screenLeft, state.screenRight) && InRange(y, state.screenTop, state.screenBottom);
}

}  // namespace radovl
