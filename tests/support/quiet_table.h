#pragma once
// The client's room and game handling wired as the table program wires them,
// with every effect on the screen, the speaker and the network going nowhere:
// a scene that draws nothing, no sound, boxes that answer at once, a user list
// that only keeps rows. Packets go where the table program sends them (room
// messages to the room handler, the rest to the game side). Waits run on a
// manual clock that each wait moves on at once. No Qt.

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>

#include "core/clock.h"
#include "core/packet.h"
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
#include "room/room_handler.h"
#include "state/command_line.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "state/user_settings.h"
#include "wire/room_protocol.h"

namespace krvo::testing {

namespace quiet {

class Sender final : public PacketSender {
public:
    void SendPacket(std::span<const std::uint8_t>) override { ++sent; }
    int sent = 0;
};

class UserList final : public UserListOps {
public:
    std::string FindUser(std::string_view name) override {
        const auto it = rows_.find(std::string(name));
        return it == rows_.end() ? std::string() : it->second;
    }
    void AddUser(std::string_view row) override { keep(row); }
    void RemoveUser(std::string_view name) override { rows_.erase(std::string(name)); }
    void ClearUsers() override { rows_.clear(); }
    void LoadUsers(std::string_view) override {}
    void UpdateUser(std::string_view row) override { keep(row); }
    void SetOwnName(std::string_view) override {}

private:
    void keep(std::string_view row) {
        const std::size_t end = row.find(kFieldSeparator);
        rows_[std::string(row.substr(0, end))] = std::string(row);
    }
    std::map<std::string, std::string> rows_;
};

class Chat final : public ChatOps {
public:
    void ShowSystemLine(std::string_view) override {}
    void ShowChatText(std::string_view) override {}
    void ShowChatMessage(const std::array<std::string, 8>&) override {}
    void UpdateRecipient(std::string_view, bool) override {}
    void ClearRecipients() override {}
    void SetCurrentRecipient(std::string_view) override {}
    void SetOwnName(std::string_view) override {}
};

class Dialogs final : public SettingsDialogOpener {
public:
    bool OpenGameSet(bool, std::string_view) override { return true; }
};

class Boxes final : public MessageBoxService {
public:
    bool ShowMessageBox(std::int32_t, MsgType, std::string_view, std::string_view, std::int32_t,
                        std::string_view, std::string_view, bool) override {
        return false;
    }
    void CloseMessageBoxes(std::int32_t) override {}
    void InitMsgObjects() override {}
    LeaveAnswer& leaveAnswer() override { return answer_; }

private:
    LeaveAnswer answer_;
};

class Alerts final : public SystemAlerts {
public:
    void warning(std::string_view, std::string_view, QWidget*) override {}
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
        props.InitPropsMarket();
    }

    void handle(std::span<const std::uint8_t> packet) {
        if (packet.empty()) return;
        if (IsRoomMessage(packet[0])) {
            room.OnRoomMessage(packet);
        } else {
            game.HandleGameMsg(packet);
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
    quiet::UserList users;
    quiet::Chat chat;
    quiet::Dialogs dialogs;
    quiet::Boxes boxes;
    quiet::Alerts alerts;
    quiet::Countdown countdown;
    quiet::Button startButton;
    NullTableScene scene;
    NullSoundPlayer sound;
    PropsData props{{sender, pub.strAppPath}};
    TableNotices notices{
        {table, pub, launch, boxes, chat, sender, alerts, props, [this] { ++closes; }}};
    GameTable game{{launch, pub, table, sender, scene, sound, boxes, chat, settings, waiter, clock,
                    [this] { ++closes; }},
                   {countdown, startButton, notices}};
    RoomHandler room{{launch, pub, table, sender, users, chat, dialogs, scene, game, sound, boxes,
                      [](bool) {}}};
};

}  // namespace krvo::testing
