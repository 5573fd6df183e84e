// The client's game side (message handling, actions, clock, automatic play and
// notices) as one table wired to recorders, fed arbitrary game messages mixed
// with clicks and the passing of time. Qt widgets are involved, so one
// offscreen application lives for the whole run.

#include <QWidget>
#include <cstdint>
#include <string>

#include "state/command_line.h"
#include "state/public_state.h"
#include "fuzz_check.h"
#include "game/game_handler.h"
#include "game/game_table.h"
#include "game/table_notices.h"
#include "state/table_state.h"
#include "packet_script.h"
#include "platform/chat_control.h"
#include "platform/ko_clock.h"
#include "props/props_data.h"
#include "state/user_settings.h"
#include "support/manual_event_loop.h"
#include "support/qt_test_application.h"
#include "support/recording_alerts.h"
#include "support/recording_room.h"
#include "support/recording_sender.h"

namespace {

using namespace krvo::testing;

constexpr std::uint8_t kGameIds[] = {1, 2, 3, 5, 17, 18, 19, 20, 21, 22, 23, 24, 113, 133};

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
        props.InitPropsMarket();
    }

    void act(std::uint8_t what, std::uint8_t arg) {
        krvo::TableActions& actions = game.actions();
        switch (what % 8) {
            case 0:
                actions.ToggleCard(arg);
                break;
            case 1:
                actions.PlayAction(arg % 4);
                break;
            case 2:
                actions.ClickPlayButton(arg % 4);
                break;
            case 3:
                actions.RightClick();
                break;
            case 4:
                actions.SortHand();
                break;
            case 5:
                actions.ShowPreviousTrick();
                break;
            case 6:
                actions.SendAnswer(arg);
                break;
            default:
                loop.clock().advance(arg * 100);
                break;
        }
    }

    ManualEventLoop loop;
    CallLog log;
    krvo::LaunchParams launch;
    krvo::PublicState pub;
    krvo::TableState table;
    RecordingSender sender;
    RecordingScene scene{log};
    RecordingSound sound{log};
    RecordingBoxes boxes{log};
    RecordingChat chat{log};
    RecordingAlerts alerts;
    krvo::UserSettings settings;
    int closes = 0;
    RecordingSender propsSender;
    std::string appPath = "/nonexistent/";
    krvo::PropsData props{{propsSender, appPath}};
    krvo::TableNotices notices{
        {table, pub, launch, boxes, chat, sender, alerts, props, [this] { ++closes; }}};
    QWidget surface;
    krvo::KoClock koClock{loop.clock(), &surface};
    krvo::ChatControl VexChat;
    krvo::GameTable game{{launch, pub, table, sender, scene, sound, boxes, chat, settings,
                          loop.waiter(), loop.clock(), [this] { ++closes; }},
                         {koClock, surface, notices, VexChat}};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EnsureQtApplication();
    krvo::fuzz::PacketScript script({data, size}, kGameIds);
    GameSide side;
    const std::uint8_t flags = script.byte();
    side.pub.blnIsOnlooker = (flags & 1) != 0;
    side.boxes.answerYes = (flags & 2) != 0;
    while (!script.done()) {
        const std::uint8_t step = script.byte();
        if (step < 0xE0) {
            side.game.HandleGameMsg(script.packet());
        } else {
            side.act(step, script.byte());
        }
        side.log.clear();
        side.sender.packets.clear();
        krvo::fuzz::Require(side.table.bteSelected.size() <= side.table.bteMyPai.size(),
                            "no selection mark without its card");
    }
    return 0;
}
