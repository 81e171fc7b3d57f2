#include "board/selection.h"

#include <algorithm>
#include <vector>

#include "platform/platform.h"

namespace radovl {
namespace {

BoardConnection* current = nullptr;

std::vector<BoardConnection*>& OpenedConnections() {
    static std::vector<BoardConnection*> connections;
    return connections;
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
