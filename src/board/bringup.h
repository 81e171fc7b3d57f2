// Board bring-up: open a board, reset and configure its three DSPs, and the
// two program sets that start-up loads afterwards.
#pragma once

#include <cstdint>

#include "board/driver.h"

namespace radovl {

// Opens board n as the current board and configures it. Returns 0, or the
// code of the failed open (after printing it).
ErrorCode BringUpBoard(int32_t n);

// The display programs, into both video DSPs, which are then started.
bool LoadVideoPrograms();
// The programs run on board 0 when its scratch register fails the test.
bool LoadFallbackPrograms();

void ResetMainDsp();
void ReleaseVideoDsp(int dsp);
void StartVideoDsp(int dsp);
void InterruptMainDsp();

// Every connection bring-up opened stays open for the life of the process;
// this drops the records (not the handles) when the simulated process is
// reset, with the current one if it was opened without bring-up.
void ForgetBoardConnections();

}  // namespace radovl
