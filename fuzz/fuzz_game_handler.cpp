// The client's game side (message handling, actions, clock, automatic play and
// notices) as one table, fed arbitrary game messages mixed with clicks and the
// passing of time. The handlers are plain C++ behind their ports: the scene,
// sounds, boxes, chat and network are do-nothing doubles, the time bar and the
// start button doubles on the manual clock. No Qt, no widget and no record of
// calls nobody reads: each input costs the handling itself.

#include <cstdint>

#include "fuzz_check.h"
#include "game/game_table.h"
#include "packet_script.h"
#include "support/game_wiring.h"
#include "support/quiet_table.h"
#include "target_ids.h"

namespace {

using namespace krvo::testing;

constexpr auto& kGameIds = krvo::fuzz::kGameHandlerIds;

struct GameSide : quiet::Doubles, GameWiring {
    GameSide() : quiet::Doubles(quiet::TimeBar::Ticking), GameWiring(ports()) { seatFourPlayers(); }

    void act(std::uint8_t what, std::uint8_t arg) {
        krvo::TableActions& actions = game.actions();
        switch (what % 9) {
            case 0:
                actions.toggleCard(arg);
                break;
            case 1:
                actions.playAction(arg % 4);
                break;
            case 2:
                actions.clickPlayButton(arg % 4);
                break;
            case 3:
                actions.rightClick();
                break;
            case 4:
                actions.sortHand();
                break;
            case 5:
                actions.showPreviousTrick();
                break;
            case 6:
                actions.sendAnswer(arg);
                break;
            case 7:
                startButton.click();
                break;
            default:
                clock.advance(arg * 100);
                break;
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    krvo::fuzz::PacketScript script({data, size}, kGameIds);
    GameSide side;
    const std::uint8_t flags = script.byte();
    side.pub.blnIsOnlooker = (flags & 1) != 0;
    side.boxes.answerYes = (flags & 2) != 0;
    while (!script.done()) {
        const std::uint8_t step = script.byte();
        if (step < 0xE0) {
            side.game.handleGameMessage(script.packet());
        } else {
            side.act(step, script.byte());
        }
        krvo::fuzz::Require(side.table.bteSelected.size() <= side.table.bteMyPai.size(),
                            "no selection mark without its card");
    }
    return 0;
}
