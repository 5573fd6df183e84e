// A button drawn under a pointer at rest takes the first click, through the
// whole client: the answer of one declaration puts the next question's button
// where the pointer already is.

#include "chrome/game_main_window.h"
#include "render/table_surface.h"
#include "support/scripted_server.h"

namespace krvo::testing {
namespace {

Packet roundStartWithMyDeclaration() {
    Packet p(20, 0);
    p[0] = 17;
    p[3] = 5;    // automatic plays allowed
    p[11] = 1;   // one deck
    p[13] = 15;  // seconds of a declaration
    p[14] = 30;  // seconds of a play
    p[15] = 0;   // my turn
    p[16] = kRoundJiu;
    return p;
}

Packet deal() {
    Packet p{19, 0};
    for (std::uint8_t card : {63, 24, 37, 10, 9, 8, 7, 6, 5, 4, 3, 2}) p.push_back(card);
    return p;
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
    deliver(deal());
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
