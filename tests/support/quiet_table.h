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
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "core/clock.h"
#include "core/waits.h"
#include "ports/countdown_bar.h"
#include "ports/message_boxes.h"
#include "ports/packet_sender.h"
#include "ports/room_controls.h"
#include "ports/sound_player.h"
#include "ports/system_alerts.h"
#include "ports/table_button.h"
#include "ports/table_scene.h"
#include "room/players.h"
#include "room/room_handler.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "support/game_wiring.h"
#include "support/manual_countdown.h"
#include "support/recording_room.h"
#include "support/room_wiring.h"
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

// The start button: shown or not, and clicked when a caller says so.
class Button final : public TableButton {
public:
    void setVisible(bool visible) override { visible_ = visible; }
    void setCaption(std::string_view text) override { caption_ = text; }
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

// Replayed rounds take their time-outs from the server's messages, so their
// time bar stays still; a fuzz run wants the bar's own ticks and time-outs.
enum class TimeBar { Still, Ticking };

// The doubles a quiet game side runs on, built before the wiring that links
// them. Each wait moves the clock on at once, firing what falls due meanwhile.
struct Doubles {
    explicit Doubles(TimeBar bar)
        : countdown(bar == TimeBar::Ticking
                        ? std::unique_ptr<CountdownBar>(std::make_unique<ManualCountdown>(clock))
                        : std::make_unique<Countdown>()) {}

    GamePorts ports() {
        return {.sender = sender,
                .propsSender = sender,
                .scene = scene,
                .sound = sound,
                .boxes = boxes,
                .chat = chat,
                .alerts = alerts,
                .waiter = waiter,
                .clock = clock,
                .countdown = *countdown,
                .startButton = startButton};
    }

    ManualClock clock;
    Waiter waiter{clock,
                  [this](std::int64_t maxMs) { clock.advance(std::max<std::int64_t>(maxMs, 0)); },
                  [] { return false; }, [] {}};
    Sender sender;
    NullTableScene scene;
    NullSoundPlayer sound;
    Boxes boxes;
    RecordingChat chat;
    Alerts alerts;
    std::unique_ptr<CountdownBar> countdown;
    Button startButton;
};

}  // namespace quiet

class QuietTable : public quiet::Doubles, public GameWiring {
public:
    explicit QuietTable(std::string myName = "me")
        : quiet::Doubles(quiet::TimeBar::Still), GameWiring(ports()) {
        launch.strMyUserName = std::move(myName);
        pub.strAppPath = appPath;
        ResetAll(table);
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

    RecordingUserList users;
    quiet::Dialogs dialogs;
    RoomHandler room{roomLinks(*this, game, [](bool) {})};
};

}  // namespace krvo::testing
