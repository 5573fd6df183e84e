#pragma once
// The whole system in one process: the room server (room, game engine, props
// shop and the network class) on 127.0.0.1 port 0 and table clients connected
// to it over real sockets, all on one ManualClock. Time moves in steps of the
// test; the local players act through the table's own player actions.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/table_app.h"
#include "core/clock.h"
#include "game/game_table.h"
#include "server/deals.h"
#include "server/game_engine.h"
#include "server/props_shop.h"
#include "server/room.h"
#include "server/room_server.h"
#include "server/table_game.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "support/qt_test_application.h"
#include "support/recording_alerts.h"

namespace krvo::e2e {

using server::TableView;

// The engine behind the room, with every event it reported kept for the test.
class ObservedGame {
public:
    explicit ObservedGame(server::EngineSettings settings) : table(std::move(settings)) {
        table.setEventObserver(
            [this](const server::EngineEvent& event) { events.push_back(event); });
    }

    TableView view() const { return table.engine().view(); }
    int count(server::EngineEventKind kind) const {
        return static_cast<int>(std::count_if(events.begin(), events.end(),
                                              [kind](const auto& e) { return e.kind == kind; }));
    }

    server::EngineTableGame table;
    std::vector<server::EngineEvent> events;
};

struct ServerSetup {
    std::uint8_t humans = 1;
    bool settingsRound = false;
    std::vector<server::FixedDeal> deals;
    std::uint32_t seed = 7;
};

// The room server as krvo-server puts it together, with the test's clock.
class LocalRoom {
public:
    LocalRoom(Clock& clock, const ServerSetup& setup)
        : game(engineSettings(setup)),
          shop(setup.seed, [] { return std::chrono::sys_seconds(std::chrono::hours(490000)); }),
          network(clock),
          room(roomSettings(setup), game.table, shop, clock, network) {
        network.setRoom(&room);
    }
    ~LocalRoom() { network.setRoom(nullptr); }

    ObservedGame game;
    server::PropsShop shop;
    server::RoomServer network;
    server::Room room;

private:
    static server::EngineSettings engineSettings(const ServerSetup& setup) {
        server::EngineSettings settings;
        settings.seed = setup.seed;
        settings.deals = setup.deals;
        return settings;
    }
    static server::RoomSettings roomSettings(const ServerSetup& setup) {
        server::RoomSettings settings;
        settings.humans = setup.humans;
        settings.settingsRound = setup.settingsRound;
        settings.seed = setup.seed;
        return settings;
    }
};

// What the local player does when it is asked: an answer to a declaration,
// and a play or pass in a trick.
struct PlayerPolicy {
    std::function<std::uint8_t(TableApp&)> answer = [](TableApp&) { return std::uint8_t{0}; };
    std::function<void(TableApp&)> play;
};

inline bool AwaitsAnswer(TableApp& app) {
    const TableState& t = app.table();
    return !app.pub().blnIsOnlooker && t.bteCurChair == app.pub().bteMyChair &&
           t.bteRoundState >= kRoundShowRedAces && t.bteRoundState <= kRoundFollowZhi &&
           t.bteLiangBut[0] != kButtonHidden;
}

inline bool AwaitsPlay(TableApp& app) {
    const TableState& t = app.table();
    return !app.pub().blnIsOnlooker && t.bteCurChair == app.pub().bteMyChair &&
           (t.bteRoundState == kRoundLead || t.bteRoundState == kRoundFollow) &&
           t.bteOutBut[0] != kButtonHidden && !t.blnBombShow && t.bteMyPaiBak.empty();
}

// Raises exactly these cards of the own hand (one hand position per card).
inline void SelectCards(TableApp& app, const CardList& cards) {
    TableActions& actions = app.game().actions();
    actions.lowerAllCards();
    std::vector<bool> used(app.table().bteMyPai.size(), false);
    for (const std::uint8_t card : cards) {
        for (std::size_t j = 0; j < used.size(); ++j) {
            if (!used[j] && app.table().bteMyPai[j] == card) {
                used[j] = true;
                actions.toggleCard(j + 1);
                break;
            }
        }
    }
}

// Leads the lowest card; follows with the hint, or passes when there is none.
inline void PlaySimply(TableApp& app) {
    TableActions& actions = app.game().actions();
    const TableState& t = app.table();
    if (t.bteRoundState == kRoundFollow) {
        actions.playAction(kPlayHint);
        if (t.bteOutBut[0] != kButtonHidden) actions.playAction(kPlaySelection);
        return;
    }
    SelectCards(app, {t.bteMyPai.back()});  // the hand is in rank order, strongest first
    actions.playAction(kPlaySelection);
}

inline CardList Sorted(CardList cards) {
    std::sort(cards.begin(), cards.end());
    return cards;
}

// The client's table against the engine: turn, every hand's size, places,
// and the cards the client holds for its own seat (an onlooker's too).
inline void ExpectAgreement(TableApp& app, const TableView& view) {
    const TableState& t = app.table();
    EXPECT_EQ(t.bteRoundState, view.bteRoundState);
    EXPECT_EQ(t.bteCurChair, view.bteCurChair);
    for (std::uint8_t chair = 0; chair < 4; ++chair) {
        EXPECT_EQ(t.arrSeat[chair].btePaiCount, view.hands[chair].size()) << "chair " << +chair;
        EXPECT_EQ(t.arrSeat[chair].bteMingCi, view.places[chair]) << "chair " << +chair;
    }
    const std::uint8_t mine = app.pub().bteMyChair;
    ASSERT_LT(mine, 4);
    EXPECT_EQ(Sorted(t.bteMyPai), Sorted(view.hands[mine]));
}

// The round's result on the client against the engine's.
inline void ExpectSameResult(TableApp& app, const TableView& view) {
    const TableState& t = app.table();
    EXPECT_EQ(t.lngRoundScore, view.lastScores);
    EXPECT_EQ(t.lngTotalScore, view.totalScores);
    std::int32_t sum = 0;
    for (const std::int32_t score : view.lastScores) sum += score;
    EXPECT_EQ(sum, 0);
    for (std::uint8_t chair = 0; chair < 4; ++chair) {
        if (chair == app.pub().bteMyChair) continue;  // the own hand is not revealed
        EXPECT_EQ(Sorted(t.arrSeat[chair].bteLeftPai), Sorted(view.hands[chair]))
            << "chair " << +chair;
    }
}

// A card code one deck holds once: 13 * suit + rank, the red aces under their own codes.
inline std::uint8_t Card(int suit, int rank) {
    if (suit == 0 && rank == kRankAce) return kRedAceSuit0;
    if (suit == 3 && rank == kRankAce) return kRedAceSuit3;
    return static_cast<std::uint8_t>(13 * suit + rank);
}

// The hands start with the cards given; the rest of the deck is dealt round
// the table, one card at a time, to the hands not yet full.
inline server::FixedDeal DealWith(server::FixedDeal hands) {
    CardList rest;
    for (int suit = 0; suit < 4; ++suit) {
        for (int rank = 0; rank <= kRankAce; ++rank) rest.push_back(Card(suit, rank));
    }
    for (const CardList& hand : hands) RemovePai(rest, hand);
    std::size_t chair = 0;
    for (const std::uint8_t card : rest) {
        for (int tries = 0; tries < 4 && hands[chair % 4].size() >= kCardsPerDeckAndPlayer;
             ++tries) {
            ++chair;
        }
        hands[chair % 4].push_back(card);
        ++chair;
    }
    return hands;
}

class EndToEndTest : public ::testing::Test {
protected:
    static constexpr std::int64_t kStepMs = 50;
    static constexpr std::int64_t kRoundLimitMs = 10 * 60 * 1000;

    static void SetUpTestSuite() { testing::EnsureQtApplication(); }

    void TearDown() override {
        driven.clear();
        clients.clear();
        server.reset();
    }

    void startServer(const ServerSetup& setup) {
        server = std::make_unique<LocalRoom>(clock, setup);
        ASSERT_TRUE(server->network.listen(QHostAddress::LocalHost, 0));
    }

    // A table client as the lobby starts it, connected to the server. Its own
    // waits pump events and move the shared clock on, as in the program.
    // appDir: the program's directory (a temporary one without pictures unless
    // given); name: the user's name.
    TableApp& connectClient(const std::string& appDir = {}, const std::string& name = "进桌者") {
        LaunchParams launch;
        launch.strRoomServerAddress = "127.0.0.1";
        launch.strRoomServerPort = std::to_string(server->network.port());
        launch.strGameTitle = "测试牌桌";
        launch.strLevelTitles = "新手_0`熟手_100";
        launch.strMyUserName = name;
        clients.push_back(std::make_unique<TableApp>(
            launch, appDir.empty() ? directory.path().toStdString() : appDir, clock,
            [this](std::int64_t maxMs) {
                QCoreApplication::processEvents();
                clock.advance(std::min<std::int64_t>(maxMs, 100));
            },
            clientAlerts ? *clientAlerts : alerts));
        clients.back()->start();
        return *clients.back();
    }

    // Lets the client act for its player whenever it is that player's turn.
    void drive(TableApp& app, PlayerPolicy policy = {}) {
        if (!policy.play) policy.play = PlaySimply;
        driven.push_back({&app, std::move(policy)});
    }
    void stopDriving(TableApp& app) {
        std::erase_if(driven, [&app](const Driven& d) { return d.app == &app; });
    }

    // Runs the table until done() holds: each step handles what arrived, lets
    // the driven players act, then moves the clock on. False on the limit.
    bool runUntil(const std::function<bool()>& done, std::int64_t limitMs = kRoundLimitMs) {
        const std::int64_t end = clock.nowMs() + limitMs;
        while (true) {
            // Frames travel in real time (the kernel may hold a small one back
            // for tens of milliseconds), so each step gives them a moment.
            QTest::qWait(1);
            actForDriven();
            if (done()) return true;
            if (clock.nowMs() >= end) return false;
            clock.advance(kStepMs);
        }
    }

    // Declines every declaration until the (undriven) client is asked to play.
    bool declineUntilPlay(TableApp& app) {
        while (runUntil([&app] { return AwaitsAnswer(app) || AwaitsPlay(app); })) {
            if (AwaitsPlay(app)) return true;
            app.game().actions().sendAnswer(0);
        }
        return false;
    }

    bool runUntilRoundEnds(TableApp& app) {
        const int before = server->game.count(server::EngineEventKind::RoundEnded);
        return runUntil([&] {
            return server->game.count(server::EngineEventKind::RoundEnded) > before &&
                   app.pub().blnCanStart;
        });
    }

    TableView view() const { return server->game.view(); }

    ManualClock clock;
    QTemporaryDir directory;
    testing::RecordingAlerts alerts;
    // The boxes the clients connected next use instead of the recorder.
    SystemAlerts* clientAlerts = nullptr;
    std::unique_ptr<LocalRoom> server;
    std::vector<std::unique_ptr<TableApp>> clients;

    // Agreement with the engine checked at every turn of a driven player.
    bool checkEveryTurn = true;
    int turnsChecked = 0;

private:
    struct Driven {
        TableApp* app;
        PlayerPolicy policy;
    };

    void actForDriven() {
        // Copied: a policy may change who is driven.
        const std::vector<Driven> now = driven;
        for (const Driven& d : now) {
            if (d.app->ended()) continue;
            const bool answer = AwaitsAnswer(*d.app);
            if (!answer && !AwaitsPlay(*d.app)) continue;
            if (checkEveryTurn) {
                ExpectAgreement(*d.app, view());
                ++turnsChecked;
            }
            if (answer) {
                d.app->game().actions().sendAnswer(d.policy.answer(*d.app));
            } else {
                d.policy.play(*d.app);
            }
        }
    }

    std::vector<Driven> driven;
};

}  // namespace krvo::e2e
