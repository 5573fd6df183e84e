// The table on a surface smaller than its design, shown scaled, and on a
// screen of two device pixels per pixel, drawn at twice the resolution.

#include <QPainter>
#include <random>

#include "render/scaled_picture.h"
#include "render/table_surface.h"
#include "ui/render/table_picture_fixture.h"

namespace krvo::testing {
namespace {

// Smaller by up to half (three pixels under each), much smaller, and larger:
// a picture shown in parts is the picture shown whole, and a plain one stays
// plain, its edge blending into what lies beyond.
TEST(ScaledPicture, PartsJoinWithoutASeam) {
    std::mt19937 random(7);
    QImage picture(97, 61, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, 0xff000000u | random());
    }
    const QRgb beyond = qRgb(8, 105, 165);
    for (const double factor : {0.683, 0.3, 1.5}) {
        SCOPED_TRACE(factor);
        const QSize shown(static_cast<int>(97 * factor) + 2, static_cast<int>(61 * factor) + 2);
        const QImage whole = ScaledPart(picture, factor, QRect(QPoint(), shown), beyond);
        QImage parts(shown, QImage::Format_RGB32);
        for (int y = 0; y < shown.height(); y += 7) {
            for (int x = 0; x < shown.width(); x += 11) {
                const QRect part = QRect(x, y, 11, 7) & QRect(QPoint(), shown);
                QPainter(&parts).drawImage(part.topLeft(),
                                           ScaledPart(picture, factor, part, beyond));
            }
        }
        EXPECT_TRUE(parts == whole);
        // A pixel is the average of the picture under it, each pixel weighted
        // by how much of it lies there (to the rounding of two passes).
        const QPoint at(shown.width() / 2, shown.height() / 3);
        const auto covered = [factor](int result, int pixel) {
            const double from = result / factor;
            const double to = (result + 1) / factor;
            return std::max(0.0, std::min(to, pixel + 1.0) - std::max(from, double(pixel))) *
                   factor;
        };
        double red = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                red += qRed(picture.pixel(x, y)) * covered(at.x(), x) * covered(at.y(), y);
            }
        }
        EXPECT_NEAR(qRed(whole.pixel(at)), red, 2.0);
        QImage plain(picture.size(), QImage::Format_RGB32);
        plain.fill(qRgb(200, 40, 90));
        const QImage plainShown = ScaledPart(plain, factor, QRect(QPoint(), shown), beyond);
        EXPECT_EQ(Rgb(plainShown.pixel(shown.width() / 2, shown.height() / 2)),
                  Rgb(qRgb(200, 40, 90)));
        EXPECT_EQ(Rgb(plainShown.pixel(shown.width() - 1, shown.height() - 1)), Rgb(beyond));
    }
}

// A change on a scaled table repaints the surface's pixels it reaches, rounded
// outwards: they end as a full repaint of the surface draws them.
TEST_F(TablePictureTest, ScaledRepaintsEndAsAFullOne) {
    table.bteMyPai = {0, 5, 13, 20, 27, 33, 40, 46, 51};
    table.bteSelected.assign(table.bteMyPai.size(), 0);
    TableSurface surface;
    surface.resize(786, 530);  // the table's place in a 1024 x 600 window
    renderer.attach(&surface);
    ASSERT_LT(renderer.shownScale(), 1.0);
    const auto paint = [&](QImage& window, const QRegion& area) {
        QPainter painter(&window);
        renderer.paintOn(painter, area);
    };
    QImage window(surface.size(), QImage::Format_RGB32);
    window.fill(qRgb(1, 2, 3));
    paint(window, window.rect());
    const int n = static_cast<int>(table.bteMyPai.size());
    for (const int card : {3, 7}) {
        table.bteSelected[static_cast<std::size_t>(card - 1)] = 1;
        renderer.invalidateToggledCard(static_cast<std::size_t>(card));
        const QRect changed(OwnCardLeft(layout(), n, card),
                            layout().ptHandCards[kBottom].y() - kRaise, lngPkWidth + 3,
                            lngPkHeight + kRaise);
        paint(window, renderer.toSurface(changed));
    }
    QImage full(surface.size(), QImage::Format_RGB32);
    full.fill(qRgb(1, 2, 3));
    paint(full, full.rect());
    EXPECT_TRUE(window == full);
    int undrawn = 0;
    for (int y = 0; y < full.height(); ++y) {
        for (int x = 0; x < full.width(); ++x) undrawn += Rgb(full.pixel(x, y)) == qRgb(1, 2, 3);
    }
    EXPECT_EQ(undrawn, 0) << "the surface is covered to its last pixel";
}

// Pictures drawn at twice the resolution come from their twins; a picture
// without one is doubled, and texts are drawn at the finer resolution. The
// table painted straight into a window of that ratio is its own picture.
TEST_F(TablePictureTest, AtTwiceTheResolutionPicturesComeFromTheirTwins) {
    QTemporaryDir copy;
    const QString from = QString::fromStdString(kAppDir) + "Res/";
    const QString to = copy.path() + "/Res/";
    ASSERT_TRUE(QDir().mkpath(to + "ResPk"));
    for (const QString name : {"ResPk/Pk14.bmp", "ResPk/PkMask.bmp", "PkBack.bmp"}) {
        ASSERT_TRUE(QFile::copy(from + name, to + name));
    }
    // A face whose twin no doubled picture can be: inside the card every other
    // pixel is inverted, as a checkerboard of single device pixels.
    const QImage mask = DoubledPicture(Artwork("Res/ResPk/PkMask.bmp"));
    QImage face = DoubledPicture(Artwork("Res/ResPk/Pk14.bmp"));
    for (int y = 0; y < face.height(); ++y) {
        for (int x = 0; x < face.width(); ++x) {
            if (Rgb(mask.pixel(x, y)) == 0 && (x + y) % 2 == 1) {
                face.setPixel(x, y, face.pixel(x, y) ^ 0xffffffu);
            }
        }
    }
    ASSERT_TRUE(mask.save(to + "ResPk/PkMask@2x.bmp"));
    ASSERT_TRUE(face.save(to + "ResPk/Pk14@2x.bmp"));
    pub.strAppPath = copy.path().toStdString() + "/";
    renderer.reloadPictures();
    table.bteMyPai = {12};  // face 14
    table.bteSelected = {0};
    renderer.setDevicePixelRatio(2.0);
    const QImage& twice = repaint();
    ASSERT_EQ(twice.size(), QSize(2000, 1400));

    const QPoint own = (layout().ptHandCards[kBottom] - QPoint(40, 0)) * 2;
    const QImage back = Artwork("Res/PkBack.bmp");
    const QImage plainMask = Artwork("Res/ResPk/PkMask.bmp");
    const QPoint top(RowLeft(layout().ptHandCards[kTop], 12) + 11 * lngPkSpace,
                     layout().ptHandCards[kTop].y());
    for (const QPoint inside :
         {QPoint(80, 20), QPoint(81, 20), QPoint(11, 180), QPoint(140, 101)}) {
        EXPECT_EQ(Rgb(twice.pixel(own + inside)),
                  Composite(kTableColour, mask.pixel(inside), face.pixel(inside)))
            << "own card at " << inside.x() << "," << inside.y();
        const QPoint plain(inside.x() / 2, inside.y() / 2);
        EXPECT_EQ(Rgb(twice.pixel(top * 2 + inside)),
                  Composite(kTableColour, plainMask.pixel(plain), back.pixel(plain)))
            << "back at " << inside.x() << "," << inside.y();
    }
    // A doubled text would be whole two by two blocks.
    const QRect name(layout().ptUserName[kBottom] * 2, QSize(40, 24));
    bool finer = false;
    for (int y = name.top(); y < name.bottom(); y += 2) {
        for (int x = name.left(); x < name.right(); x += 2) {
            finer = finer || twice.pixel(x, y) != twice.pixel(x + 1, y) ||
                    twice.pixel(x, y) != twice.pixel(x, y + 1);
        }
    }
    EXPECT_TRUE(finer) << "the name is drawn at twice the resolution";

    QImage window(QSize(1020, 740) * 2, QImage::Format_RGB32);
    window.setDevicePixelRatio(2.0);
    window.fill(qRgb(1, 2, 3));
    {
        QPainter painter(&window);
        painter.translate(5, 35);
        renderer.paintOn(painter, QRect(0, 0, 1000, 700));
    }
    EXPECT_TRUE(window.copy(QRect(QPoint(10, 70), twice.size())) == twice);
    EXPECT_EQ(Rgb(window.pixel(9, 69)), Rgb(qRgb(1, 2, 3)));
}

}  // namespace
}  // namespace krvo::testing
