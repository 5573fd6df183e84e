#pragma once
// Why the program leaves the table on its own. Each reason has a sentence the
// player reads before the window goes and an exit status of its own, so that
// whatever started the program can tell the player too.

#include <cstdint>
#include <string_view>

namespace krvo {

enum class ExitReason : std::uint8_t {
    Closed,          // the player closed the window
    StartCountdown,  // the start button's countdown ran out
    AutoPlayLimit,   // too many automatic plays: counted as running away
    TableDissolved,  // everybody agreed that we leave
    CannotGoOn,      // the server says we cannot go on
    ConnectionLost,  // the room server went away
    ConnectFailed,   // the room server could not be reached at all
};

// 0 for the player's own close; 1 belongs to the start-up errors; the
// reasons above take 2 to 7 in their order.
int ExitStatusOf(ExitReason reason);
// What the player is told, in Chinese; empty for the player's own close.
std::string_view ExitReasonText(ExitReason reason);
// Whether a box at the table has just said why (the dissolved table, the
// notice that a player cannot go on, the runaway notice), so that no second
// notice follows.
bool ExplainedAtTheTable(ExitReason reason);

}  // namespace krvo
