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
#include "support/game_wiring.h"
#include "support/manual_event_loop.h"
#include "support/qt_test_application.h"
#include "support/recording_alerts.h"
#include "support/recording_room.h"
#include "support/recording_sender.h"

namespace krvo::testing {

using Bytes = std::vector<std::uint8_t>;

// Cards by rank (0 = 3 ... 11 = A) and suit.
constexpr std::uint8_t card(std::uint8_t rank, std::uint8_t suit) {
    return static_cast<std::uint8_t>(13 * suit + rank);
}

struct RoundSettings {
    std::uint8_t autoPlayLimit = 5;
    std::uint8_t decks = 1;
    std::uint8_t declareTime = 15;
    std::uint8_t playTime = 30;
    std::uint8_t curChair = 2;
    std::uint8_t state = 1;
    std::uint8_t firstChair = 2;
    std::uint8_t announceFirst = 1;
    std::uint8_t maxLeave = 2;
};

inline Bytes roundStartPacket(const RoundSettings& s) {
    return {17,
            0,
            0,
            s.autoPlayLimit,
            0,
            0,
            0,
            0,
            0,
            0,
            0,
            s.decks,
            0,
            s.declareTime,
            s.playTime,
            s.curChair,
            s.state,
            s.firstChair,
            s.announceFirst,
            s.maxLeave};
}

inline Bytes dealPacket(const Bytes& cards) {
    Bytes packet = {19, 0};
    packet.insert(packet.end(), cards.begin(), cards.end());
    return packet;
}

inline Bytes declarePacket(std::uint8_t kind, std::uint8_t chair, std::uint8_t value,
                           std::uint8_t next, std::uint8_t state, std::uint8_t mark,
                           std::initializer_list<std::uint8_t> revealed = {255, 0, 255, 0}) {
    Bytes packet = {20, kind, chair, value, next, state, mark};
    packet.insert(packet.end(), revealed.begin(), revealed.end());
    return packet;
}

// The local hand sent again.
inline Bytes myPaiPacket(const Bytes& cards) {
    Bytes packet = {2, 0, static_cast<std::uint8_t>(cards.size())};
    packet.insert(packet.end(), cards.begin(), cards.end());
    return packet;
}

struct Play {
    std::uint8_t chair;
    Bytes cards;
    std::uint8_t next;
    std::uint8_t state;
    std::uint8_t trickFlag = 0;
    std::uint8_t place = 0;
};

inline Bytes outPaiPacket(const Play& play) {
    Bytes packet = {21,
                    0,
                    play.next,
                    play.state,
                    play.trickFlag,
                    play.place,
                    play.chair,
                    static_cast<std::uint8_t>(play.cards.size())};
    packet.insert(packet.end(), play.cards.begin(), play.cards.end());
    return packet;
}

// What the client itself sends to play these cards.
inline Bytes myPlayPacket(std::uint8_t chair, const Bytes& cards) {
    return outPaiPacket({chair, cards, 0, 0});
}

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
