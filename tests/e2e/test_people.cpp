// People coming and going around a running round: an onlooker who arrives in
// the middle, a player whose connection drops and who comes back, a leave
// request the computer players vote on, and the settings round before the
// first deal.

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "chrome/game_main_window.h"
#include "dialogs/game_set_dialog.h"
#include "dialogs/message_box_registry.h"
#include "dialogs/message_box_window.h"
#include "e2e/e2e_table.h"

namespace krvo::e2e {
namespace {

using server::EngineEventKind;

class PeopleTest : public EndToEndTest {
protected:
    // One human in chair 0, three computers, a shuffled deal from the seed.
    TableApp& startRound() {
        startServer(ServerSetup{});
        TableApp& app = connectClient();
        EXPECT_TRUE(runUntil([&app] { return app.pub().blnCanStart; }));
        app.game().startButton().pressStart();
        return app;
    }

    // Plays until some tricks are down and it is the player's turn again; the
    // engine then waits for the player, so the table holds still.
    bool playSomeTricks(TableApp& app) {
        drive(app);
        const bool played = runUntil([&] {
            const TableView now = view();
            return now.running && now.hands[0].size() <= 9 && now.hands[1].size() <= 10;
        });
        stopDriving(app);
        return played && runUntil([&app] { return AwaitsPlay(app); });
    }

    const server::Member* member(TableApp& app) const {
        return server->room.findMember(app.launch().strMyUserName);
    }
};

TEST_F(PeopleTest, AnOnlookerArrivingMidRoundGetsTheTableFromTheReport) {
    TableApp& player = startRound();
    ASSERT_TRUE(playSomeTricks(player));

    TableApp& onlooker = connectClient();
    ASSERT_TRUE(runUntil([&onlooker] {
        return onlooker.pub().blnIsOnlooker && onlooker.table().bteRoundState != kRoundBetween;
    }));
    EXPECT_EQ(onlooker.pub().bteMyChair, 0);  // watching the one person playing
    EXPECT_EQ(onlooker.table().arrSeat[0].strUserName, player.launch().strMyUserName);
    // The player did not let onlookers see the cards: they travel with the
    // report, marked hidden, so that a later change of mind can show them.
    EXPECT_EQ(onlooker.table().blnCanSeeMyPai, 0);
    ExpectAgreement(onlooker, view());
    ExpectAgreement(player, view());

    drive(player);
    ASSERT_TRUE(runUntilRoundEnds(player));
    ASSERT_TRUE(runUntil([&] { return onlooker.table().lngRoundScore == view().lastScores; }));
    EXPECT_EQ(onlooker.table().lngTotalScore, view().totalScores);
    ExpectSameResult(player, view());
}

TEST_F(PeopleTest, APlayerWhoDropsOutComesBackToTheSameChairAndHand) {
    TableApp& first = startRound();
    ASSERT_TRUE(playSomeTricks(first));
    const std::string name = first.launch().strMyUserName;
    const CardList hand = first.table().bteMyPai;

    clients.clear();  // the connection drops with the program
    ASSERT_TRUE(runUntil([&] { return server->room.findMember(name)->client == 0; }));
    EXPECT_TRUE(view().running);

    TableApp& again = connectClient();
    ASSERT_TRUE(runUntil([&again] { return AwaitsPlay(again); }, 20000));
    EXPECT_EQ(again.launch().strMyUserName, name);
    EXPECT_EQ(again.pub().bteMyChair, 0);
    EXPECT_FALSE(again.pub().blnIsOnlooker);
    EXPECT_EQ(Sorted(again.table().bteMyPai), Sorted(hand));
    EXPECT_EQ(view().autoPlays[0], 0);  // nobody played for the chair meanwhile
    ExpectAgreement(again, view());

    drive(again);
    ASSERT_TRUE(runUntilRoundEnds(again));
    ExpectSameResult(again, view());
    EXPECT_EQ(server->room.stats(name).escapes, 0);
}

TEST_F(PeopleTest, ALeaveRequestAgreedByTheComputersDissolvesTheTable) {
    TableApp& app = startRound();
    ASSERT_TRUE(playSomeTricks(app));
    const std::string name = app.launch().strMyUserName;

    // The reason box asks; the player gives a reason and asks to leave.
    QTimer::singleShot(0, [&app] {
        auto& boxes = dynamic_cast<MessageBoxRegistry&>(app.boxes());
        if (MessageBoxWindow* box = boxes.openBox(0)) {
            box->setReasonText(QStringLiteral("家里有事"));
            box->answer(0);
        }
    });
    EXPECT_FALSE(app.requestClose());  // asking is not leaving yet
    EXPECT_EQ(app.table().bteLeaveRequestsUsed, 0);

    ASSERT_TRUE(runUntil([&app] { return app.ended(); }, 60000));
    EXPECT_EQ(app.table().bteLeaveRequestsUsed, 0);  // the ended table starts afresh
    EXPECT_EQ(server->game.count(EngineEventKind::TableDissolved), 1);
    EXPECT_EQ(server->game.count(EngineEventKind::RoundEnded), 0);
    EXPECT_FALSE(view().running);
    ASSERT_TRUE(runUntil([&] { return server->room.findMember(name) == nullptr; }, 5000));
    // A dissolved table is no runaway and no game played.
    EXPECT_EQ(server->room.stats(name).escapes, 0);
    EXPECT_EQ(server->room.stats(name).games, 0);
}

TEST_F(PeopleTest, TheOwnersSettingsRoundComesBeforeTheFirstDeal) {
    ServerSetup setup;
    setup.settingsRound = true;
    startServer(setup);
    TableApp& app = connectClient();
    GameSetDialog* dialog = nullptr;
    ASSERT_TRUE(runUntil([&] {
        dialog = app.mainWindow()->findChild<GameSetDialog*>();
        return dialog != nullptr && dialog->isVisible();
    }));
    EXPECT_TRUE(dialog->blnDeskMaster());
    EXPECT_FALSE(app.pub().blnCanStart);
    EXPECT_FALSE(view().running);

    dialog->amountBox(0)->setText("20");
    dialog->amountBox(1)->setText("60");
    dialog->button(0)->click();
    ASSERT_TRUE(runUntil([&app] { return app.pub().blnCanStart; }));
    EXPECT_EQ(server->room.tableSettings(), "20`1000`1`60`300`0");
    EXPECT_FALSE(view().running);

    app.game().startButton().pressStart();
    ASSERT_TRUE(runUntil([&] { return view().running && !app.table().bteMyPai.empty(); }));
    EXPECT_EQ(Sorted(app.table().bteMyPai), Sorted(view().hands[0]));
}

}  // namespace
}  // namespace krvo::e2e
