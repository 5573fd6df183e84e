#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "dialogs/game_set_dialog.h"
#include "services/qt_system_alerts.h"
#include "room/room_requests.h"
#include "state/command_line.h"
#include "support/qt_test_application.h"
#include "support/recording_alerts.h"
#include "support/recording_sender.h"

namespace krvo {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Expected(std::uint8_t mainId, std::uint8_t subId, std::string_view asciiBody) {
    Bytes bytes = {mainId, subId};
    bytes.insert(bytes.end(), asciiBody.begin(), asciiBody.end());
    return bytes;
}

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class GameSetDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureQtApplication(); }

    bool open(bool owner, std::string_view settings = "100`1000`10`50`200`5") {
        dialog = std::make_unique<GameSetDialog>(clock, requests, alerts, "桌游");
        QObject::connect(dialog.get(), &GameSetDialog::ended, [this] { ++finished; });
        dialog->show();
        return dialog->loadSettings(owner, settings);
    }

    void confirm(const char* stake, const char* penalty) {
        dialog->amountBox(0)->setText(Q(stake));
        dialog->amountBox(1)->setText(Q(penalty));
        dialog->button(0)->click();
    }

    ManualClock clock;
    testing::RecordingSender sender;
    testing::RecordingAlerts alerts;
    LaunchParams launch{.strMyUserName = "me"};
    std::string& myName = launch.strMyUserName;
    RoomRequests requests{{.launch = launch, .sender = sender}};
    std::unique_ptr<GameSetDialog> dialog;
    int finished = 0;
};

TEST_F(GameSetDialogTest, CaptionsBoxesAndLabelPlacementByRole) {
    ASSERT_TRUE(open(true));
    EXPECT_EQ(dialog->windowTitle(), Q("桌游 游戏设置"));
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(dialog->famGameSet()->title(), Q("你是桌主，请进行本桌游戏设置"));
    EXPECT_EQ(dialog->button(0)->text() + dialog->button(1)->text(), Q("确定取消"));
    EXPECT_EQ(dialog->amountBox(0)->text() + "/" + dialog->amountBox(1)->text(), Q("100/50"));
    EXPECT_FALSE(dialog->amountBox(0)->isReadOnly());
    EXPECT_EQ(dialog->amountBox(1)->palette().color(QPalette::Base), QColor(255, 255, 255));
    dialog->resize(520, 260);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(dialog->label(i)->x(), dialog->amountBox(i)->x() - 112);
        EXPECT_EQ(dialog->label(i)->y(), dialog->amountBox(i)->y() + 3);
    }
    // A 9-point font at 120 dpi without scaling: the labels widen the gap.
    QFont large = dialog->font();
    large.setPixelSize(15);
    dialog->setFont(large);
    dialog->resize(520, 261);
    for (int i = 0; i < 2; ++i) {
        EXPECT_GE(dialog->label(i)->width(), dialog->label(i)->sizeHint().width()) << i;
        EXPECT_LT(dialog->label(i)->geometry().right(), dialog->amountBox(i)->x()) << i;
    }

    ASSERT_TRUE(open(false));
    EXPECT_EQ(dialog->famGameSet()->title(), Q("桌主对本桌游戏进行的设置情况"));
    EXPECT_EQ(dialog->button(0)->text() + dialog->button(1)->text(), Q("同意不同意"));
    EXPECT_TRUE(dialog->amountBox(1)->isReadOnly());
    EXPECT_EQ(dialog->amountBox(0)->palette().color(QPalette::Base),
              dialog->palette().color(QPalette::Window));
}

TEST_F(GameSetDialogTest, OnlyExactlySixFieldsOpenTheDialog) {
    for (const char* text : {"100`1000`10`50`200", "100`1000`10`50`200`5`9", ""}) {
        EXPECT_FALSE(open(true, text)) << text;
        EXPECT_FALSE(dialog->countdownRunning()) << text;
    }
    EXPECT_TRUE(open(false, "`````"));
    EXPECT_TRUE(dialog->countdownRunning());
    EXPECT_TRUE(sender.packets.empty());
}

TEST_F(GameSetDialogTest, OwnerValuesAreCheckedThenSentWithTheLimits) {
    const char* limits = "100`1000`10`50`200`5";
    const std::string stakeRange = "本桌大小必须在 10 和 1000 之间！";
    const std::string penaltyRange = "逃跑者扣分大小必须在 5 和 200 之间！";
    const std::string tooLong = "每个输入区域的数字不能超过 7 位！";
    struct Case {
        const char *settings, *stake, *penalty;
        std::string warning;  // empty: the body below is sent
        std::string body = {};
    };
    const Case cases[] = {
        {"100`1000`10`50`+200.4`5x", "10", "5", "", "me`10`1000`10`5`200`5"},
        {limits, "1000", "200", "", "me`1000`1000`10`200`200`5"},
        {"100`1000`0`50`200`0", "", "", "", "me``1000`0``200`0"},
        {limits, "9", "50", stakeRange},
        {limits, "1001", "50", stakeRange},
        {limits, "", "50", stakeRange},
        {limits, "9999999", "50", stakeRange},
        {limits, "100", "4", penaltyRange},
        {limits, "100", "201", penaltyRange},
        {limits, "12345678", "0", tooLong},
        {limits, "100", "00000050", tooLong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.stake) + " / " + c.penalty);
        sender.packets.clear();
        alerts.warnings.clear();
        open(true, c.settings);
        confirm(c.stake, c.penalty);
        if (c.warning.empty()) {
            ASSERT_EQ(sender.packets.size(), 1u);
            EXPECT_EQ(sender.packets[0], Expected(112, 0, c.body));
            EXPECT_TRUE(alerts.warnings.empty());
            EXPECT_TRUE(dialog->isHidden());
            EXPECT_EQ(clock.activeTimers(), 0u);
            continue;
        }
        ASSERT_EQ(alerts.warnings.size(), 1u);
        EXPECT_EQ(alerts.warnings[0].caption, "桌游");
        EXPECT_EQ(alerts.warnings[0].text, c.warning);
        EXPECT_EQ(alerts.warnings[0].owner, dialog.get());
        EXPECT_TRUE(sender.packets.empty());
        EXPECT_TRUE(dialog->countdownRunning());
    }
}

TEST_F(GameSetDialogTest, GuestAgreesUnseenAfterTwentyOneSecondsWithTheCurrentName) {
    open(false, "99999999`10`20`x`1`2");  // a guest's answer never checks the values
    clock.advance(1000);
    EXPECT_EQ(dialog->button(0)->text(), Q("同意 20"));
    myName = "renamed";
    clock.advance(19999);
    EXPECT_EQ(dialog->button(0)->text(), Q("同意 1"));
    EXPECT_TRUE(sender.packets.empty());
    clock.advance(1);
    EXPECT_EQ(dialog->button(0)->text(), Q("同意 0"));
    ASSERT_EQ(sender.packets.size(), 1u);
    EXPECT_EQ(sender.packets[0], Expected(112, 1, "renamed"));
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(clock.activeTimers(), 0u);
    EXPECT_TRUE(alerts.warnings.empty());
}

TEST_F(GameSetDialogTest, SecondButtonLeavesTheTableOnce) {
    myName = "张三";
    for (bool owner : {false, true}) {
        sender.packets.clear();
        open(owner);
        dialog->button(1)->click();
        dialog->button(0)->click();
        clock.advance(60000);
        ASSERT_EQ(sender.packets.size(), 1u);
        EXPECT_EQ(sender.packets[0], (Bytes{110, 0, 0xD5, 0xC5, 0xC8, 0xFD}));
    }
    EXPECT_EQ(finished, 2);
}

TEST_F(GameSetDialogTest, WarningKeepsTheCountAndTimeoutRepeatsItUntilValid) {
    open(true);
    clock.advance(5000);
    confirm("1", "50");
    clock.advance(1000);
    EXPECT_EQ(dialog->button(0)->text(), Q("确定 15"));
    clock.advance(15000);  // the 21st tick presses the button and warns again
    EXPECT_EQ(alerts.warnings.size(), 2u);
    clock.advance(2000);
    EXPECT_EQ(alerts.warnings.size(), 4u);
    EXPECT_TRUE(sender.packets.empty());

    dialog->amountBox(0)->setText(Q("10"));
    clock.advance(1000);
    ASSERT_EQ(sender.packets.size(), 1u);
    EXPECT_EQ(sender.packets[0], Expected(112, 0, "me`10`1000`10`50`200`5"));
    EXPECT_EQ(finished, 1);
}

TEST_F(GameSetDialogTest, DialogDiscardedDuringItsWarningIsLeftAlone) {
    open(true);
    alerts.onWarning = [this] { dialog.reset(); };
    confirm("1", "50");
    EXPECT_EQ(dialog, nullptr);
    EXPECT_EQ(clock.activeTimers(), 0u);
}

TEST_F(GameSetDialogTest, OnlyDigitsCanBeTyped) {
    open(true);
    QLineEdit* box = dialog->amountBox(0);
    box->clear();
    QTest::keyClicks(box, "a1b2`3-x.4 ");
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_Delete);
    EXPECT_EQ(box->text(), Q("23"));
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);  // would select all
    QTest::keyClicks(box, "9");
    box->insert(Q("1`2"));  // pasting goes around the keys
    EXPECT_EQ(box->text(), Q("923"));

    open(false);
    QTest::keyClicks(dialog->amountBox(1), "77");
    EXPECT_EQ(dialog->amountBox(1)->text(), Q("50"));
}

TEST_F(GameSetDialogTest, TabWalksTheBoxesAndEnterPressesTheFirstButtonWithItsChecks) {
    open(true);
    QLineEdit* stake = dialog->amountBox(0);
    stake->setFocus();
    const auto press = [this](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(dialog->focusWidget(), static_cast<Qt::Key>(key), modifiers);
        return dialog->focusWidget();
    };
    EXPECT_EQ(press(Qt::Key_Tab), dialog->amountBox(1));
    EXPECT_EQ(press(Qt::Key_Tab), dialog->button(0));
    EXPECT_EQ(press(Qt::Key_Tab), dialog->button(1));
    EXPECT_EQ(press(Qt::Key_Backtab, Qt::ShiftModifier), dialog->button(0));
    EXPECT_EQ(press(Qt::Key_Backtab, Qt::ShiftModifier), dialog->amountBox(1));
    EXPECT_EQ(press(Qt::Key_Backtab, Qt::ShiftModifier), stake);
    EXPECT_EQ(stake->text() + dialog->amountBox(1)->text(), Q("10050"));  // nothing typed

    // Enter in a box presses 确定, checks first.
    stake->setText(Q("1"));
    for (int key : {Qt::Key_Return, Qt::Key_Enter}) press(key);
    EXPECT_EQ(alerts.warnings.size(), 2u);
    EXPECT_TRUE(sender.packets.empty());
    stake->setText(Q("20"));
    press(Qt::Key_Return);
    ASSERT_EQ(sender.packets.size(), 1u);
    EXPECT_EQ(sender.packets[0], Expected(112, 0, "me`20`1000`10`50`200`5"));
    EXPECT_TRUE(dialog->isHidden());

    // A guest's read-only box: Enter agrees.
    open(false);
    dialog->amountBox(1)->setFocus();
    press(Qt::Key_Return);
    ASSERT_EQ(sender.packets.size(), 2u);
    EXPECT_EQ(sender.packets[1], Expected(112, 1, "me"));
}

TEST_F(GameSetDialogTest, SystemWarningSaysOkInChineseOverItsDialog) {
    open(true);
    dialog->setGeometry(200, 150, 400, 220);
    const auto box = MakeSystemBox(QMessageBox::Warning, "桌游", "本桌大小必须在 10 和 1000 之间！",
                                   dialog.get());
    EXPECT_EQ(box->parentWidget(), dialog.get());
    EXPECT_TRUE(box->windowFlags() & Qt::WindowStaysOnTopHint);
    ASSERT_EQ(box->buttons().size(), 1);
    EXPECT_EQ(box->buttons()[0]->text(), Q("确定"));
    EXPECT_EQ(box->windowTitle(), Q("桌游"));
    box->show();
    QCoreApplication::processEvents();
    const QPoint offset = box->geometry().center() - dialog->geometry().center();
    EXPECT_LE(offset.manhattanLength(), 4) << offset.x() << "," << offset.y();
    box->hide();
}

}  // namespace
}  // namespace krvo
