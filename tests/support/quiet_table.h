#pragma once
// The client's room and game handling wired as the table program wires them,
// with every effect on the screen, the speaker and the network going nowhere:
// a scene that draws nothing, no sound, boxes that answer at once, a user list
// that keeps rows and fills the seats as the program's list glue does. Packets
// go where the table program sends them (room messages to the room handler,
// the rest to the game side). Waits run on a manual clock that each wait moves
// on at once. No Qt.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "core/clock.h"
#include "core/waits.h"
#include "game/game_table.h"
#include "game/table_notices.h"
#include "ports/countdown_bar.h"
#include "ports/message_boxes.h"
#include "ports/packet_sender.h"
#include "ports/room_controls.h"
#include "ports/sound_player.h"
#include "ports/system_alerts.h"
#include "ports/table_button.h"
#include "ports/table_scene.h"
#include "props/props_data.h"
#include "room/players.h"
#include "room/room_handler.h"
#include "state/command_line.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "state/user_settings.h"
#include "support/recording_room.h"
#include "wire/room_protocol.h"

namespace krvo::testing {

namespace quiet {

class Sender final : public PacketSender {
public:
    void sendPacket(std::span<const std::uint8_t>) override { ++sent; }
    int sent = 0;
};

class Dialogs final : public SettingsDialogOpener {
public:
    bool openTableSettings(bool, std::string_view) override { return true; }
};

// Every box is answered at once: with the first button when answerYes is set.
class Boxes final : public MessageBoxService {
public:
    bool showMessageBox(std::int32_t, MsgType, std::string_view, std::string_view, std::int32_t,
                        std::string_view, std::string_view, bool) override {
        return answerYes;
    }
    void closeMessageBoxes(std::int32_t) override {}
    void closeAllBoxes() override {}
    LeaveAnswer& leaveAnswer() override { return answer_; }
    bool lastBoxAnswered() const override { return true; }

    bool answerYes = false;

private:
    LeaveAnswer answer_;
};

class Alerts final : public SystemAlerts {
public:
    void warning(std::string_view, std::string_view, QWidget*) override {}
    void notify(std::string_view, std::string_view, QWidget*) override {}
};

class Countdown final : public CountdownBar {
public:
    void start(int, int) override {}
    void stop() override {}
    void setEvents(Events) override {}
};

class Button final : public TableButton {
public:
    void setVisible(bool) override {}
    void setCaption(std::string_view text) override { caption_ = text; }
    std::string caption() const override { return caption_; }
    void setOnClick(std::function<void()>) override {}

private:
    std::string caption_;
};

}  // namespace quiet

class QuietTable {
public:
    explicit QuietTable(std::string myName = "me") {
        launch.strGameTitle = "krvo";
        launch.strMyUserName = std::move(myName);
        pub.strAppPath = "/nonexistent/";
        ResetAll(table);
        props.resetMarket();
        // The table program's glue between the list and the seats.
        users.onLoaded = [this](std::string_view names) {
            FillSeatsFromList(names, table, pub, users, chat, scene, launch.strMyUserName);
        };
    }

    void handle(std::span<const std::uint8_t> packet) {
        if (packet.empty()) return;
        if (IsRoomMessage(packet[0])) {
            room.handleRoomMessage(packet);
        } else {
            game.handleGameMessage(packet);
        }
    }

    LaunchParams launch;
    PublicState pub;
    TableState table;
    UserSettings settings;
    ManualClock clock;
    int closes = 0;
    Waiter waiter{clock,
                  [this](std::int64_t maxMs) { clock.advance(std::max<std::int64_t>(maxMs, 0)); },
                  [] { return false; }, [] {}};
    quiet::Sender sender;
    RecordingUserList users;
    RecordingChat chat;
    quiet::Dialogs dialogs;
    quiet::Boxes boxes;
    quiet::Alerts alerts;
    quiet::Countdown countdown;
    quiet::Button startButton;
    NullTableScene scene;
    NullSoundPlayer sound;
    PropsData props{{.sender = sender, .strAppPath = pub.strAppPath}};
    TableNotices notices{{.table = table,
                          .pub = pub,
                          .launch = launch,
                          .boxes = boxes,
                          .chat = chat,
                          .sender = sender,
                          .alerts = alerts,
                          .props = props,
                          .scene = scene,
                          .closeMainWindow = [this](ExitReason) { ++closes; }}};
    GameTable game{{.launch = launch,
                    .pub = pub,
                    .table = table,
                    .sender = sender,
                    .scene = scene,
                    .sound = sound,
                    .boxes = boxes,
                    .chat = chat,
                    .settings = settings,
                    .waiter = waiter,
                    .clock = clock,
                    .closeMainWindow = [this](ExitReason) { ++closes; }},
                   {countdown, startButton, notices}};
    RoomHandler room{{.launch = launch,
                      .pub = pub,
                      .table = table,
                      .sender = sender,
                      .users = users,
                      .chat = chat,
                      .dialogs = dialogs,
                      .scene = scene,
                      .flow = game,
                      .sound = sound,
                      .boxes = boxes,
                      .hideMainWindow = [](bool) {}}};
};

}  // namespace krvo::testing
