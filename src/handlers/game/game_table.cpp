#include "game/game_table.h"

namespace krvo {

GameTable::GameTable(GameLinks links, Controls controls)
    : clock_(links, controls.countdownBar),
      start_(links, clock_, controls.startButton),
      actions_(links, clock_),
      flow_(links, clock_, start_),
      autoPlay_(links, clock_, actions_),
      handler_(links, {flow_, clock_, start_, actions_, controls.notices}) {}

}  // namespace krvo
