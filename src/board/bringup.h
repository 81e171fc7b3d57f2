// Board bring-up: reset and configure the current board's three DSPs, and
// the two program sets that start-up loads afterwards.
#pragma once

#include <cstdint>

#include "hw/driver.h"

namespace radovl {

// Resets and configures the current board (SelectBoard).
void BringUpBoard();

// The display programs, into both video DSPs, which are then started. A
// program that does not load leaves its DSP as it was and is started all
// the same: nothing here can fail.
void LoadVideoPrograms();
// The programs run on board 0 when its scratch register fails the test.
void LoadFallbackPrograms();

void ResetMainDsp();
void ReleaseVideoDsp(int dsp);
void StartVideoDsp(int dsp);
void InterruptMainDsp();

}  // namespace radovl
