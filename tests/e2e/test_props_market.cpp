// A person opens the props market from the main window, buys with the mouse
// and sees what the local server answers: the prop in the owned strip and the
// coins taken from the account.

#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include "chrome/game_main_window.h"
#include "e2e/e2e_table.h"
#include "market/props_market_window.h"
#include "services/fonts.h"
#include "props/props_data.h"

namespace krvo::e2e {
namespace {

QImage OwnedPicture(int id) {
    return QImage(QStringLiteral(KRVO_TEST_APP_DIR "/Res/DaoJu/MyDaoJu_%1.bmp").arg(id))
        .convertToFormat(QImage::Format_RGB32);
}

class PropsMarketTest : public EndToEndTest {
protected:
    static void SetUpTestSuite() {
        EndToEndTest::SetUpTestSuite();
        InstallFontSubstitutions();  // as the program does at start-up
    }

    TableApp& connectWithArtwork() { return connectClient(KRVO_TEST_APP_DIR, "买道具者"); }

    static std::string toolTip(PropsMarketWindow* market, int slot) {
        return market->ownedProp(slot)->toolTip().toStdString();
    }
};

TEST_F(PropsMarketTest, APropBoughtWithTheMouseShowsInTheOwnedStrip) {
    startServer(ServerSetup{});
    TableApp& app = connectWithArtwork();
    ASSERT_TRUE(runUntil([&app] { return app.props().typeCount() == 2; }));
    ASSERT_NE(app.mainWindow(), nullptr);
    emit app.mainWindow()->propsMarketRequested();
    PropsMarketWindow* market = app.propsMarket();
    ASSERT_NE(market, nullptr);
    EXPECT_TRUE(market->isVisible());
    EXPECT_TRUE(app.props().blnMarketOpen);
    EXPECT_EQ(toolTip(market, 0), "");

    const std::string me = app.launch().strMyUserName;
    const std::int32_t coins = server->shop.coins(me);
    // Cell 0 of the first tab: 鲜花, five pieces, used on others.
    const std::int32_t price1 = server::PropsShop::findItem(1)->lngPriceNow;
    const std::int32_t price2 = server::PropsShop::findItem(2)->lngPriceNow;
    QTest::mouseClick(market->buyButton(0), Qt::LeftButton, {}, QPoint(27, 11));
    ASSERT_TRUE(runUntil([&] { return !toolTip(market, 0).empty(); }, 10000));
    EXPECT_EQ(toolTip(market, 0).rfind("鲜花  剩5个  ", 0), 0u) << toolTip(market, 0);
    EXPECT_TRUE(toolTip(market, 0).ends_with("时到期 对别人使用"));
    EXPECT_EQ(market->ownedProp(0)->face, OwnedPicture(1));
    EXPECT_EQ(server->shop.coins(me), coins - price1);

    // A second purchase from cell 1 joins the first.
    QTest::mouseClick(market->buyButton(1), Qt::LeftButton, {}, QPoint(27, 11));
    ASSERT_TRUE(runUntil([&] { return !toolTip(market, 1).empty(); }, 10000));
    EXPECT_EQ(market->ownedProp(1)->face, OwnedPicture(2));
    EXPECT_EQ(server->shop.coins(me), coins - price1 - price2);

    if (const QByteArray shots = qgetenv("KRVO_SCREENSHOT_DIR"); !shots.isEmpty()) {
        const QPoint overCell1(400, 150);
        QMouseEvent move(QEvent::MouseMove, overCell1, market->mapToGlobal(overCell1), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(market, &move);
        // As on a desktop: nothing outside the window's shape.
        QImage shot(market->size(), QImage::Format_ARGB32);
        shot.fill(Qt::transparent);
        QPainter painter(&shot);
        painter.setClipRegion(market->mask());
        painter.drawPixmap(0, 0, market->grab());
        painter.end();
        shot.save(QDir(QString::fromLocal8Bit(shots)).filePath("props-market.png"));
    }

    const QPointer<PropsMarketWindow> closing(market);
    QTest::mouseClick(market->systemButton(1), Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_FALSE(app.props().blnMarketOpen);
    EXPECT_EQ(app.propsMarket(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closing.isNull());
}

}  // namespace
}  // namespace krvo::e2e
