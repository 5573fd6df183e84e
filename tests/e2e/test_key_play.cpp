// A person plays with the keyboard alone: every key goes to whatever has the
// focus, as a keyboard's do, and the room receives exactly the packets the
// keys stand for. Keys typed into the chat never reach the table.

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <algorithm>

#include "chrome/game_main_window.h"
#include "controls/chat_control.h"
#include "core/round_codes.h"
#include "e2e/e2e_table.h"
#include "render/table_renderer.h"
#include "render/table_surface.h"
#include "support/temporary_platform.h"
#include "wire/game_protocol.h"

namespace krvo::e2e {
namespace {

using server::EngineEventKind;

class KeyPlayTest : public EndToEndTest {
protected:
    TableSurface& surface(TableApp& app) { return app.mainWindow()->tableSurface(); }

    TableApp& seatAtTheTable() {
        ServerSetup setup;
        // Chair 0 holds the heart 3 and one red ace, chair 2 the other.
        setup.deals = {DealWith({CardList{Card(0, 0), kRedAceSuit0}, {}, {kRedAceSuit3}, {}})};
        startServer(setup);
        TableApp& app = connectClient(platform.appDir().toStdString(), "键盘手");
        EXPECT_TRUE(runUntil([&app] { return app.pub().blnCanStart; }));
        QWidget* window = app.mainWindow();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        return app;
    }

    // A key typed on the keyboard: it goes to the focus, which the table
    // keeps the whole round through repaints, new turns and deals.
    void press(TableApp& app, Qt::Key key) {
        ASSERT_EQ(QApplication::focusWidget(), &surface(app));
        QTest::keyClick(QApplication::focusWidget(), key);
    }

    // What this client's chair sent the game: getting ready, answers, plays, passes.
    std::vector<Packet> sentByMe(TableApp& app) const {
        std::vector<Packet> sent;
        for (const auto& [chair, packet] : server->game.packets) {
            const bool action =
                !packet.empty() && (packet[0] == 18 || packet[0] == 20 || packet[0] == 21);
            if (chair == app.pub().bteMyChair && action) sent.push_back(packet);
        }
        return sent;
    }

    CardList raised(TableApp& app) const {
        const TableState& table = app.table();
        CardList cards;
        for (std::size_t j = 0; j < table.bteMyPai.size() && j < table.bteSelected.size(); ++j) {
            if (table.bteSelected[j] != 0) cards.push_back(table.bteMyPai[j]);
        }
        return cards;
    }

    void actByKeys(TableApp& app) {
        TableState& table = app.table();
        const std::uint8_t me = app.pub().bteMyChair;
        if (AwaitsAnswer(app)) {
            // Show a red ace when asked first; decline everything after.
            const bool show = table.bteRoundState == kRoundShowRedAces;
            expected.push_back(
                DeclareAnswerPacket(AnswerKindOf(table.bteRoundState), me, show ? 1 : 0));
            press(app, show ? Qt::Key_1 : Qt::Key_2);
            ++answers;
            return;
        }
        if (!AwaitsPlay(app)) return;
        ExpectAgreement(app, view());
        if (table.bteRoundState == kRoundLead) {
            // Up and down the hand, then the weakest card, at the right end.
            for (const Qt::Key key :
                 {Qt::Key_Escape, Qt::Key_Home, Qt::Key_Space, Qt::Key_Right, Qt::Key_Up,
                  Qt::Key_Down, Qt::Key_Left, Qt::Key_Space, Qt::Key_End, Qt::Key_Up}) {
                press(app, key);
            }
            EXPECT_EQ(raised(app), CardList{table.bteMyPai.back()});
            EXPECT_TRUE(surface(app).accessibleDescription().startsWith(u"轮到你出牌"));
            expected.push_back(PlayPacket(me, raised(app)));
            press(app, Qt::Key_Return);
            ++leads;
            return;
        }
        if (follows++ % 3 == 2) {
            expected.push_back(PassPacket(me));
            press(app, follows % 2 == 0 ? Qt::Key_P : Qt::Key_0);
            return;
        }
        press(app, Qt::Key_H);
        if (table.bteOutBut[0] == kButtonHidden) {
            expected.push_back(PassPacket(me));  // nothing beats the table: the hint passed
            return;
        }
        expected.push_back(PlayPacket(me, raised(app)));
        press(app, Qt::Key_Return);
    }

    std::vector<Packet> expected;
    int answers = 0;
    int leads = 0;
    int follows = 0;
    testing::TemporaryPlatform platform{KRVO_TEST_APP_DIR};
};

TEST_F(KeyPlayTest, APersonPlaysAWholeRoundWithTheKeyboard) {
    TableApp& app = seatAtTheTable();
    ASSERT_EQ(QApplication::focusWidget(), &surface(app)) << "the table comes first";
    for (QPushButton* button : app.mainWindow()->findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->accessibleName().isEmpty()) << button->text().toStdString();
    }
    EXPECT_TRUE(app.mainWindow()->findChildren<QToolButton*>().isEmpty());
    EXPECT_EQ(surface(app).accessibleName(), QStringLiteral("牌桌"));
    const int started = server->game.count(EngineEventKind::RoundStarted);
    press(app, Qt::Key_G);

    bool sorted = false;
    bool lookedBack = false;
    const int before = server->game.count(EngineEventKind::RoundEnded);
    ASSERT_TRUE(runUntil([&] {
        TableState& table = app.table();
        if (!sorted && AwaitsPlay(app)) {
            const CardList hand = table.bteMyPai;
            press(app, Qt::Key_S);
            EXPECT_NE(table.bteMyPai, hand);
            press(app, Qt::Key_S);
            EXPECT_TRUE(
                std::is_sorted(table.bteMyPai.begin(), table.bteMyPai.end(),
                               [](std::uint8_t a, std::uint8_t b) { return IsPaiSmaller(b, a); }))
                << "by rank again";
            sorted = true;
        }
        const bool trickDown =
            std::any_of(table.arrSeat.begin(), table.arrSeat.end(),
                        [](const SeatInfo& s) { return !s.bteLastOutPai.empty(); });
        if (!lookedBack && trickDown && AwaitsPlay(app)) {
            press(app, Qt::Key_L);
            EXPECT_EQ(app.renderer().overlays().trickView, TrickView::Previous);
            lookedBack = true;
        }
        actByKeys(app);
        return server->game.count(EngineEventKind::RoundEnded) > before && app.pub().blnCanStart;
    }));
    EXPECT_GT(server->game.count(EngineEventKind::RoundStarted), started) << "G started it";
    EXPECT_TRUE(sorted && lookedBack);
    EXPECT_GE(answers, 2);
    EXPECT_GE(leads, 1);
    EXPECT_GE(follows, 3);
    EXPECT_EQ(app.table().arrSeat[0].bteLiang, 1) << "the red ace was shown by a key";
    EXPECT_EQ(view().autoPlays[app.pub().bteMyChair], 0) << "every play was the player's";
    ExpectSameResult(app, view());

    // Nothing left to play: Enter is the start button's.
    expected.push_back(HandUpPacket(app.pub().bteMyChair));
    press(app, Qt::Key_Return);
    EXPECT_FALSE(app.pub().blnCanStart);
    runUntil([&] { return sentByMe(app).size() >= expected.size(); }, 5000);
    EXPECT_EQ(sentByMe(app), expected);
}

TEST_F(KeyPlayTest, TypingInTheChatNeverReachesTheTable) {
    TableApp& app = seatAtTheTable();
    press(app, Qt::Key_G);
    ASSERT_TRUE(declineUntilPlay(app));
    press(app, Qt::Key_Tab);
    QLineEdit* input = app.mainWindow()->chatPane().input();
    ASSERT_EQ(QApplication::focusWidget(), input) << "Tab goes from the table to the chat";
    EXPECT_EQ(app.renderer().overlays().handMark, 0) << "the mark goes with the focus";

    const CardList hand = app.table().bteMyPai;
    const std::size_t sent = sentByMe(app).size();
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("shp0 1g2l"));
    for (const Qt::Key key : {Qt::Key_Left, Qt::Key_Up, Qt::Key_Home, Qt::Key_Down, Qt::Key_End}) {
        QTest::keyClick(QApplication::focusWidget(), key);
    }
    EXPECT_EQ(input->text(), QStringLiteral("shp0 1g2l"));
    EXPECT_EQ(app.table().bteMyPai, hand) << "not sorted";
    EXPECT_TRUE(raised(app).empty()) << "no card raised, no hint shown";
    EXPECT_TRUE(AwaitsPlay(app)) << "nothing played or passed";
    EXPECT_EQ(sentByMe(app).size(), sent);

    // The round goes on and a new one is dealt; the chat keeps the focus.
    drive(app);
    ASSERT_TRUE(runUntilRoundEnds(app));
    app.game().startButton().pressStart();
    const int started = server->game.count(EngineEventKind::RoundStarted);
    ASSERT_TRUE(runUntil([&] {
        return server->game.count(EngineEventKind::RoundStarted) > started &&
               !app.table().bteMyPai.empty();
    }));
    EXPECT_EQ(QApplication::focusWidget(), input);

    QTest::mouseClick(&surface(app), Qt::LeftButton, {}, QPoint(20, 300));
    EXPECT_EQ(QApplication::focusWidget(), &surface(app)) << "a click gives the table the keys";
    EXPECT_GT(app.renderer().overlays().handMark, 0);
}

}  // namespace
}  // namespace krvo::e2e
