// The board every register access goes to. Start-up opens board 0 and,
// when that board's scratch register fails the access test, board 1; every
// connection it opened stays open for the life of the process, as the
// board keeps its connections until the host process ends.
#pragma once

#include <cstdint>

#include "board/connection.h"

namespace radovl {

// The connection every access goes to: nullptr before a board is selected
// and after a failed open.
BoardConnection* CurrentBoard();

// Opens board n and makes it the current board: every later access goes
// to it. A failed open prints its code and text, leaves no current board
// and returns the code.
ErrorCode SelectBoard(int32_t n);

// Makes a connection opened elsewhere (BoardOpen) the current board, or
// none (nullptr).
void SelectConnection(BoardConnection* connection);

// Drops the records of every connection (not their handles) when the
// simulated process is reset, with the current one if it was opened
// outside SelectBoard.
void ForgetBoardConnections();

}  // namespace radovl
