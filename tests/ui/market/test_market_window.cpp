// The market window over the generated artwork. Expected pixels come from the
// picture files and the window's fixed places, not from the window's code.

#include "market/props_market_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/message_box_registry.h"
#include "services/fonts.h"
#include "props/props_data.h"
#include "support/manual_event_loop.h"
#include "support/qt_test_application.h"
#include "support/recording_alerts.h"
#include "support/recording_sender.h"

namespace krvo {
namespace {

const std::string kAppDir = std::string(KRVO_TEST_APP_DIR) + "/";
const std::string kPlatformDir = std::string(KRVO_TEST_PLATFORM_DIR) + "/";
constexpr QRgb kDetailFill = qRgb(214, 215, 214);

QImage Picture(const std::string& base, const QString& relative) {
    return QImage(QString::fromStdString(base) + relative).convertToFormat(QImage::Format_RGB32);
}
QImage CataloguePicture(int id) {
    return Picture(kAppDir, QStringLiteral("Res/DaoJu/DaoJuInfo_%1.bmp").arg(id));
}
QImage OwnedPicture(int id) {
    return Picture(kAppDir, QStringLiteral("Res/DaoJu/MyDaoJu_%1.bmp").arg(id));
}

// Whether picture lies unchanged in image with its corner at `at`.
bool Shows(const QImage& image, QPoint at, const QImage& picture) {
    if (picture.isNull()) return false;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if ((image.pixel(at.x() + x, at.y() + y) & 0xffffff) !=
                (picture.pixel(x, y) & 0xffffff)) {
                return false;
            }
        }
    }
    return true;
}

// Pixels of colour in the rows [top, top + height) between left and left + width.
int CountColour(const QImage& image, QRect area, QRgb colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff) ? 1 : 0;
        }
    }
    return count;
}

int LongestRun(const QImage& image, QRect area, QRgb colour) {
    int longest = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        int run = 0;
        for (int x = area.left(); x <= area.right(); ++x) {
            run = (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff) ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

// A catalogue body: the types, then each prop as (ID, type number from 0).
std::string Catalogue(const std::vector<std::string>& types,
                      const std::vector<std::pair<int, int>>& props) {
    std::string body = std::to_string(types.size());
    for (const std::string& type : types) body += "`" + type;
    body += "`" + std::to_string(props.size());
    for (const auto& [id, type] : props) {
        body += "`" + std::to_string(id) + "`" + std::to_string(type) + "`道具" +
                std::to_string(id) + "`5`48`50`40`40`30`0";
    }
    return body;
}

std::string Owned(const std::vector<int>& ids) {
    std::string body;
    for (const int id : ids)
        body += (body.empty() ? "" : ":") + std::to_string(id) + ":3:2031123118";
    return body;
}

std::string ToolTipOf(MarketPane* slot) {
    return slot->toolTip().toStdString();
}

class MarketWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        testing::EnsureQtApplication();
        InstallFontSubstitutions();
    }

    void SetUp() override { props.resetMarket(); }

    void open(QWidget* owner = nullptr) {
        window = std::make_unique<PropsMarketWindow>(
            PropsMarketWindow::Links{props, kAppDir, kPlatformDir, "测试牌桌"}, owner);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    void click(QWidget* widget) {
        ASSERT_NE(widget, nullptr);
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(5, 5));
    }

    void moveTo(QWidget* widget, QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &move);
    }

    bool cellShows(int cell, const QImage& picture) {
        return Shows(window->canvas(), QPoint(15 + 279 * (cell % 2), 68 + 159 * (cell / 2)),
                     picture);
    }

    std::string appPath = kAppDir;
    testing::RecordingSender sender;
    PropsData props{{sender, appPath}};
    std::unique_ptr<PropsMarketWindow> window;
};

TEST_F(MarketWindowTest, TabsAppearForSeveralTypesAndSwitchWhatIsShown) {
    props.readCatalogue(Catalogue({"全部"}, {{1, 0}, {2, 0}, {99, 0}}));
    props.readOwnedProps(Owned({1, 8}));
    open();
    EXPECT_EQ(window->catalogueTab(1), nullptr);
    EXPECT_EQ(window->ownedTab(1), nullptr);
    EXPECT_EQ(window->pageLabel(0)->text().toStdString(), "共 3 个");
    EXPECT_TRUE(cellShows(0, CataloguePicture(1)));
    EXPECT_TRUE(cellShows(2, Picture(kPlatformDir, "DaoJuMaket/DaoJuNo.bmp")));  // no picture of 99

    // A new catalogue while the window is open brings the tabs.
    props.readCatalogue(Catalogue({"互动", "个人"}, {{1, 0}, {7, 1}, {8, 1}}));
    ASSERT_NE(window->catalogueTab(2), nullptr);
    ASSERT_NE(window->ownedTab(2), nullptr);
    EXPECT_EQ(window->catalogueTab(3), nullptr);
    EXPECT_EQ(window->catalogueTab(2)->pos(), QPoint(95, 38));
    EXPECT_EQ(window->ownedTab(2)->pos(), QPoint(95, 427));
    EXPECT_EQ(ToolTipOf(window->ownedProp(0)), "道具1  剩3个  2031年12月31日18时到期 对别人使用");
    EXPECT_TRUE(ToolTipOf(window->ownedProp(1)).empty());

    click(window->catalogueTab(2));
    EXPECT_EQ(props.bteCurPropTab, 2);
    EXPECT_EQ(window->pageLabel(0)->text().toStdString(), "共 2 个");
    EXPECT_TRUE(cellShows(0, CataloguePicture(7)));
    EXPECT_TRUE(cellShows(1, CataloguePicture(8)));
    const QImage selected = Picture(kPlatformDir, "DaoJuMaket/TabButM.bmp");
    EXPECT_EQ(window->catalogueTab(2)->face.pixel(80, 10), selected.pixel(80, 10));
    EXPECT_NE(window->catalogueTab(1)->face.pixel(80, 10), selected.pixel(80, 10));

    click(window->ownedTab(2));
    EXPECT_EQ(props.bteCurOwnedTab, 2);
    EXPECT_EQ(window->ownedProp(0)->face, OwnedPicture(8));
}

TEST_F(MarketWindowTest, PagingLinksMoveARowAtATime) {
    props.readCatalogue(Catalogue({"全部"}, {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}}));
    open();
    EXPECT_EQ(window->pageLabel(3)->cursor().shape(), Qt::PointingHandCursor);
    const QImage back = Picture(kPlatformDir, "DaoJuMaket/DaoJuInfoBk.bmp");
    struct Step {
        int link;
        std::vector<int> shown;  // IDs in cells 0..3, 0 for an empty cell
    };
    const Step steps[] = {{3, {3, 4, 5, 0}},
                          {3, {3, 4, 5, 0}},
                          {2, {1, 2, 3, 4}},
                          {4, {3, 4, 5, 0}},
                          {1, {1, 2, 3, 4}}};
    moveTo(window.get(), QPoint(100, 100));  // over cell 0
    for (const Step& step : steps) {
        click(window->pageLabel(step.link));
        EXPECT_TRUE(Shows(window->canvas(), QPoint(594, 78), CataloguePicture(step.shown[0])))
            << "the panel follows the page";
        for (int cell = 0; cell < 4; ++cell) {
            const QPoint origin(15 + 279 * (cell % 2), 68 + 159 * (cell / 2));
            const QImage expected =
                step.shown[cell] != 0 ? CataloguePicture(step.shown[cell])
                                      : back.copy(QRect(origin - QPoint(10, 63), QSize(112, 112)));
            EXPECT_TRUE(cellShows(cell, expected)) << "link " << step.link << " cell " << cell;
        }
    }
}

TEST_F(MarketWindowTest, CellTextsStrikeListPricesAndRedCurrentPrices) {
    props.readCatalogue(Catalogue({"全部"}, {{1, 0}}));
    open();
    auto line = [](int k) { return QRect(15 + 126, 68 + 2 + 17 * k, 150, 14); };
    const QImage& canvas = window->canvas();
    EXPECT_GT(LongestRun(canvas, line(2), qRgb(0, 0, 0)), 40);  // struck through
    EXPECT_LT(LongestRun(canvas, line(1), qRgb(0, 0, 0)), 20);
    EXPECT_EQ(CountColour(canvas, line(2), qRgb(255, 0, 0)), 0);
    EXPECT_GT(CountColour(canvas, line(3), qRgb(255, 0, 0)), 20);
    EXPECT_LT(LongestRun(canvas, line(3), qRgb(255, 0, 0)), 20);
}

TEST_F(MarketWindowTest, DetailPanelFollowsThePointerAndKeepsItsNoteAboveTheNotice) {
    props.readCatalogue(Catalogue({"全部"}, {{1, 0}, {2, 0}}));
    open();
    const QRect picture(594, 78, 112, 112);
    auto noteLine = [](int k) { return QRect(589, 210 + 15 * k, 126, 13); };
    EXPECT_EQ(CountColour(window->canvas(), picture, kDetailFill), 112 * 112);

    moveTo(window.get(), QPoint(400, 100));
    EXPECT_EQ(window->intHoverCell(), 1);
    EXPECT_TRUE(Shows(window->canvas(), picture.topLeft(), CataloguePicture(2)));
    // "说明：" and the 21 characters of the generated note: 48 units, three lines.
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(CountColour(window->canvas(), noteLine(k), qRgb(0, 0, 0)) > 0, k < 3) << k;
    }

    props.arrPropTabs[1].arrItems[1].strNote = std::string(300, 'x');
    moveTo(window.get(), QPoint(100, 100));
    EXPECT_GT(CountColour(window->canvas(), noteLine(8), qRgb(0, 0, 0)), 0);
    EXPECT_EQ(CountColour(window->canvas(), QRect(589, 343, 126, 7), qRgb(0, 0, 0)), 0);

    moveTo(window.get(), QPoint(600, 300));  // the panel itself is no cell
    EXPECT_EQ(window->intHoverCell(), -1);
    EXPECT_EQ(CountColour(window->canvas(), picture, kDetailFill), 112 * 112);
    EXPECT_EQ(CountColour(window->canvas(), noteLine(0), qRgb(0, 0, 0)), 0);
}

TEST_F(MarketWindowTest, OwnedStripScrollsWhilePropsAreHidden) {
    props.readCatalogue(Catalogue({"全部"}, {{1, 0}}));
    props.readOwnedProps(Owned({1, 2, 3, 4, 5, 6, 7, 8}));
    open();
    const std::pair<int, int> steps[] = {{1, 2}, {1, 2}, {0, 1}, {0, 1}};  // button, first shown
    for (const auto& [button, first] : steps) {
        click(window->scrollButton(button));
        EXPECT_EQ(props.arrOwnedTabs[1].lngFirstShown, first);
        EXPECT_EQ(window->ownedProp(0)->face, OwnedPicture(first));
        EXPECT_EQ(window->ownedProp(6)->face, OwnedPicture(first + 6));
    }
    props.readOwnedProps(Owned({3}));
    EXPECT_EQ(window->ownedProp(0)->face, OwnedPicture(3));
    EXPECT_EQ(window->ownedProp(1)->face, Picture(kPlatformDir, "DaoJuMaket/MyDaoJuBk.bmp"));
    EXPECT_TRUE(ToolTipOf(window->ownedProp(1)).empty());
}

TEST_F(MarketWindowTest, BuyButtonsBuyTheirCellsPropByMouseAndKeyboard) {
    props.readCatalogue(Catalogue({"全部"}, {{11, 0}, {12, 0}, {13, 0}, {14, 0}, {15, 0}}));
    open();
    click(window->pageLabel(3));
    click(window->buyButton(1));
    click(window->buyButton(3));  // an empty cell
    window->buyButton(2)->setFocus();
    EXPECT_EQ(window->intHoverCell(), 2);
    QTest::keyClick(window->buyButton(2), Qt::Key_Space);
    ASSERT_EQ(sender.packets.size(), 2u);
    EXPECT_EQ(sender.packets[0], (std::vector<std::uint8_t>{133, 0, '1', '4'}));
    EXPECT_EQ(sender.packets[1], (std::vector<std::uint8_t>{133, 0, '1', '5'}));
}

TEST_F(MarketWindowTest, ShapedWindowWithHoverButtonsThatCloses) {
    props.readCatalogue(Catalogue({"全部"}, {{1, 0}}));
    open();
    EXPECT_EQ(window->windowTitle().toStdString(), "道具商城");
    EXPECT_FALSE(window->mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(window->mask().contains(QPoint(363, 270)));
    ASSERT_TRUE(props.blnMarketOpen);

    const QImage strip = Picture(kPlatformDir, "DaoJuMaket/SysBut.bmp");
    MarketPane* close = window->systemButton(1);
    EXPECT_EQ(close->toolTip().toStdString(), "关闭");
    moveTo(close, QPoint(8, 8));
    EXPECT_EQ(close->face, strip.copy(51, 0, 17, 17));
    moveTo(window.get(), QPoint(300, 300));
    EXPECT_EQ(close->face, strip.copy(17, 0, 17, 17));

    QSignalSpy closed(window.get(), &PropsMarketWindow::closed);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(props.blnMarketOpen);
    props.readOwnedProps(Owned({1}));  // no longer reaches the window
    EXPECT_TRUE(ToolTipOf(window->ownedProp(0)).empty());
}

// The market stays above the main window, and a notice shown while the
// person works in it (a purchase's answer) opens over it and belongs to it;
// one shown while the main window is active belongs to that.
TEST_F(MarketWindowTest, StaysAboveTheMainWindowAndOwnsItsNotices) {
    QWidget table;
    table.setGeometry(0, 0, 800, 568);
    table.show();
    open(&table);
    window->move(60, 40);
    EXPECT_EQ(window->parentWidget(), &table);
    EXPECT_EQ(window->windowType(), Qt::Tool);
    ASSERT_NE(window->windowHandle(), nullptr);
    EXPECT_EQ(window->windowHandle()->transientParent(), table.windowHandle());

    testing::ManualEventLoop loop;
    testing::RecordingAlerts alerts;
    MessageBoxRegistry boxes(loop.clock(), loop.waiter(), alerts, kAppDir, nullptr, &table);
    const auto notice = [&boxes] {
        boxes.showMessageBox(1, MsgType::Notice, "购买成功", "", 0, "", "", true);
        return boxes.openBox(boxes.lngMaxMsgObjectIdx());
    };
    const MessageBoxWindow* overMarket = notice();
    ASSERT_NE(overMarket, nullptr);
    EXPECT_EQ(overMarket->windowHandle()->transientParent(), window->windowHandle());
    EXPECT_EQ(overMarket->geometry().center(), window->frameGeometry().center());

    table.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&table] { return QApplication::activeWindow() == &table; }));
    const MessageBoxWindow* overTable = notice();
    ASSERT_NE(overTable, nullptr);
    EXPECT_EQ(overTable->windowHandle()->transientParent(), table.windowHandle());
    boxes.closeAllBoxes();
    window.reset();
}

}  // namespace
}  // namespace krvo
