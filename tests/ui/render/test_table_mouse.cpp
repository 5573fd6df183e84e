// The click rules of the table surface, for what a whole round by mouse does
// not show: onlookers, the bomb lock, the tool tip and clicks beside the hand.

#include "handlers/game/game_table_fixture.h"
#include "render/table_mouse.h"
#include "render/table_renderer.h"
#include "render/table_surface.h"

namespace krvo::testing {
namespace {

class TableMouseTest : public GameTableTest {
protected:
    TableMouseTest() {
        pub.bteViewPos = {0, 3, 2, 1};
        pub.strViewUserName = "me";
        renderer.screenWidth = [] { return 1920; };
        renderer.resize({1000, 700});
        mouse.setToolTip = [this](const QString& tip) { toolTip = tip; };
        startPlaying({card(11, 1), card(9, 1), card(5, 2), card(0, 1), card(0, 0)});
        renderer.layoutTable();
    }
    void move(QPoint at) { mouse.moveOverTable(kOtherButton, at); }
    void click(QPoint at, int button = kLeftButton) {
        move(at);
        mouse.releaseOnTable(button, at);
    }
    QPoint cardAt(std::size_t index) const {
        return {OwnCardLeft(renderer.layout(), static_cast<int>(table.bteMyPai.size()),
                            static_cast<int>(index)) +
                    9,
                renderer.layout().ptHandCards[kBottom].y() + 40};
    }
    QPoint playButton() const { return PlayButtonRect(renderer.layout(), 1, 0).center(); }

    TableRenderer renderer{table, pub, loop.waiter()};
    TableMouse mouse{renderer, table, pub, game.actions()};
    QString toolTip;
};

TEST_F(TableMouseTest, OnlookersLookButNeverSend) {
    pub.blnIsOnlooker = true;
    const CardList hand = table.bteMyPai;
    click(cardAt(2));
    EXPECT_EQ(table.bteSelected, CardList(5, 0)) << "a card click counts as beside the hand";
    click(playButton());
    click(cardAt(3), kRightButton);
    table.bteLiangBut = {1, 1};
    click(DecisionButtonRect(renderer.layout(), 0).center());
    EXPECT_TRUE(sender.packets.empty());
    click(ToolButtonRect(renderer.layout(), 0).center());
    EXPECT_NE(table.bteMyPai, hand) << "sorting is looking";
}

TEST_F(TableMouseTest, PlayClicksWaitWhileABombPlays) {
    click(cardAt(5));
    table.blnBombShow = true;
    click(playButton());
    click(cardAt(1), kRightButton);
    EXPECT_TRUE(sender.packets.empty());
    table.blnBombShow = false;
    click(renderer.layout().centrePicture(), kRightButton);
    ASSERT_EQ(sender.packets.size(), 1u);
    EXPECT_EQ(sender.packets[0], myPlayPacket(kMe, {card(0, 0)}));
}

TEST_F(TableMouseTest, ToolTipBelongsToTheLitToolButton) {
    const QRect previous = ToolButtonRect(renderer.layout(), 1);
    move(previous.center());
    EXPECT_EQ(table.bteToolBut[1], kButtonHover);
    EXPECT_EQ(toolTip.toStdString(), table.strToolTip[1]);
    move(previous.topLeft());  // the edge is outside
    EXPECT_EQ(table.bteToolBut[1], kButtonShown);
    EXPECT_TRUE(toolTip.isEmpty());
}

TEST_F(TableMouseTest, ClicksBesideTheHandOrWithTheMiddleButtonLowerEveryCard) {
    for (const auto& [where, button] : {std::pair{QPoint(20, 300), int(kLeftButton)},
                                        std::pair{QPoint(0, 0), int(kOtherButton)}}) {
        click(cardAt(1));
        click(cardAt(4));
        ASSERT_EQ(table.bteSelected, (CardList{1, 0, 0, 1, 0}));
        click(where == QPoint(0, 0) ? cardAt(2) : where, button);
        EXPECT_EQ(table.bteSelected, CardList(5, 0));
    }
    EXPECT_TRUE(sender.packets.empty());
}

}  // namespace
}  // namespace krvo::testing
