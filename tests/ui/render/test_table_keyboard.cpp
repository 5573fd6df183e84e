// The table's keys, for what a whole round by keyboard does not show: keys
// whose button is not up, onlookers, the bomb lock; the mark's moves; and the
// mark's pixels, which lie under the hand and leave every card as it was.

#include <functional>

#include "handlers/game/game_table_fixture.h"
#include "render/table_keyboard.h"
#include "render/table_renderer.h"
#include "ui/render/table_picture_fixture.h"
#include "wire/game_protocol.h"

namespace krvo::testing {
namespace {

class TableKeyboardTest : public GameTableTest {
protected:
    TableKeyboardTest() {
        pub.bteViewPos = {0, 3, 2, 1};
        pub.strViewUserName = "me";
        renderer.screenWidth = [] { return 1920; };
        renderer.resize({1000, 700});
        startPlaying({card(11, 1), card(9, 1), card(5, 2), card(0, 1), card(0, 0)});
        keyboard.setFocused(true);
    }
    void type(std::initializer_list<int> keys) {
        for (const int key : keys) EXPECT_TRUE(keyboard.keyPressed(key, false, false));
    }

    TableRenderer renderer{table, pub, loop.waiter()};
    TableKeyboard keyboard{renderer, table, pub, game.actions(), game.startButton()};
};

TEST_F(TableKeyboardTest, AKeyActsOnlyWhereItsButtonWould) {
    struct Case {
        const char* what;
        std::function<void()> prepare;
        std::initializer_list<int> keys;
        std::vector<Bytes> packets;
    };
    const auto none = [] {};
    const Case cases[] = {
        {"leading, Enter plays the raised card",
         none,
         {Qt::Key_End, Qt::Key_Space, Qt::Key_Return},
         {myPlayPacket(kMe, {card(0, 0)})}},
        {"leading, there is no pass or hint button",
         none,
         {Qt::Key_End, Qt::Key_Space, Qt::Key_P, Qt::Key_0, Qt::Key_H},
         {}},
        {"a bomb plays",
         [this] { table.blnBombShow = true; },
         {Qt::Key_End, Qt::Key_Space, Qt::Key_Enter},
         {}},
        {"another player's turn",
         [this] { table.bteCurChair = 1; },
         {Qt::Key_End, Qt::Key_Space, Qt::Key_Return},
         {}},
        {"an onlooker",
         [this] {
             pub.blnIsOnlooker = true;
             table.bteLiangBut = {kButtonShown, kButtonShown};
         },
         {Qt::Key_End, Qt::Key_Space, Qt::Key_Return, Qt::Key_1},
         {}},
        {"a declaration: 2 says no, and the buttons go",
         [this] {
             table.bteRoundState = kRoundJiu;
             table.bteLiangBut = {kButtonShown, kButtonShown};
         },
         {Qt::Key_2, Qt::Key_1},
         {DeclareAnswerPacket(kAnswerJiu, kMe, 0)}},
        {"between rounds Enter is the start button's",
         [this] {
             table.bteOutBut.fill(kButtonHidden);
             table.bteMyPai.clear();
             game.startButton().putUp();
         },
         {Qt::Key_Return, Qt::Key_G},
         {HandUpPacket(kMe)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        startPlaying({card(11, 1), card(9, 1), card(5, 2), card(0, 1), card(0, 0)});
        pub.blnIsOnlooker = false;
        table.blnBombShow = false;
        c.prepare();
        type(c.keys);
        EXPECT_EQ(sender.packets, c.packets);
    }
    EXPECT_FALSE(keyboard.keyPressed(Qt::Key_Return, true, false)) << "Ctrl+Enter is the window's";
    EXPECT_FALSE(keyboard.keyPressed(Qt::Key_F, false, false));
}

TEST_F(TableKeyboardTest, TheMarkWalksTheHandAndRaisesAndLowersItsCard) {
    struct Step {
        int key;
        bool repeat;
        CardList selected;
        int marked;
    };
    const Step steps[] = {
        {Qt::Key_Home, false, {0, 0, 0, 0, 0}, 1},  {Qt::Key_Space, false, {1, 0, 0, 0, 0}, 1},
        {Qt::Key_Space, true, {1, 0, 0, 0, 0}, 1},  {Qt::Key_Left, false, {1, 0, 0, 0, 0}, 1},
        {Qt::Key_Right, true, {1, 0, 0, 0, 0}, 2},  {Qt::Key_Up, false, {1, 1, 0, 0, 0}, 2},
        {Qt::Key_Up, false, {1, 1, 0, 0, 0}, 2},    {Qt::Key_Down, false, {1, 0, 0, 0, 0}, 2},
        {Qt::Key_End, false, {1, 0, 0, 0, 0}, 5},   {Qt::Key_Space, false, {1, 0, 0, 0, 1}, 5},
        {Qt::Key_Right, false, {1, 0, 0, 0, 1}, 5}, {Qt::Key_Escape, false, {0, 0, 0, 0, 0}, 5},
    };
    for (const Step& step : steps) {
        keyboard.keyPressed(step.key, false, step.repeat);
        EXPECT_EQ(table.bteSelected, step.selected) << "key " << std::hex << step.key;
        EXPECT_EQ(keyboard.markedCard(), step.marked) << "key " << std::hex << step.key;
        EXPECT_EQ(renderer.overlays().handMark, step.marked);
    }
    table.bteMyPai.resize(3);
    EXPECT_EQ(keyboard.markedCard(), 3) << "a shorter hand marks its last card";
    keyboard.setFocused(false);
    EXPECT_EQ(renderer.overlays().handMark, 0) << "no mark without the focus";
    EXPECT_TRUE(sender.packets.empty());
}

TEST_F(TablePictureTest, TheFocusMarkLiesUnderTheHandAndHidesNoCard) {
    table.bteMyPai = {0, 14, 28, 42, 3, 17, 31};
    table.bteSelected = {0, 1, 0, 0, 0, 0, 0};
    const QImage plain = repaint().copy();
    const int n = static_cast<int>(table.bteMyPai.size());
    const QPoint anchor = layout().ptHandCards[kBottom];
    const QRect cards(RowLeft(anchor, n), anchor.y() - kRaise, RowWidth(n), lngPkHeight + kRaise);
    // A covered card, the raised one, the last, and past the end (on the last).
    for (const int k : {1, 2, n, n + 4}) {
        SCOPED_TRACE(k);
        renderer.setHandMark(k);
        const QImage& marked = renderer.image();
        const int shown = std::min(k, n);
        const QRect under(OwnCardLeft(layout(), n, shown), cards.bottom() + 1,
                          shown == n ? lngPkWidth : lngPkSpace, 8);
        int changed = 0;
        for (int y = 0; y < plain.height(); ++y) {
            for (int x = 0; x < plain.width(); ++x) {
                if (marked.pixel(x, y) == plain.pixel(x, y)) continue;
                ++changed;
                ASSERT_TRUE(under.contains(x, y)) << "changed at " << x << "," << y;
            }
        }
        EXPECT_GE(changed, 3 * (under.width() - 2)) << "a bar three pixels high";
    }
    renderer.setHandMark(0);
    EXPECT_TRUE(renderer.image() == plain) << "without the focus the table is as it was";
}

}  // namespace
}  // namespace krvo::testing
