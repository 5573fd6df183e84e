// The client's room side against a scripted room server.

#include <QCheckBox>
#include <QPushButton>
#include <functional>

#include "chrome/column_panes.h"
#include "dialogs/user_set_dialog.h"
#include "support/scripted_server.h"

namespace krvo {
namespace {

using testing::message;
using testing::row;
using TableRoomTest = testing::ScriptedServerTest;
using testing::kLimitMs;

TEST_F(TableRoomTest, SeatsFollowTheListArrivalsAndDepartures) {
    seatEveryone();
    EXPECT_EQ(app->table().arrSeat[0].strUserName, "我");
    EXPECT_EQ(app->pub().bteMyChair, 0);
    EXPECT_FALSE(app->pub().blnIsOnlooker);
    EXPECT_EQ(app->pub().bteViewPos, (std::array<std::uint8_t, 4>{2, 3, 0, 1}));

    UserListControl& list = app->mainWindow()->userList();
    deliver(message(130, 0, row("看客二", "甲", 0)));
    deliver(message(130, 4, row("乙", "", 2)));
    EXPECT_FALSE(list.findUser("看客二").empty());
    EXPECT_EQ(app->table().arrSeat[2].strUserName, "乙");

    deliver(message(108, 4, "看客二"));
    deliver(message(110, 0, "乙"));
    EXPECT_TRUE(list.findUser("看客二").empty());
    EXPECT_TRUE(list.findUser("乙").empty());
    EXPECT_TRUE(app->table().arrSeat[2].strUserName.empty());
    EXPECT_EQ(app->table().arrSeat[1].strUserName, "甲");
}

TEST_F(TableRoomTest, NonOwnerAgreesWhenTheDialogCountsDown) {
    seatEveryone();
    deliver(message(111, 0, "a`b`c`0`d`1`1`10`100`5`20`50`1"));
    clock.advance(20999);
    QCoreApplication::processEvents();
    EXPECT_TRUE(nothingSent());
    clock.advance(1);
    EXPECT_EQ(nextPacket(), message(112, 1, "我"));
}

TEST_F(TableRoomTest, UnusableSettingsLeaveTheTable) {
    seatEveryone();
    deliver(message(111, 0, "a`b`c`0`d`1`1`10`100`5`20`50"));  // five settings fields
    EXPECT_EQ(nextPacket(), message(110, 0, "我"));
}

TEST_F(TableRoomTest, WaitingNoticeClosesWhenAPlayerAgrees) {
    seatEveryone();
    deliver(message(111, 0, "a`b`c`0`d`1`0"));
    EXPECT_EQ(boxes().openBoxCount(), 1);
    deliver(message(112, 0, "甲"));
    EXPECT_EQ(boxes().openBoxCount(), 0);
    EXPECT_TRUE(app->table().arrSeat[1].blnReady);
}

TEST_F(TableRoomTest, ChatGoesOutAsTenFields) {
    seatEveryone();
    ChatControl& chat = app->mainWindow()->chatPane();
    chat.input()->setText(QStringLiteral("大家好`"));
    ASSERT_TRUE(chat.sendInput());
    const Packet packet = nextPacket();
    ASSERT_FALSE(packet.empty());
    EXPECT_EQ(packet[0], 1);
    const std::vector<std::string> fields = SplitFields(PacketToString(packet, 1));
    ASSERT_EQ(fields.size(), 10u);
    EXPECT_EQ(fields[0], "我");
    EXPECT_EQ(fields[1], "所有人");
    EXPECT_EQ(fields[4], "大家好'");
}

TEST_F(TableRoomTest, ClosingDuringARoundAsksFirst) {
    seatEveryone();
    app->table().blnNoGame = false;
    // Let the reason box run out: the window stays and nothing is sent.
    EXPECT_FALSE(app->requestClose());
    EXPECT_FALSE(app->ended());
    EXPECT_EQ(app->boxes().leaveAnswer().bteMsgResult, 2);
    EXPECT_TRUE(nothingSent());

    // "Quit anyway" closes.
    QTimer::singleShot(0, [this] {
        if (MessageBoxWindow* box = boxes().openBox(0)) box->answer(1);
    });
    EXPECT_TRUE(app->requestClose());
    EXPECT_TRUE(app->ended());
    EXPECT_TRUE(nothingSent());
}

TEST_F(TableRoomTest, ClosingBetweenRoundsClosesAtOnce) {
    seatEveryone();
    EXPECT_TRUE(app->requestClose());
    EXPECT_TRUE(app->ended());
    EXPECT_EQ(boxes().openBoxCount(), 0);
}

// The 用户设置 button of the right column, pressed as a person presses it;
// returns the preferences dialog then on the screen, if any.
UserSetDialog* PressUserSettings(GameMainWindow& window) {
    auto* pane = window.findChild<UserButtonPane*>(QStringLiteral("picUserButBk"));
    if (pane == nullptr) return nullptr;
    const QPoint at = pane->places()[UserButtonPane::kSettings] + QPoint(20, 12);
    QTest::mouseMove(pane, at);
    QTest::mouseRelease(pane, Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();
    for (UserSetDialog* dialog : window.findChildren<UserSetDialog*>()) {
        if (dialog->isVisible()) return dialog;
    }
    return nullptr;
}

TEST_F(TableRoomTest, PreferencesOpenAgainAfterEveryWayOfClosingThem) {
    seatEveryone();
    // Each way of closing, after a change to box 2 that only 确定 keeps.
    const std::function<void(UserSetDialog&)> closings[] = {
        [](UserSetDialog& d) { d.button(1)->click(); },
        [](UserSetDialog& d) { d.button(2)->click(); },
        [](UserSetDialog& d) { QTest::keyClick(d.checkBox(0), Qt::Key_Escape); },
        [](UserSetDialog& d) { d.close(); },
    };
    std::uint8_t expected = app->preferences().bteShowInOut;
    for (std::size_t way = 0; way < std::size(closings); ++way) {
        SCOPED_TRACE(way);
        UserSetDialog* dialog = PressUserSettings(*app->mainWindow());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->checkBox(2)->isChecked(), expected != 0);
        dialog->checkBox(2)->setChecked(expected == 0);
        closings[way](*dialog);
        if (way == 0) expected = expected == 0 ? 1 : 0;
        EXPECT_EQ(app->preferences().bteShowInOut, expected);
    }
    UserSetDialog* last = PressUserSettings(*app->mainWindow());
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->checkBox(2)->isChecked(), expected != 0);
    // Pressed again while open: still the one dialog.
    EXPECT_EQ(PressUserSettings(*app->mainWindow()), last);
}

TEST_F(TableRoomTest, ServerClosingEndsTheTable) {
    peer->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return app->ended(); }, kLimitMs));
}

}  // namespace
}  // namespace krvo
