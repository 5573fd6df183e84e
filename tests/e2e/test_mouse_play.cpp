// A person plays with the mouse: every answer, selection, play, pass and hint
// is a pointer move and a click on the table surface at a place taken from the
// table's geometry, and the engine agrees with what the table then shows.

#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "chrome/game_main_window.h"
#include "e2e/e2e_table.h"
#include "services/qt_system_alerts.h"
#include "render/table_renderer.h"
#include "render/table_surface.h"
#include "support/temporary_platform.h"

namespace krvo::e2e {
namespace {

using server::EngineEventKind;

class MousePlayTest : public EndToEndTest {
protected:
    TableSurface& surface(TableApp& app) { return app.mainWindow()->tableSurface(); }
    const TableLayout& layout(TableApp& app) { return app.renderer().layout(); }

    void click(TableApp& app, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseMove(&surface(app), at);
        QTest::mouseClick(&surface(app), button, {}, at);
    }
    // The middle of a button, after the pointer has lit it. A button that
    // appears under a resting pointer lights only once the pointer moves, so
    // the hand moves as a person's does, a little, then onto the button.
    void clickButton(TableApp& app, const QRect& button, const std::uint8_t& state) {
        QTest::mouseMove(&surface(app), button.center() + QPoint(3, 2));
        QTest::mouseMove(&surface(app), button.center());
        EXPECT_EQ(state, kButtonHover) << "the button under the pointer lights up";
        QTest::mouseClick(&surface(app), Qt::LeftButton, {}, button.center());
    }
    // A card's visible strip, in the band where raised and lowered cards both show.
    QPoint cardPoint(TableApp& app, std::size_t index) {
        const int n = static_cast<int>(app.table().bteMyPai.size());
        return {OwnCardLeft(layout(app), n, static_cast<int>(index)) + 9,
                layout(app).ptHandCards[kBottom].y() + 40};
    }

    // One look at the table and the answer a person gives with the mouse.
    void actByMouse(TableApp& app) {
        TableState& table = app.table();
        if (AwaitsAnswer(app)) {
            ExpectAgreement(app, view());
            // Show a red ace when asked first (unless declining all); decline
            // everything after.
            const int button = !declineAll && table.bteRoundState == kRoundShowRedAces ? 0 : 1;
            clickButton(app, DecisionButtonRect(layout(app), button),
                        table.bteLiangBut[static_cast<std::size_t>(button)]);
            ++answers;
            return;
        }
        if (!AwaitsPlay(app)) return;
        ExpectAgreement(app, view());
        expectHandShown(app, table.bteMyPai.size());
        if (table.bteRoundState == kRoundLead) return lead(app);
        follow(app);
    }

    void lead(TableApp& app) {
        TableState& table = app.table();
        // The weakest card lies at the right end of a hand sorted by rank.
        const std::size_t last = table.bteMyPai.size();
        click(app, cardPoint(app, 1));
        click(app, cardPoint(app, 1));  // raised and lowered again
        click(app, cardPoint(app, last));
        ASSERT_EQ(table.bteSelected[last - 1], 1);
        if (leads++ % 2 == 0) {
            clickButton(app, PlayButtonRect(layout(app), 1, kPlaySelection), table.bteOutBut[0]);
        } else {
            click(app, layout(app).centrePicture(), Qt::RightButton);  // a right click plays
        }
    }

    void follow(TableApp& app) {
        TableState& table = app.table();
        if (follows++ % 3 == 2) {
            clickButton(app, PlayButtonRect(layout(app), 3, kPlayPass), table.bteOutBut[1]);
            return;
        }
        clickButton(app, PlayButtonRect(layout(app), 3, kPlayHint), table.bteOutBut[2]);
        if (table.bteOutBut[0] == kButtonHidden) return;  // nothing beats the table: passed
        EXPECT_FALSE(table.bteSelectPai.empty());
        clickButton(app, PlayButtonRect(layout(app), 3, kPlaySelection), table.bteOutBut[0]);
    }

    // n cards are drawn in the own hand's row, and nothing right of them.
    void expectHandShown(TableApp& app, std::size_t n) {
        const QImage& image = app.renderer().image();
        const int y = layout(app).ptHandCards[kBottom].y() + 60;
        const int count = static_cast<int>(n);
        for (int k = 1; k <= count; ++k) {
            EXPECT_NE(image.pixel(OwnCardLeft(layout(app), count, k) + 9, y) & 0xffffff,
                      kTableColour & 0xffffff)
                << "card " << k << " of " << n;
        }
        const int end = OwnCardLeft(layout(app), count, count) + lngPkWidth + 4;
        EXPECT_EQ(image.pixel(end, y) & 0xffffff, kTableColour & 0xffffff);
    }

    TableApp& connectWithArtwork() {
        return connectClient(platform.appDir().toStdString(), "点击者");
    }

    bool declineAll = false;
    int answers = 0;
    int leads = 0;
    int follows = 0;
    // The built pictures, but preferences of the test's own.
    testing::TemporaryPlatform platform{KRVO_TEST_APP_DIR};
};

TEST_F(MousePlayTest, APersonPlaysAWholeRoundWithTheMouse) {
    ServerSetup setup;
    // Chair 0 holds the heart 3 and one red ace, chair 2 the other.
    setup.deals = {DealWith({CardList{Card(0, 0), kRedAceSuit0}, {}, {kRedAceSuit3}, {}})};
    startServer(setup);
    TableApp& app = connectWithArtwork();
    ASSERT_TRUE(runUntil([&app] { return app.pub().blnCanStart; }));
    QPushButton* start = app.startButtonWidget();
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->pos(), layout(app).ptUserFace[kBottom] + QPoint(150, 5));
    QTest::mouseClick(start, Qt::LeftButton);

    // The sort button, then a look at the previous trick, once each.
    bool sorted = false;
    std::int64_t lookedBackAt = -1;
    bool cameBack = false;
    const int before = server->game.count(EngineEventKind::RoundEnded);
    ASSERT_TRUE(runUntil([&] {
        if (!sorted && AwaitsPlay(app)) {
            const CardList hand = app.table().bteMyPai;
            clickButton(app, ToolButtonRect(layout(app), 0), app.table().bteToolBut[0]);
            EXPECT_NE(app.table().bteMyPai, hand);
            EXPECT_EQ(Sorted(app.table().bteMyPai), Sorted(hand));
            clickButton(app, ToolButtonRect(layout(app), 0), app.table().bteToolBut[0]);
            EXPECT_TRUE(
                std::is_sorted(app.table().bteMyPai.begin(), app.table().bteMyPai.end(),
                               [](std::uint8_t a, std::uint8_t b) { return IsPaiSmaller(b, a); }))
                << "pressed again, by rank again";
            sorted = true;
        }
        const auto& seats = app.table().arrSeat;
        const bool trickDown = std::any_of(
            seats.begin(), seats.end(), [](const SeatInfo& s) { return !s.bteLastOutPai.empty(); });
        if (lookedBackAt < 0 && trickDown && AwaitsPlay(app)) {
            clickButton(app, ToolButtonRect(layout(app), 1), app.table().bteToolBut[1]);
            EXPECT_EQ(app.renderer().overlays().trickView, TrickView::Previous);
            lookedBackAt = clock.nowMs();
        }
        if (lookedBackAt >= 0 && !cameBack && clock.nowMs() - lookedBackAt > 2000) {
            EXPECT_EQ(app.renderer().overlays().trickView, TrickView::Current);
            cameBack = true;
        }
        actByMouse(app);
        return server->game.count(EngineEventKind::RoundEnded) > before && app.pub().blnCanStart;
    }));
    EXPECT_TRUE(sorted);
    EXPECT_TRUE(cameBack) << "the previous trick showed for two ticks";
    EXPECT_GE(answers, 2);
    EXPECT_GE(leads, 2) << "one lead by the play button, one by a right click";
    EXPECT_GE(follows, 2);
    EXPECT_EQ(app.table().arrSeat[0].bteLiang, 1) << "the red ace was shown by a click";
    ExpectSameResult(app, view());
    EXPECT_TRUE(app.renderer().overlays().result.has_value()) << "the result box shows";
}

// Three rounds against the server as it comes (prop shows on), with the real
// system boxes. The person never closes a box: had the prop demonstration a
// loop of its own, the start button could not be pressed inside it and the
// start countdown would end the program.
TEST_F(MousePlayTest, APersonPlaysThreeRoundsThroughPropShowsAndIsNeverThrownOff) {
    ServerSetup setup;
    setup.seed = 4;  // the computers use a prop when the second round ends
    startServer(setup);
    TableApp* client = nullptr;
    const std::int64_t giveUpAt = clock.nowMs() + 3 * kRoundLimitMs;
    QtSystemAlerts boxes([&](QMessageBox& box) {
        box.show();
        while (box.isVisible() && !client->ended() && clock.nowMs() < giveUpAt) {
            QTest::qWait(1);
            clock.advance(kStepMs);
        }
    });
    clientAlerts = &boxes;
    TableApp& app = connectWithArtwork();
    client = &app;
    boxes.setEnding([&app] { return app.ended(); });
    boxes.setNoticeOwner([&app] { return static_cast<QWidget*>(app.mainWindow()); });
    declineAll = true;

    std::int64_t roundEndAt = -1;
    int roundsEnded = 0;
    QPointer<QMessageBox> seen;
    int demonstrations = 0;
    bool pictureShown = false;
    // Each step: a new demonstration comes with a round's end, its picture
    // over a seat.
    const auto watch = [&] {
        const int ended = server->game.count(EngineEventKind::RoundEnded);
        if (ended > roundsEnded) roundEndAt = clock.nowMs();
        roundsEnded = ended;
        const auto& props = app.renderer().overlays().props;
        pictureShown |=
            std::any_of(props.begin(), props.end(), [](const auto& p) { return p.has_value(); });
        QMessageBox* box = boxes.noticeShown();
        if (box == nullptr || box == seen) return;
        seen = box;
        ++demonstrations;
        EXPECT_EQ(box->windowTitle(), QStringLiteral("道具演示"));
        EXPECT_GE(roundEndAt, 0);
        EXPECT_LE(clock.nowMs() - roundEndAt, 1000) << "it comes with the round's result";
    };
    ASSERT_TRUE(runUntil([&] { return app.pub().blnCanStart || app.ended(); }));
    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE(round);
        // A look at the result before pressing start, box or no box.
        const std::int64_t lookUntil = clock.nowMs() + 3000;
        ASSERT_TRUE(runUntil([&] {
            watch();
            return app.ended() || clock.nowMs() >= lookUntil;
        }));
        ASSERT_FALSE(app.ended()) << "thrown off before round " << round;
        QPushButton* start = app.startButtonWidget();
        ASSERT_NE(start, nullptr);
        ASSERT_TRUE(start->isVisible());
        // The second round's prop box is still up when the third is started.
        if (round == 3) {
            EXPECT_NE(boxes.noticeShown(), nullptr);
        }
        QTest::mouseClick(start, Qt::LeftButton);
        const int before = roundsEnded;
        ASSERT_TRUE(runUntil([&] {
            watch();
            if (!app.ended()) actByMouse(app);
            return app.ended() || (roundsEnded > before && app.pub().blnCanStart);
        }));
        ASSERT_FALSE(app.ended()) << "thrown off in round " << round;
        ExpectSameResult(app, view());
    }
    EXPECT_EQ(roundsEnded, 3);
    EXPECT_GE(demonstrations, 1);
    EXPECT_TRUE(pictureShown) << "the prop's picture showed over a seat";
}

}  // namespace
}  // namespace krvo::e2e
