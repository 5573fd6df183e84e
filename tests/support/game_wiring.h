#pragma once
// The client's game side (props, notices and the game table) wired as the
// table program wires it, on doubles the owner builds first and keeps alive.
// Owners list the class holding their doubles as a base before GameWiring,
// so the doubles exist before anything is linked to them.

#include <cstddef>
#include <string>

#include "core/clock.h"
#include "core/waits.h"
#include "game/game_table.h"
#include "game/table_notices.h"
#include "ports/countdown_bar.h"
#include "ports/message_boxes.h"
#include "ports/packet_sender.h"
#include "ports/sound_player.h"
#include "ports/system_alerts.h"
#include "ports/table_button.h"
#include "ports/table_scene.h"
#include "props/props_data.h"
#include "state/command_line.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "state/user_settings.h"

namespace krvo::testing {

struct GamePorts {
    PacketSender& sender;
    // The market's own sender, so that buying shows apart from table packets.
    PacketSender& propsSender;
    TableScene& scene;
    SoundPlayer& sound;
    MessageBoxService& boxes;
    ChatOps& chat;
    SystemAlerts& alerts;
    Waiter& waiter;
    Clock& clock;
    CountdownBar& countdown;
    TableButton& startButton;
};

class GameWiring {
public:
    explicit GameWiring(const GamePorts& ports)
        : props{{.sender = ports.propsSender, .strAppPath = appPath}},
          notices{{.table = table,
                   .pub = pub,
                   .launch = launch,
                   .boxes = ports.boxes,
                   .chat = ports.chat,
                   .sender = ports.sender,
                   .alerts = ports.alerts,
                   .props = props,
                   .scene = ports.scene,
                   .closeMainWindow = [this](ExitReason) { ++closes; }}},
          game{{.launch = launch,
                .pub = pub,
                .table = table,
                .sender = ports.sender,
                .scene = ports.scene,
                .sound = ports.sound,
                .boxes = ports.boxes,
                .chat = ports.chat,
                .settings = settings,
                .waiter = ports.waiter,
                .clock = ports.clock,
                .closeMainWindow = [this](ExitReason) { ++closes; }},
               {ports.countdown, ports.startButton, notices}} {
        launch.strGameTitle = "krvo";
        launch.strMyUserName = "me";
        props.resetMarket();
    }

    // Four named players at the table, the local one ("me") in chair 2, and
    // the table waiting for the round.
    void seatFourPlayers() {
        const char* names[] = {"north", "west", "me", "east"};
        for (std::size_t chair = 0; chair < kChairCount; ++chair) {
            table.arrSeat[chair].strUserName = names[chair];
        }
        pub.bteMyChair = 2;
        pub.bteGameState = 1;
    }

    LaunchParams launch;
    PublicState pub;
    TableState table;
    UserSettings settings;
    // Times the game side asked to close the program.
    int closes = 0;
    std::string appPath = "/nonexistent/";
    PropsData props;
    TableNotices notices;
    GameTable game;
};

}  // namespace krvo::testing
