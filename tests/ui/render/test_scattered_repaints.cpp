// Repaints of many scattered rectangles in one pass against a full repaint of
// the same state by a renderer of its own.

#include <QPainter>
#include <QPixmap>
#include <random>

#include "core/cards.h"
#include "ui/render/table_picture_fixture.h"

namespace krvo::testing {
namespace {

class ScatteredRepaintTest : public TablePictureTest {
protected:
    QImage fullRepaint(QSize size) {
        TableRenderer fresh(table, pub, loop.waiter());
        fresh.screenWidth = renderer.screenWidth;
        fresh.resize(size);
        return fresh.image().copy();
    }
};

// Fanned cards under cards, and captions drawn again over the other picture of
// their button: the second time each state is shown it lands as the first.
TEST_F(ScatteredRepaintTest, HandsPanelAndButtonsEqualAFullRepaint) {
    table.bteDeckCount = 2;
    table.bteRoundState = kRoundShowRedAces;
    table.bteMyPai = {0, 5, 13, 20, 27, 33, 40, 46, 51};
    table.bteSelected = {0, 1, 0, 0, 1, 1, 0, 0, 1};
    table.arrSeat[3].bteLeftPai = {1, 2, 3, 4};
    repaint();
    std::mt19937 random(7);
    for (int step = 0; step < 8; ++step) {
        const auto hover = static_cast<std::uint8_t>(1 + step % 2);
        table.bteLiangBut = {hover, static_cast<std::uint8_t>(3 - hover)};
        for (const std::size_t chair : {0u, 1u}) {
            table.arrSeat[chair].btePaiCount = static_cast<std::uint8_t>(random() % 27);
        }
        table.bteSelected[random() % table.bteSelected.size()] ^= 1;
        table.lngTotalScore[random() % kChairCount] += step % 2 == 0 ? 5 : -5;
        renderer.invalidateDecisionButtons();
        for (std::uint8_t chair = 0; chair < kChairCount; ++chair)
            renderer.invalidateSeatHand(chair);
        renderer.invalidateScorePanel();
        ASSERT_TRUE(renderer.image() == fullRepaint({1000, 700})) << "step " << step;
    }
}

// Every pixel of a fanned hand with raised cards is each card in turn masked
// and laid over the one before, where the next card's corner lets it show.
TEST_F(ScatteredRepaintTest, FannedHandIsEveryCardLaidOverTheOneBefore) {
    table.bteMyPai = {0, 14, 28, 42, 3, 17, 31, 45, 6, 20};
    table.bteSelected = {0, 1, 1, 0, 1, 0, 0, 1, 0, 1};
    const QImage& image = repaint();
    const QImage mask = Artwork("Res/ResPk/PkMask.bmp");
    const QPoint anchor = layout().ptHandCards[kBottom];
    const int n = static_cast<int>(table.bteMyPai.size());
    const QRect hand(RowLeft(anchor, n), anchor.y() - kRaise, RowWidth(n), lngPkHeight + kRaise);
    QImage expected(hand.size(), QImage::Format_RGB32);
    expected.fill(kTableColour);
    for (int i = 0; i < n; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const QImage face =
            Artwork(QString("Res/ResPk/Pk%1.bmp").arg(CardFaceNumber(table.bteMyPai[at])));
        const QPoint corner(i * lngPkSpace, table.bteSelected[at] != 0 ? 0 : kRaise);
        for (int v = 0; v < lngPkHeight; ++v) {
            for (int u = 0; u < lngPkWidth; ++u) {
                const QPoint p = corner + QPoint(u, v);
                expected.setPixel(p,
                                  Composite(expected.pixel(p), mask.pixel(u, v), face.pixel(u, v)));
            }
        }
    }
    for (int y = 0; y < hand.height(); ++y) {
        for (int x = 0; x < hand.width(); ++x) {
            ASSERT_EQ(Rgb(image.pixel(hand.topLeft() + QPoint(x, y))), Rgb(expected.pixel(x, y)))
                << x << "," << y;
        }
    }
}

// On a table smaller than its layout the centre's picture lies over the edge
// pieces, whether the table is repainted whole or only its centre.
TEST_F(ScatteredRepaintTest, CentreEqualsAFullRepaintWhateverTheTableSize) {
    table.arrSeat[0].bteOutPai = {7, 8, 9};
    table.arrSeat[1].bteOutPai = {kPassMarker};
    for (const QSize size : {QSize(1000, 700), QSize(300, 300), QSize(160, 120)}) {
        renderer.resize(size);
        renderer.image();
        table.arrSeat[3].bteOutPai = {20, 21};
        renderer.invalidateTableCentre(TrickView::Current);
        ASSERT_TRUE(renderer.image() == fullRepaint(size)) << size.width();
    }
    renderer.resize({300, 300});
    const QImage middle = Artwork("Res/GameBackMid.bmp");
    const QPoint inside(0, 150);  // on the left edge piece, under the middle picture
    EXPECT_EQ(Rgb(renderer.image().pixel(inside)), Rgb(middle.pixel(inside - QPoint(0, 35))));
}

// Painted straight into a window's buffer, at the widget's place in it, the
// table lands as its own picture does, whole and in scattered rectangles,
// whichever device the window paints on; the rest of the buffer is untouched.
TEST_F(ScatteredRepaintTest, PaintedIntoAWindowEqualsThePicture) {
    const QSize size(1000, 700);
    const QPoint offset(5, 35);
    const QRgb outside = qRgb(1, 2, 3);
    table.bteMyPai = {0, 5, 13, 20, 27, 33, 40, 46, 51};
    table.bteSelected.assign(table.bteMyPai.size(), 0);
    const QRegion scattered = QRegion(0, 0, 1000, 90) + QRect(100, 400, 700, 300) +
                              QRect(850, 120, 150, 200) + QRect(300, 250, 60, 40);
    enum class Device { Image, PremultipliedImage, Pixmap };
    for (const Device device : {Device::Image, Device::PremultipliedImage, Device::Pixmap}) {
        SCOPED_TRACE(static_cast<int>(device));
        table.bteSelected[1] = 0;
        const QImage before = repaint().copy();
        QImage window(size + QSize(20, 50), device == Device::PremultipliedImage
                                                ? QImage::Format_ARGB32_Premultiplied
                                                : QImage::Format_RGB32);
        window.fill(outside);
        QPixmap pixmap(window.size());
        pixmap.fill(QColor(outside));
        const auto paint = [&](const QRegion& area) {
            QPainter painter;
            if (device == Device::Pixmap) {
                painter.begin(&pixmap);
            } else {
                painter.begin(&window);
            }
            painter.translate(offset);
            renderer.paintOn(painter, area);
            painter.end();
            if (device == Device::Pixmap)
                window = pixmap.toImage().convertToFormat(QImage::Format_RGB32);
        };
        paint(QRect(QPoint(), size));
        table.bteSelected[1] = 1;
        table.lngTotalScore[1] += 5;
        renderer.invalidateOwnHand();
        renderer.invalidateScorePanel();
        paint(scattered);

        const QImage after = fullRepaint(size);
        for (int y = 0; y < window.height(); ++y) {
            for (int x = 0; x < window.width(); ++x) {
                const QPoint at = QPoint(x, y) - offset;
                const QRgb expected = !QRect(QPoint(), size).contains(at) ? outside
                                      : scattered.contains(at)            ? after.pixel(at)
                                                                          : before.pixel(at);
                ASSERT_EQ(Rgb(window.pixel(x, y)), Rgb(expected)) << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace krvo::testing
