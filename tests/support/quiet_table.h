#pragma once
// The client's room and game handling wired as the table program wires them,
// with every effect on the screen, the speaker and the network going nowhere:
// a scene that draws nothing, no sound, boxes that answer at once, a user list
// that keeps rows and fills the seats as the program's list glue does. Packets
// go where the table program sends them (room messages to the room handler,
// the rest to the game side). Waits run on a manual clock that each wait moves
// on at once. No Qt.

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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
#include "room/players.h"
#include "room/room_handler.h"
#include "state/command_line.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "state/user_settings.h"
#include "wire/room_protocol.h"
#include "core/user_row.h"

namespace krvo::testing {

namespace quiet {

class Sender final : public PacketSender {
public:
    void sendPacket(std::span<const std::uint8_t>) override { ++sent; }
    int sent = 0;
};

// Keeps rows as the list control does (docs: the user list formats) and, after
// a full load, reports the names in list order as the control's event does.
class UserList final : public UserListOps {
public:
    std::function<void(std::string_view names)> onLoaded;

    std::string findUser(std::string_view name) override {
        const auto it = rows_.find(std::string(name));
        return it == rows_.end() ? std::string() : it->second;
    }
    void addUser(std::string_view row) override {
        const std::optional<std::string> name = nameOf(row);
        if (!name) return;
        if (!rows_.contains(*name)) order_.push_back(*name);
        rows_[*name] = std::string(row);
    }
    void removeUser(std::string_view name) override {
        rows_.erase(std::string(name));
        std::erase(order_, name);
    }
    void clearUsers() override {
        rows_.clear();
        order_.clear();
    }
    void loadUsers(std::string_view body) override {
        clearUsers();
        for (std::size_t start = 0; start < body.size();) {
            std::size_t end = body.find('\n', start);
            if (end == std::string_view::npos) end = body.size();
            std::string_view line = body.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            addUser(line);
            start = end + 1;
        }
        if (onLoaded) onLoaded(JoinFields(order_));
    }
    void updateUser(std::string_view row) override {
        const std::optional<std::string> name = nameOf(row);
        if (name && rows_.contains(*name)) rows_[*name] = std::string(row);
    }
    void setOwnName(std::string_view) override {}

private:
    static std::optional<std::string> nameOf(std::string_view row) {
        std::vector<std::string> fields = SplitFields(row);
        if (fields.size() != kUserRowFields) return std::nullopt;
        return std::move(fields[0]);
    }

    std::map<std::string, std::string> rows_;
    std::vector<std::string> order_;
};

class Chat final : public ChatOps {
public:
    void showSystemLine(std::string_view) override {}
    void showChatText(std::string_view) override {}
    void showChatMessage(const std::array<std::string, 8>&) override {}
    void updateRecipient(std::string_view, bool) override {}
    void clearRecipients() override {}
    void setCurrentRecipient(std::string_view) override {}
    void setOwnName(std::string_view) override {}
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
    TableNotices notices{{table, pub, launch, boxes, chat, sender, alerts, props, scene,
                          [this](ExitReason) { ++closes; }}};
    GameTable game{{launch, pub, table, sender, scene, sound, boxes, chat, settings, waiter, clock,
                    [this](ExitReason) { ++closes; }},
                   {countdown, startButton, notices}};
    RoomHandler room{
        {launch, pub, table, sender, users, chat, dialogs, scene, game, sound, boxes, [](bool) {}}};
};

}  // namespace krvo::testing
