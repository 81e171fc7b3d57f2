#include "board/selection.h"

#include <algorithm>
#include <vector>

#include "platform/platform.h"

namespace radovl {
namespace {

BoardConnection* current = nullptr;

// Never destroyed: the connections stay open, and reachable, to the very
// end of the process, after every static destructor has run.
std::vector<BoardConnection*>& OpenedConnections() {
    static auto* connections = new std::vector<BoardConnection*>;
    return *connections;
}

}  // namespace

BoardConnection* CurrentBoard() { return current; }

ErrorCode SelectBoard(int32_t n) {
    current = nullptr;
    const ErrorCode code = BoardOpen(n, &current);
    if (code != ErrorOk) {
        platform::Print("Error : board initialization failed : 0x%08X : %s\n", code, BoardErrorText(code));
        return code;
    }
    OpenedConnections().push_back(current);
    return ErrorOk;
}

void SelectConnection(BoardConnection* connection) { current = connection; }

void ForgetBoardConnections() {
    auto& opened = OpenedConnections();
    // A connection opened outside SelectBoard (as the board-level tests
    // open theirs) has no other owner.
    if (std::find(opened.begin(), opened.end(), current) == opened.end()) delete current;
    current = nullptr;
    for (BoardConnection* connection : opened) delete connection;
    opened.clear();
}

}  // namespace radovl
