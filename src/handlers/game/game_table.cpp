#include "game/game_table.h"

namespace krvo {
namespace {

GameSounds sounds(const GameLinks& links) {
    return {.sound = links.sound, .settings = links.settings};
}

NoticeBox notice(const GameLinks& links) {
    return {.boxes = links.boxes, .waiter = links.waiter};
}

}  // namespace

GameTable::GameTable(GameLinks links, Controls controls)
    : clock_({.table = links.table, .scene = links.scene, .sounds = sounds(links)},
             controls.countdownBar),
      start_({.launch = links.launch,
              .pub = links.pub,
              .table = links.table,
              .scene = links.scene,
              .sender = links.sender,
              .clock = links.clock,
              .closeMainWindow = links.closeMainWindow},
             clock_, controls.startButton),
      actions_({.launch = links.launch,
                .pub = links.pub,
                .table = links.table,
                .scene = links.scene,
                .sender = links.sender,
                .clock = links.clock,
                .notice = notice(links)},
               clock_),
      flow_({.pub = links.pub, .table = links.table, .scene = links.scene, .sender = links.sender},
            clock_, start_),
      autoPlay_({.pub = links.pub,
                 .table = links.table,
                 .scene = links.scene,
                 .sender = links.sender,
                 .notice = notice(links),
                 .closeMainWindow = links.closeMainWindow},
                clock_, actions_),
      handler_({.launch = links.launch,
                .pub = links.pub,
                .table = links.table,
                .scene = links.scene,
                .sender = links.sender,
                .sounds = sounds(links),
                .notice = notice(links),
                .chat = links.chat,
                .waiter = links.waiter},
               {flow_, clock_, start_, actions_, controls.notices}) {}

}  // namespace krvo
