#pragma once
// One table with the whole game side wired to recorders: packets, paint
// calls, sounds, boxes and chat lines, a manual clock whose waits step it on,
// and the local player in chair 2.

#include <gtest/gtest.h>

#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "controls/ko_clock.h"
#include "controls/qt_table_button.h"
#include "support/game_packets.h"
#include "support/game_wiring.h"
#include "support/manual_event_loop.h"
#include "support/qt_test_application.h"
#include "support/recording_alerts.h"
#include "support/recording_room.h"
#include "support/recording_sender.h"

namespace krvo::testing {

// The recording doubles, built before the wiring that links them.
struct RecordingGamePorts {
    GamePorts ports() {
        return {.sender = sender,
                .propsSender = propsSender,
                .scene = scene,
                .sound = sound,
                .boxes = boxes,
                .chat = chat,
                .alerts = alerts,
                .waiter = loop.waiter(),
                .clock = loop.clock(),
                .countdown = koClock,
                .startButton = startButton};
    }

    ManualEventLoop loop;
    CallLog log;
    RecordingSender sender;
    RecordingScene scene{log};
    RecordingSound sound{log};
    RecordingBoxes boxes{log};
    RecordingChat chat{log};
    RecordingAlerts alerts;
    RecordingSender propsSender;
    QWidget surface;
    KoClock koClock{loop.clock(), &surface};
    QtTableButton startButton{surface, QStringLiteral("cmdStart")};
};

class GameTableTest : public ::testing::Test, public RecordingGamePorts, public GameWiring {
protected:
    static constexpr std::uint8_t kMe = 2;

    static void SetUpTestSuite() { EnsureQtApplication(); }

    GameTableTest() : GameWiring(ports()) { seatFourPlayers(); }

    void feed(const Bytes& packet) { game.handleGameMessage(packet); }
    // Moves time on as the event loop would between messages.
    void advance(std::int64_t ms) { loop.clock().advance(ms); }

    // Raises exactly these positions (from 1) of the own hand.
    void select(std::initializer_list<std::size_t> positions) {
        game.actions().lowerAllCards();
        for (const std::size_t position : positions) game.actions().toggleCard(position);
    }

    bool logged(const std::string& line) const {
        return std::find(log.begin(), log.end(), line) != log.end();
    }
    long countOf(const std::string& line) const { return std::count(log.begin(), log.end(), line); }
    // Position of the first line equal to `line` at or after `from`; log.size() when absent.
    std::size_t indexOf(const std::string& line, std::size_t from = 0) const {
        const auto it = std::find(log.begin() + static_cast<std::ptrdiff_t>(from), log.end(), line);
        return static_cast<std::size_t>(it - log.begin());
    }

    // A round in play with the given hand: started, dealt, and the declarations
    // over with `leader` to lead.
    void startPlaying(const Bytes& hand, std::uint8_t leader = kMe, RoundSettings settings = {}) {
        feed(roundStartPacket(settings));
        const std::size_t full = 12u * settings.decks;
        feed(dealPacket(hand.size() == full ? hand : Bytes(full, card(0, 0))));
        if (hand.size() != full) feed(myPaiPacket(hand));
        feed(declarePacket(4, 0, 0, leader, kRoundLead, 0));
        sender.packets.clear();
        log.clear();
    }
};

}  // namespace krvo::testing
