// The main window used with the mouse: its caption buttons, the one close
// procedure, and the splitter bar. Pictures come from the generated artwork.

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include "chrome/column_panes.h"
#include "chrome/game_main_window.h"
#include "chrome/splitter_widgets.h"
#include "core/clock.h"
#include "controls/user_list_control.h"
#include "render/table_surface.h"
#include "support/qt_test_application.h"

namespace krvo {
namespace {

const std::string kAppDir = std::string(KRVO_TEST_APP_DIR) + "/";

QImage artwork(const std::string& dir, const char* name) {
    return QImage(QString::fromStdString(dir) + name).convertToFormat(QImage::Format_RGB32);
}

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureQtApplication(); }

    explicit MainWindowTest(const std::string& appDir = kAppDir) : window(clock, appDir) {
        window.setWindowTitle(QStringLiteral("测试牌桌"));
        window.setGeometry(100, 100, 1000, 700);
        window.setCloseRequestHandler([this] {
            ++closeRequests;
            return allowClose;
        });
        window.show();
        window.layoutWindow();
    }
    QPoint slotCentre(int slot) const {
        return window.sysButtonSlots()[static_cast<std::size_t>(slot)] + QPoint(10, 10);
    }
    // The pointer is seen by the frame's tick before the click, as in use.
    void clickSlot(int slot) {
        window.trackFrameHit(window.mapToGlobal(slotCentre(slot)));
        QTest::mouseClick(&window, Qt::LeftButton, {}, slotCentre(slot));
    }
    QImage slotPicture(int slot) {
        return window
            .grab(QRect(window.sysButtonSlots()[static_cast<std::size_t>(slot)], QSize(21, 21)))
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    ManualClock clock;
    GameMainWindow window;
    int closeRequests = 0;
    bool allowClose = false;
};

TEST_F(MainWindowTest, EveryCloseGoesThroughTheCloseProcedure) {
    clickSlot(2);
    EXPECT_EQ(closeRequests, 1);
    EXPECT_TRUE(window.isVisible()) << "the leave question was refused";
    QCloseEvent managerClose;
    QCoreApplication::sendEvent(&window, &managerClose);
    EXPECT_EQ(closeRequests, 2);
    EXPECT_FALSE(managerClose.isAccepted());
    allowClose = true;
    clickSlot(2);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowTest, MaximiseShowsTheRestoreGlyphAndHoverLightsTheButton) {
    const QImage glyphs = artwork(kAppDir, "Res/SysMenu.bmp");
    EXPECT_EQ(slotPicture(1), glyphs.copy(21, 0, 21, 21)) << "maximise in the normal state";
    QTest::mouseMove(&window, slotCentre(0) + QPoint(1, 1));
    QTest::mouseMove(&window, slotCentre(0));
    EXPECT_EQ(window.hoverSysButton(), 0);
    EXPECT_EQ(slotPicture(0), glyphs.copy(84, 0, 21, 21)) << "the hover look";
    clickSlot(1);
    EXPECT_EQ(slotPicture(1), glyphs.copy(42, 0, 21, 21)) << "restore, at once";
}

TEST_F(MainWindowTest, NoClickActsWhileThePointerIsInAFrameZone) {
    // Over the close button, but the last tick saw the pointer on the left edge.
    window.trackFrameHit(window.mapToGlobal(QPoint(2, 300)));
    EXPECT_EQ(window.frameZone(), FrameZone::Left);
    QTest::mouseClick(&window, Qt::LeftButton, {}, slotCentre(2));
    EXPECT_EQ(closeRequests, 0);
    window.trackFrameHit(window.mapToGlobal(QPoint(300, 20)));
    EXPECT_EQ(window.frameZone(), FrameZone::Move);
    window.trackFrameHit(window.mapToGlobal(slotCentre(2)));
    EXPECT_EQ(window.frameZone(), FrameZone::None) << "over a caption button";
}

// The tick takes the pointer from the program's own mouse events, over any of
// its widgets, not from the display.
TEST_F(MainWindowTest, TheTickSeesThePointerWhereTheMouseEventsPutIt) {
    QCursor::setPos(window.mapToGlobal(QPoint(300, 20)));  // the display: on the caption
    const auto moveOver = [](QWidget& widget, QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, widget.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(&widget, &move);
    };
    moveOver(window.tableSurface(), QPoint(400, 300));
    clock.advance(100);
    EXPECT_EQ(window.frameZone(), FrameZone::None);
    moveOver(window, QPoint(2, 300));
    clock.advance(100);
    EXPECT_EQ(window.frameZone(), FrameZone::Left);
}

TEST_F(MainWindowTest, TheBarCollapsesTheColumnAndIsDraggedWithinItsLimits) {
    auto* bar = window.findChild<SplitterBar*>();
    ASSERT_NE(bar, nullptr);
    const QPoint middle(6, bar->height() / 2);
    QTest::mouseClick(bar, Qt::LeftButton, {}, middle);
    EXPECT_TRUE(window.splitters().blnColumnCollapsed);
    EXPECT_FALSE(window.userList().isVisible());
    EXPECT_EQ(bar->x(), window.width() - 14);
    QTest::mouseClick(bar, Qt::RightButton, {}, QPoint(6, bar->height() / 2));
    EXPECT_FALSE(window.splitters().blnColumnCollapsed) << "any button restores";
    EXPECT_TRUE(window.userList().isVisible());

    const int start = bar->x();
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(6, 20));
    auto* ghost = window.findChild<DragGhost*>();
    ASSERT_NE(ghost, nullptr);
    EXPECT_TRUE(ghost->isVisible());
    QMouseEvent move(QEvent::MouseMove, QPointF(6 - 1000, 20), bar->mapToGlobal(QPointF(-994, 20)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &move);
    EXPECT_EQ(ghost->x(), start) << "beyond the limit the band stays";
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(6 - 1000, 20));
    EXPECT_FALSE(ghost->isVisible());
    EXPECT_EQ(window.splitters().lngSplitterX, 650);
    EXPECT_EQ(bar->x(), 650);
}

TEST_F(MainWindowTest, DraggingTheListSplitterCarriesThePaneAndTheChat) {
    auto* splitter = window.findChild<HorizontalSplitter*>();
    ASSERT_NE(splitter, nullptr);
    const int before = window.splitters().lngListSplitY;
    QTest::mousePress(splitter, Qt::LeftButton, {}, QPoint(20, 2));
    QMouseEvent move(QEvent::MouseMove, QPointF(20, 52), splitter->mapToGlobal(QPointF(20, 52)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(splitter, &move);
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, QPoint(20, 2));
    EXPECT_EQ(window.splitters().lngListSplitY, before + 50);
    const QRect pane = window.advertisementPane().geometry();
    EXPECT_EQ(pane.top(), before + 50 + 5);
    EXPECT_EQ(pane.height(), 180);
    EXPECT_EQ(window.userList().geometry().bottom() + 1, before + 50);
}

class FrameWithoutEndCapsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureQtApplication(); }
};

TEST_F(FrameWithoutEndCapsTest, OnlyTheTilesAreDrawn) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/Res"));
    for (const char* name : {"Res/CaptionMid.bmp", "Res/SysMenu.bmp"}) {
        ASSERT_TRUE(QFile::copy(QString::fromStdString(kAppDir) + name, dir.path() + "/" + name));
    }
    ManualClock clock;
    const std::string appDir = dir.path().toStdString() + "/";
    GameMainWindow window(clock, appDir);
    window.setGeometry(100, 100, 1000, 700);
    window.show();
    window.layoutWindow();
    const QImage tile = artwork(appDir, "Res/CaptionMid.bmp");
    const QPoint inButton = window.sysButtonSlots()[2] + QPoint(10, 10);
    const QImage shown = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.pixel(inButton), tile.pixel((inButton.x() - 5) % 12, inButton.y() - 2));
}

}  // namespace
}  // namespace krvo
