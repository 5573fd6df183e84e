// The client's game side (message handling, actions, clock, automatic play and
// notices) as one table, fed arbitrary game messages mixed with clicks and the
// passing of time. The handlers are plain C++ behind their ports: the scene,
// sounds, boxes, chat and network are do-nothing doubles, the time bar and the
// start button doubles on the manual clock. No Qt, no widget and no record of
// calls nobody reads: each input costs the handling itself.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/clock.h"
#include "core/waits.h"
#include "fuzz_check.h"
#include "game/game_table.h"
#include "game/table_notices.h"
#include "packet_script.h"
#include "ports/countdown_bar.h"
#include "ports/sound_player.h"
#include "ports/table_button.h"
#include "ports/table_scene.h"
#include "props/props_data.h"
#include "state/command_line.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "state/user_settings.h"
#include "support/manual_countdown.h"
#include "support/quiet_table.h"
#include "target_ids.h"

namespace {

using namespace krvo::testing;

constexpr auto& kGameIds = krvo::fuzz::kGameHandlerIds;

// The start button: shown or not, and clicked when the script says so.
class ScriptedButton final : public krvo::TableButton {
public:
    void setVisible(bool visible) override { visible_ = visible; }
    void setCaption(std::string_view caption) override { caption_ = caption; }
    std::string caption() const override { return caption_; }
    void setOnClick(std::function<void()> onClick) override { onClick_ = std::move(onClick); }
    void click() {
        if (visible_ && onClick_) onClick_();
    }

private:
    bool visible_ = false;
    std::string caption_;
    std::function<void()> onClick_;
};

struct GameSide {
    GameSide() {
        const char* names[] = {"north", "west", "me", "east"};
        for (std::size_t chair = 0; chair < krvo::kChairCount; ++chair) {
            table.arrSeat[chair].strUserName = names[chair];
        }
        launch.strGameTitle = "krvo";
        launch.strMyUserName = "me";
        pub.bteMyChair = 2;
        pub.bteGameState = 1;
        props.resetMarket();
    }

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

    krvo::ManualClock clock;
    // A wait moves the clock on at once, firing what falls due meanwhile.
    krvo::Waiter waiter{
        clock, [this](std::int64_t maxMs) { clock.advance(std::max<std::int64_t>(maxMs, 0)); },
        [] { return false; }, [] {}};
    krvo::LaunchParams launch;
    krvo::PublicState pub;
    krvo::TableState table;
    quiet::Sender sender;
    krvo::NullTableScene scene;
    krvo::NullSoundPlayer sound;
    quiet::Boxes boxes;
    quiet::Chat chat;
    quiet::Alerts alerts;
    krvo::UserSettings settings;
    int closes = 0;
    std::string appPath = "/nonexistent/";
    krvo::PropsData props{{sender, appPath}};
    krvo::TableNotices notices{{table, pub, launch, boxes, chat, sender, alerts, props, scene,
                                [this](krvo::ExitReason) { ++closes; }}};
    ManualCountdown countdown{clock};
    ScriptedButton startButton;
    krvo::GameTable game{{launch, pub, table, sender, scene, sound, boxes, chat, settings, waiter,
                          clock, [this](krvo::ExitReason) { ++closes; }},
                         {countdown, startButton, notices}};
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
