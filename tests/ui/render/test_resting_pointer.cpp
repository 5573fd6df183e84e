// A button drawn under a pointer at rest takes the first click, through the
// whole client: the answer of one declaration puts the next question's button
// where the pointer already is.

#include "chrome/game_main_window.h"
#include "render/table_surface.h"
#include "support/game_packets.h"
#include "support/scripted_server.h"

namespace krvo::testing {
namespace {

// My declaration first, with five automatic plays allowed, one deck, 15
// seconds for a declaration and 30 for a play.
Packet roundStartWithMyDeclaration() {
    return roundStartPacket(
        {.curChair = 0, .state = kRoundJiu, .firstChair = 0, .announceFirst = 0, .maxLeave = 0});
}

class RestingPointerTest : public ScriptedServerTest {
protected:
    TableSurface& surface() { return app->mainWindow()->tableSurface(); }
    // On the surface: the window may be smaller than the table, shown scaled.
    QPoint yesButton() {
        const TableRenderer& renderer = app->renderer();
        return renderer.onSurface(DecisionButtonRect(renderer.layout(), 0).center());
    }
    // The first bytes of the next packet: id, kind, chair, answer.
    Packet nextAnswer() {
        Packet packet = nextPacket();
        packet.resize(std::min<std::size_t>(packet.size(), 4));
        return packet;
    }
};

TEST_F(RestingPointerTest, TheNextQuestionsButtonTakesTheFirstClickWithoutAMove) {
    seatEveryone();
    deliver(roundStartWithMyDeclaration());
    EXPECT_EQ(nextPacket(), (Packet{130, 1}));
    EXPECT_EQ(nextPacket(), (Packet{19, 0}));
    deliver(dealPacket({63, 24, 37, 10, 9, 8, 7, 6, 5, 4, 3, 2}));
    ASSERT_EQ(app->table().bteLiangBut[0], kButtonShown);

    // From beside the button: Qt drops a move to where the pointer already is,
    // as after an earlier test that ended on this place.
    QTest::mouseMove(&surface(), yesButton() + QPoint(3, 2));
    QTest::mouseMove(&surface(), yesButton());
    QTest::mouseClick(&surface(), Qt::LeftButton, {}, yesButton());
    EXPECT_EQ(nextAnswer(), (Packet{20, kAnswerJiu, 0, 1}));

    // 揪 answered: the same seat is asked whether to 撅, on the same place.
    deliver(Packet{20, kAnswerJiu, 0, 1, 0, kRoundJue, 0, 255, 0, 255, 0});
    EXPECT_EQ(app->table().bteLiangBut[0], kButtonHover) << "lit under the pointer";
    QTest::mouseClick(&surface(), Qt::LeftButton, {}, yesButton());
    EXPECT_EQ(nextAnswer(), (Packet{20, kAnswerJue, 0, 1}));
}

}  // namespace
}  // namespace krvo::testing
