#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QWindow>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "dialogs/message_box_registry.h"
#include "dialogs/message_box_window.h"
#include "support/manual_event_loop.h"
#include "support/qt_test_application.h"
#include "support/recording_alerts.h"

namespace krvo {
namespace {

using testing::EnsureQtApplication;
using testing::ManualEventLoop;
using testing::RecordingAlerts;

const QRgb kBack = qRgb(40, 80, 120);
const QRgb kCorner = qRgb(255, 0, 0);
const QRgb kBoxColour = qRgb(0, 121, 193);
const QRgb kTextColour = qRgb(250, 250, 0);

QRgb faceColour(int face, int state) {
    return qRgb(10 + face * 17, 40 * state, 100 + face);
}

// Artwork with a known look: a plain background with a marked corner, and a
// strip whose faces are solid inside a black 2-pixel rim, with a mask that is
// black inside and white on the rim.
void writeArtwork(const QString& directory) {
    QDir(directory).mkpath(QStringLiteral("Res"));
    QImage back(kMsgBoxWidth, kMsgBoxHeight, QImage::Format_RGB32);
    back.fill(kBack);
    back.setPixel(0, 0, kCorner);
    back.save(directory + QStringLiteral("/Res/MsgForm.bmp"));

    QImage strip(1300, 24, QImage::Format_RGB32);
    strip.fill(Qt::black);
    const auto cell = [&](int x, QRgb inside, QRgb rim) {
        for (int y = 0; y < 24; ++y) {
            for (int dx = 0; dx < 50; ++dx) {
                const bool onRim = dx < 2 || dx >= 48 || y < 2 || y >= 22;
                strip.setPixel(x + dx, y, onRim ? rim : inside);
            }
        }
    };
    for (int state = 1; state <= 2; ++state) {
        for (int face = 0; face < 6; ++face) {
            cell(face * 50 + (state - 1) * 300, faceColour(face, state), qRgb(0, 0, 0));
        }
    }
    cell(600, qRgb(0, 0, 0), qRgb(255, 255, 255));
    cell(13 * 50 + 600, faceColour(13, 3), qRgb(0, 0, 0));
    strip.save(directory + QStringLiteral("/Res/MsgBut.bmp"));
}

class MessageBoxTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }

    void SetUp() override {
        ASSERT_TRUE(art_.isValid());
        writeArtwork(art_.path());
        appPath_ = art_.path().toStdString() + "/";
        registry_ = std::make_unique<MessageBoxRegistry>(
            loop_.clock(), loop_.waiter(), alerts_, appPath_, [this] { return limitReached_; });
    }

    // A box on its own, for its pixels and mouse handling.
    std::unique_ptr<MessageBoxWindow> makeBox(MsgType type, bool yesDefault = true,
                                              const std::string& note = "请稍候",
                                              const std::string& path = {}) {
        auto box = std::make_unique<MessageBoxWindow>(
            MessageBoxContext{loop_.clock(), alerts_, leave_, path.empty() ? appPath_ : path});
        box->configure(type, note, "系统提示", "是", "否", 5, yesDefault, limitReached_);
        box->load();
        return box;
    }

    // Runs action once, at the first step of the box's loop.
    void atFirstStep(std::function<void()> action) {
        loop_.onStep = [this, action] {
            loop_.onStep = nullptr;
            action();
        };
    }

    bool show(MsgType type, std::int32_t seconds, bool yesDefault = true, std::int32_t group = 0) {
        return registry_->showMessageBox(group, type, "请确认", "系统提示", seconds, "", "",
                                         yesDefault);
    }

    QTemporaryDir art_;
    std::string appPath_;
    ManualEventLoop loop_;
    RecordingAlerts alerts_;
    LeaveAnswer leave_;
    bool limitReached_ = false;
    std::unique_ptr<MessageBoxRegistry> registry_;
};

TEST_F(MessageBoxTest, NoticesTakeFreeSlotsByGroupAndFreedSlotsAreReused) {
    EXPECT_EQ(registry_->lngMaxMsgObjectIdx(), -1);
    EXPECT_FALSE(show(MsgType::Notice, 5, true, 0));
    EXPECT_FALSE(show(MsgType::Notice, 5, true, 1));
    ASSERT_NE(registry_->openBox(0), nullptr);
    ASSERT_NE(registry_->openBox(1), nullptr);
    EXPECT_EQ(registry_->openBox(1)->lngMsgObjectIdx, 1);
    EXPECT_TRUE(registry_->openBox(0)->isVisible());
    // A notice has no countdown: time alone never closes it.
    loop_.clock().advance(60000);
    EXPECT_EQ(registry_->openBoxCount(), 2);

    registry_->closeMessageBoxes(0);
    EXPECT_EQ(registry_->openBox(0), nullptr);
    EXPECT_EQ(registry_->openBox(1)->lngRoomObjectIdx, 1);

    show(MsgType::Notice, 5, true, 1);
    EXPECT_EQ(registry_->openBox(0)->lngRoomObjectIdx, 1);
    EXPECT_EQ(registry_->lngMaxMsgObjectIdx(), 1);
    show(MsgType::Notice, 5, true, 1);
    EXPECT_EQ(registry_->lngMaxMsgObjectIdx(), 2);

    registry_->closeMessageBoxes(1);
    EXPECT_EQ(registry_->openBoxCount(), 0);
    registry_->closeAllBoxes();
    EXPECT_EQ(registry_->lngMaxMsgObjectIdx(), -1);
}

TEST_F(MessageBoxTest, OneButtonBoxOfFiveSecondsAnswersTrueOnTheSixthTick) {
    using Seen = std::pair<std::int64_t, std::int32_t>;  // (ms, seconds shown)
    std::vector<Seen> seen;
    loop_.onStep = [&] {
        if (const MessageBoxWindow* box = registry_->openBox(0)) {
            seen.emplace_back(loop_.clock().nowMs(), box->remainingSeconds());
        }
    };
    EXPECT_TRUE(show(MsgType::OneButton, 5));
    EXPECT_EQ(loop_.clock().nowMs(), 6000);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), Seen(5900, 0));
    EXPECT_EQ(seen[9], Seen(1000, 4));
    EXPECT_TRUE(registry_->slotResult(0));
    EXPECT_EQ(registry_->openBoxCount(), 0);
}

TEST_F(MessageBoxTest, TwoButtonBoxTimesOutWithItsDefaultAndLeavesTheLeaveAnswerAlone) {
    registry_->leaveAnswer().bteMsgResult = 0;
    EXPECT_FALSE(show(MsgType::TwoButtons, 3, false));
    EXPECT_EQ(loop_.clock().nowMs(), 4000);
    EXPECT_FALSE(registry_->slotResult(0));
    EXPECT_TRUE(show(MsgType::TwoButtons, 3, true));
    EXPECT_EQ(registry_->leaveAnswer().bteMsgResult, 0);
}

TEST_F(MessageBoxTest, BoxClosedByAnotherHandlerAnswersNothing) {
    atFirstStep([&] { registry_->openBox(0)->answer(0); });
    ASSERT_TRUE(show(MsgType::OneButton, 20));

    // Same slot, closed from inside its loop: not the slot's earlier "true".
    loop_.onStep = [&] {
        if (loop_.clock().nowMs() == 1500) registry_->closeMessageBoxes(0);
    };
    EXPECT_FALSE(show(MsgType::TwoButtons, 20, true));
    EXPECT_EQ(loop_.clock().nowMs(), 1500);  // came back at once
    EXPECT_EQ(registry_->openBoxCount(), 0);

    // The slot is taken by a new box before the waiting caller looks again.
    atFirstStep([&] {
        registry_->closeMessageBoxes(0);
        show(MsgType::Notice, 0);
    });
    EXPECT_FALSE(show(MsgType::TwoButtons, 20));
    ASSERT_NE(registry_->openBox(0), nullptr);
    EXPECT_EQ(registry_->openBox(0)->bteMsgType(), MsgType::Notice);
}

TEST_F(MessageBoxTest, NestedModalBoxesAnswerEachTheirOwnCaller) {
    bool inner = false;
    atFirstStep([&] {
        EXPECT_NE(registry_->openBox(0), nullptr);
        inner = show(MsgType::OneButton, 2);
        EXPECT_EQ(registry_->openBox(1), nullptr);
        registry_->openBox(0)->answer(1);
    });
    EXPECT_FALSE(show(MsgType::TwoButtons, 20));
    EXPECT_TRUE(inner);
    EXPECT_TRUE(registry_->slotResult(1));
    EXPECT_FALSE(registry_->slotResult(0));
}

// Behind a backlog a notice closes as its countdown would, answered, without
// a step of its own; a question still waits for its answer or its own countdown.
TEST_F(MessageBoxTest, BehindABacklogNoticesGiveWayAndQuestionsWait) {
    const struct {
        MsgType type;
        bool result;
        std::int64_t returnsAtMs;
    } cases[] = {{MsgType::OneButton, true, 0},
                 {MsgType::TwoButtons, true, 11000},
                 {MsgType::Reason, false, 21000}};
    loop_.waiter().setFallenBehind([] { return true; });
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.type));
        const std::int64_t start = loop_.clock().nowMs();
        EXPECT_EQ(show(c.type, c.type == MsgType::Reason ? 20 : 10), c.result);
        EXPECT_TRUE(registry_->lastBoxAnswered());
        EXPECT_EQ(loop_.clock().nowMs() - start, c.returnsAtMs);
    }
}

TEST_F(MessageBoxTest, EndingTheProgramReturnsFromTheModalLoop) {
    loop_.onStep = [&] { loop_.endRequested = loop_.clock().nowMs() >= 1500; };
    EXPECT_FALSE(show(MsgType::OneButton, 20));
    EXPECT_EQ(loop_.endings, 1);
    EXPECT_EQ(loop_.clock().nowMs(), 1500);
    // Nothing new opens while the program ends.
    const int open = registry_->openBoxCount();
    EXPECT_FALSE(show(MsgType::TwoButtons, 20));
    EXPECT_EQ(registry_->openBoxCount(), open);
    registry_->closeMessageBoxes(0);
}

struct ReasonCase {
    std::string typed;
    bool accepted;
    std::string sent;
};

std::string repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

TEST_F(MessageBoxTest, ReasonBoxAcceptsAtMostOneHundredDisplayUnits) {
    const std::vector<ReasonCase> cases = {
        {repeat("理", 50), true, repeat("理", 50)},
        {repeat("理", 51), false, ""},
        {repeat("a", 100), true, repeat("a", 100)},
        {repeat("a", 101), false, ""},
        {repeat("理", 49) + "ab", true, repeat("理", 49) + "ab"},
        {"  " + repeat("a", 100) + " ", true, repeat("a", 100)},  // blanks around do not count
        {"   ", true, "null"},
        {"", true, "null"},
    };
    for (const ReasonCase& c : cases) {
        SCOPED_TRACE(c.typed);
        alerts_.warnings.clear();
        registry_->leaveAnswer() = {};
        bool stayedOpen = false;
        QWidget* shown = nullptr;
        atFirstStep([&] {
            MessageBoxWindow* box = registry_->openBox(0);
            shown = box;
            box->setReasonText(QString::fromStdString(c.typed));
            box->answer(0);
            stayedOpen = registry_->openBox(0) == box;
            if (stayedOpen) box->answer(2);
        });
        EXPECT_EQ(show(MsgType::Reason, 20), c.accepted);
        EXPECT_EQ(stayedOpen, !c.accepted);
        EXPECT_EQ(registry_->leaveAnswer().bteMsgResult, c.accepted ? 0 : 2);
        if (c.accepted) {
            EXPECT_EQ(registry_->leaveAnswer().strLeaveReason, c.sent);
            EXPECT_TRUE(alerts_.warnings.empty());
        } else {
            ASSERT_EQ(alerts_.warnings.size(), 1u);
            EXPECT_EQ(alerts_.warnings[0].caption, "系统提示");
            EXPECT_EQ(alerts_.warnings[0].text, "理由最多50个汉字！");
            EXPECT_EQ(alerts_.warnings[0].owner, shown);
        }
    }
}

TEST_F(MessageBoxTest, ReasonBoxTimesOutOnTheTwentyFirstTickAsCancel) {
    registry_->leaveAnswer().bteMsgResult = 0;
    EXPECT_FALSE(show(MsgType::Reason, 20));
    EXPECT_EQ(loop_.clock().nowMs(), 21000);
    EXPECT_EQ(registry_->leaveAnswer().bteMsgResult, 2);

    atFirstStep([&] { registry_->openBox(0)->answer(1); });
    EXPECT_FALSE(show(MsgType::Reason, 20));
    EXPECT_EQ(registry_->leaveAnswer().bteMsgResult, 1);
}

TEST_F(MessageBoxTest, ReasonBoxClosedDuringItsWarningIsFreedSafely) {
    registry_->leaveAnswer() = {};
    alerts_.onWarning = [&] {
        // Another handler runs inside the warning: it closes the boxes and
        // shows a modal box whose loop frees closed boxes.
        registry_->closeMessageBoxes(0);
        show(MsgType::OneButton, 0);
    };
    atFirstStep([&] {
        MessageBoxWindow* box = registry_->openBox(0);
        box->setReasonText(QString::fromStdString(repeat("理", 60)));
        box->answer(0);
    });
    EXPECT_FALSE(show(MsgType::Reason, 20));
    EXPECT_EQ(alerts_.warnings.size(), 1u);
    EXPECT_EQ(registry_->leaveAnswer().bteMsgResult, 2);
    EXPECT_EQ(registry_->openBoxCount(), 0);
}

TEST_F(MessageBoxTest, LeaveLimitDisablesTheFirstReasonButton) {
    limitReached_ = true;
    atFirstStep([&] {
        MessageBoxWindow* box = registry_->openBox(0);
        EXPECT_EQ(box->buttonState(0), ButtonState::Disabled);
        box->answer(0);
        QTest::mouseMove(box, ButtonRect(MsgType::Reason, 0).center());
        EXPECT_EQ(box->buttonState(0), ButtonState::Disabled);
        EXPECT_EQ(registry_->openBox(0), box);
        box->answer(1);
    });
    EXPECT_FALSE(show(MsgType::Reason, 20));
    EXPECT_EQ(registry_->leaveAnswer().bteMsgResult, 1);

    limitReached_ = false;
    EXPECT_EQ(makeBox(MsgType::Reason)->buttonState(0), ButtonState::Normal);
}

TEST_F(MessageBoxTest, LeaveLimitReachedWhileTheReasonBoxIsOpenDisablesItsFirstButton) {
    int step = 0;
    loop_.onStep = [&] {
        MessageBoxWindow* box = registry_->openBox(0);
        if (step++ == 0) {
            EXPECT_EQ(box->buttonState(0), ButtonState::Normal);
            limitReached_ = true;  // as the server's echo of our last request does
            return;
        }
        loop_.onStep = nullptr;
        EXPECT_EQ(box->buttonState(0), ButtonState::Disabled);
        EXPECT_EQ(box->canvas().pixel(33 + 10, 141 + 10), faceColour(13, 3));
        box->setReasonText(QStringLiteral("有事"));
        box->answer(0);
        EXPECT_EQ(registry_->openBox(0), box);
        box->answer(2);
    };
    EXPECT_FALSE(show(MsgType::Reason, 20));
    EXPECT_EQ(step, 2);
    EXPECT_EQ(registry_->leaveAnswer().bteMsgResult, 2);
}

struct KeyCase {
    MsgType type;
    bool limitReached;
    Qt::Key key;
    bool stays;  // the key answers nothing
    bool result;
    std::uint8_t bteMsgResult;
};

TEST_F(MessageBoxTest, EnterPressesTheFirstEnabledButtonAndEscapeTheLast) {
    const std::vector<KeyCase> cases = {
        {MsgType::OneButton, false, Qt::Key_Return, false, true, 9},
        {MsgType::OneButton, false, Qt::Key_Escape, true, true, 9},
        {MsgType::TwoButtons, false, Qt::Key_Enter, false, true, 9},
        {MsgType::TwoButtons, false, Qt::Key_Escape, false, false, 9},
        {MsgType::Reason, false, Qt::Key_Return, false, true, 0},
        {MsgType::Reason, false, Qt::Key_Escape, false, false, 2},
        {MsgType::Reason, true, Qt::Key_Return, false, false, 1},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.type)) + " " + std::to_string(c.key));
        limitReached_ = c.limitReached;
        registry_->leaveAnswer() = {9, ""};
        bool stayed = false;
        const std::int64_t start = loop_.clock().nowMs();
        atFirstStep([&] {
            MessageBoxWindow* box = registry_->openBox(0);
            // The reason box types into its edit, which has the focus.
            QWidget* keys = box;
            if (c.type == MsgType::Reason) {
                keys = box->reasonEdit();
                QTest::keyClicks(keys, QStringLiteral("busy"));
            }
            QTest::keyClick(keys, c.key);
            stayed = registry_->openBox(0) == box;
            if (stayed) box->answer(0);
        });
        EXPECT_EQ(show(c.type, 20), c.result);
        EXPECT_EQ(stayed, c.stays);
        EXPECT_EQ(loop_.clock().nowMs() - start, 100);  // answered at the first step
        EXPECT_EQ(registry_->leaveAnswer().bteMsgResult, c.bteMsgResult);
        if (c.bteMsgResult == 0) {
            EXPECT_EQ(registry_->leaveAnswer().strLeaveReason, "busy");
        }
    }
}

TEST_F(MessageBoxTest, ReasonIsOneLineWhateverIsTypedOrPasted) {
    auto box = makeBox(MsgType::Reason);
    box->show();
    QTextEdit* edit = box->reasonEdit();
    QTest::keyClicks(edit, QStringLiteral("late"));
    QTest::keyClick(edit, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(box->reasonText(), QStringLiteral("late"));

    box = makeBox(MsgType::Reason);
    QApplication::clipboard()->setText(QStringLiteral("第一行\n第二行\r\n三\r四"));
    QTest::keyClick(box->reasonEdit(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->reasonText(), QStringLiteral("第一行 第二行 三 四"));
}

// The window system decides where the keys go; a notice asks it never to
// give them to the notice, so the chat input keeps them. The questions do
// take them, for their buttons.
TEST_F(MessageBoxTest, ANoticeLeavesTheKeyboardWhereItWas) {
    const auto takesKeys = [](MessageBoxWindow* box) {
        return box->focusPolicy() != Qt::NoFocus &&
               !box->testAttribute(Qt::WA_ShowWithoutActivating) &&
               !(box->windowHandle()->flags() & Qt::WindowDoesNotAcceptFocus);
    };
    const auto refusesKeys = [](MessageBoxWindow* box) {
        return box->focusPolicy() == Qt::NoFocus &&
               box->testAttribute(Qt::WA_ShowWithoutActivating) &&
               (box->windowHandle()->flags() & Qt::WindowDoesNotAcceptFocus);
    };
    EXPECT_FALSE(show(MsgType::Notice, 0));
    MessageBoxWindow* notice = registry_->openBox(0);
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_TRUE(refusesKeys(notice));
    for (MsgType type : {MsgType::OneButton, MsgType::TwoButtons, MsgType::Reason}) {
        atFirstStep([&] {
            MessageBoxWindow* question = registry_->openBox(1);
            EXPECT_TRUE(takesKeys(question)) << static_cast<int>(type);
            question->answer(ButtonCount(type) - 1);
        });
        show(type, 20);
    }
    registry_->closeMessageBoxes(0);
}

// Every box opens in the middle of the window it belongs to, wherever that
// stands, and stays whole on the screen when the window is partly off it.
TEST_F(MessageBoxTest, BoxesOpenInTheMiddleOfTheirOwner) {
    struct Case {
        QRect owner;
        MsgType type;
        QPoint centre;  // the box's, on the screen
    };
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const Case cases[] = {
        {{40, 60, 500, 400}, MsgType::Reason, {289, 259}},
        {{300, 200, 400, 300}, MsgType::Notice, {499, 349}},
        {{10, 20, 200, 150}, MsgType::TwoButtons, {137, 94}},  // at the screen's edge: kept whole
        {{screen.right() - 100, 100, 400, 300},
         MsgType::OneButton,
         {screen.right() + 1 - kMsgBoxWidth + 137, 249}},
    };
    QWidget owner;
    registry_->setOwner(&owner);
    for (const Case& c : cases) {
        owner.setGeometry(c.owner);
        owner.show();
        QPoint centre;
        atFirstStep([&] {
            MessageBoxWindow* box = registry_->openBox(0);
            centre = box->geometry().center();
            box->answer(ButtonCount(c.type) - 1);
        });
        show(c.type, 20);
        if (c.type == MsgType::Notice) {
            centre = registry_->openBox(0)->geometry().center();
            registry_->closeMessageBoxes(0);
        }
        EXPECT_EQ(centre, c.centre) << static_cast<int>(c.type);
    }
}

TEST_F(MessageBoxTest, MouseHoverAndReleaseOnButtons) {
    atFirstStep([&] {
        MessageBoxWindow* box = registry_->openBox(0);
        const QRect yes = ButtonRect(MsgType::TwoButtons, 0);
        const QRect no = ButtonRect(MsgType::TwoButtons, 1);
        QTest::mouseMove(box, yes.center());
        EXPECT_EQ(box->buttonState(0), ButtonState::Hover);
        EXPECT_EQ(box->buttonState(1), ButtonState::Normal);
        // Releasing over a button that is not lit answers nothing.
        QTest::mouseRelease(box, Qt::LeftButton, {}, no.center());
        EXPECT_EQ(registry_->openBox(0), box);
        QTest::mouseMove(box, no.center());
        EXPECT_EQ(box->buttonState(0), ButtonState::Normal);
        EXPECT_EQ(box->buttonState(1), ButtonState::Hover);
        // The rim of a button is not inside it.
        QTest::mouseMove(box, QPoint(no.left(), no.center().y()));
        EXPECT_EQ(box->buttonState(1), ButtonState::Normal);
        QTest::mouseMove(box, QPoint(no.left() + 1, no.top() + 1));
        EXPECT_EQ(box->buttonState(1), ButtonState::Hover);
        QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(no.left() + 1, no.top() + 1));
    });
    EXPECT_FALSE(show(MsgType::TwoButtons, 20, true));
    EXPECT_EQ(loop_.clock().nowMs(), 100);
}

TEST_F(MessageBoxTest, DraggingAboveTheButtonRowMovesTheBox) {
    auto box = makeBox(MsgType::OneButton);
    box->show();
    QCoreApplication::processEvents();
    const QPoint start = box->pos();
    QTest::mousePress(box.get(), Qt::LeftButton, {}, QPoint(100, 50));
    QTest::mouseMove(box.get(), QPoint(130, 70));
    QTest::mouseRelease(box.get(), Qt::LeftButton, {}, QPoint(130, 70));
    EXPECT_EQ(box->pos(), start + QPoint(30, 20));

    const QPoint onRow(20, ButtonRect(MsgType::OneButton, 0).top() + 2);
    QTest::mousePress(box.get(), Qt::LeftButton, {}, onRow);
    QTest::mouseMove(box.get(), onRow + QPoint(40, 0));
    QTest::mouseRelease(box.get(), Qt::LeftButton, {}, onRow + QPoint(40, 0));
    EXPECT_EQ(box->pos(), start + QPoint(30, 20));
    EXPECT_FALSE(box->closed());
}

TEST_F(MessageBoxTest, PaintsTheArtworkNoteAndCountdown) {
    auto box = makeBox(MsgType::TwoButtons, false, repeat("请等待其他玩家", 6));
    EXPECT_EQ(box->size(), QSize(276, 175));
    EXPECT_TRUE(box->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(box->windowFlags() & Qt::WindowStaysOnTopHint);
    const QImage& canvas = box->canvas();
    EXPECT_EQ(canvas.pixel(0, 0), kCorner);
    EXPECT_EQ(canvas.pixel(1, 1), kBack);
    // Yes (face 3) at (73, 131), no (face 4) 80 pixels on; rims keep the background.
    EXPECT_EQ(ButtonRect(MsgType::TwoButtons, 0), QRect(73, 131, 50, 24));
    EXPECT_EQ(canvas.pixel(73 + 10, 131 + 10), faceColour(3, 1));
    EXPECT_EQ(canvas.pixel(153 + 10, 131 + 10), faceColour(4, 1));
    EXPECT_EQ(canvas.pixel(153, 131), kBack);

    // The note: yellow text within the 15-pixel margins, wrapped onto several lines.
    std::set<int> lines;
    for (int y = 0; y < 131; ++y) {
        for (int x = 0; x < 276; ++x) {
            if (canvas.pixel(x, y) != kTextColour) continue;
            EXPECT_TRUE(x >= 15 && x < 261 && y >= 45) << x << "," << y;
            lines.insert((y - 45) / 17);
        }
    }
    EXPECT_GE(lines.size(), 3u);

    // Without "yes" as the default the number sits right of "no".
    EXPECT_EQ(box->countdownRect(), QRect(205, 131, 16, 16));
    loop_.clock().advance(1000);
    EXPECT_EQ(box->remainingSeconds(), 4);
    int digitPixels = 0;
    for (int y = 131; y < 147; ++y) {
        for (int x = 205; x < 221; ++x) {
            const QRgb pixel = box->canvas().pixel(x, y);
            EXPECT_TRUE(pixel == kBoxColour || pixel == kTextColour);
            digitPixels += pixel == kTextColour ? 1 : 0;
        }
    }
    EXPECT_GT(digitPixels, 0);

    // Hover repaints the face in its second state. The pointer may already
    // rest where an earlier test left it, and a move to the same place moves
    // nothing: it goes somewhere else on the box first.
    box->show();
    QCoreApplication::processEvents();
    QTest::mouseMove(box.get(), QPoint(5, 5));
    QTest::mouseMove(box.get(), QPoint(163, 141));
    EXPECT_EQ(box->canvas().pixel(163, 141), faceColour(4, 2));
}

TEST_F(MessageBoxTest, ReasonBoxLayoutAndDisabledFace) {
    limitReached_ = true;
    auto box = makeBox(MsgType::Reason, true, repeat("游戏正在进行中，", 7));
    EXPECT_EQ(ButtonRect(MsgType::Reason, 0), QRect(33, 141, 50, 24));
    EXPECT_EQ(box->canvas().pixel(33 + 10, 141 + 10), faceColour(13, 3));
    EXPECT_EQ(box->canvas().pixel(113 + 10, 141 + 10), faceColour(1, 1));
    EXPECT_EQ(box->canvas().pixel(193 + 10, 141 + 10), faceColour(2, 1));
    EXPECT_EQ(box->countdownRect().topLeft(), QPoint(245, 141));

    // The edit ends 5 pixels above the row, spans the inner width less 30, and
    // leaves every line of the note visible above it.
    const QRect edit = box->reasonEdit()->geometry();
    EXPECT_EQ(edit.left(), 15);
    EXPECT_EQ(edit.width(), 246);
    EXPECT_EQ(edit.bottom() + 1, 136);
    EXPECT_TRUE(box->reasonEdit()->isVisibleTo(box.get()));
    for (int y = edit.top(); y <= edit.bottom(); ++y) {
        for (int x = 0; x < 276; ++x) ASSERT_NE(box->canvas().pixel(x, y), kTextColour);
    }
}

TEST_F(MessageBoxTest, MissingArtworkLeavesItsElementsUndrawn) {
    auto box = makeBox(MsgType::OneButton, true, "请稍候", "/nonexistent/");
    EXPECT_EQ(box->canvas().pixel(0, 0), kBoxColour);
    EXPECT_EQ(box->canvas().pixel(113 + 10, 131 + 10), kBoxColour);
}

TEST_F(MessageBoxTest, CaptionsHaveNoVisibleEffect) {
    auto plain = makeBox(MsgType::TwoButtons);
    auto other = std::make_unique<MessageBoxWindow>(
        MessageBoxContext{loop_.clock(), alerts_, leave_, appPath_});
    other->configure(MsgType::TwoButtons, "请稍候", "另一个标题", "确定", "取消", 5, true);
    other->load();
    EXPECT_EQ(plain->canvas(), other->canvas());
}

}  // namespace
}  // namespace krvo
