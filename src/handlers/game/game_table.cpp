#include "game/game_table.h"

namespace krvo {
namespace {

GameSounds sounds(const GameLinks& links) {
    return {links.sound, links.settings};
}

NoticeBox notice(const GameLinks& links) {
    return {links.boxes, links.waiter};
}

}  // namespace

GameTable::GameTable(GameLinks links, Controls controls)
    : clock_({links.table, links.scene, sounds(links)}, controls.countdownBar),
      start_({links.launch, links.pub, links.table, links.scene, links.sender, links.clock,
              links.closeMainWindow},
             clock_, controls.startButton),
      actions_({links.launch, links.pub, links.table, links.scene, links.sender, links.clock,
                notice(links)},
               clock_),
      flow_({links.pub, links.table, links.scene, links.sender}, clock_, start_),
      autoPlay_(
          {links.pub, links.table, links.scene, links.sender, notice(links), links.closeMainWindow},
          clock_, actions_),
      handler_({links.launch, links.pub, links.table, links.scene, links.sender, sounds(links),
                notice(links), links.chat, links.waiter},
               {flow_, clock_, start_, actions_, controls.notices}) {}

}  // namespace krvo
