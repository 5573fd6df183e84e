#include "services/raster_ops.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <cstdint>
#include <random>

namespace krvo {
namespace {

QImage noise(int width, int height, std::uint32_t seed) {
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image.setPixel(x, y, 0xff000000u | (random() & 0xffffffu));
    }
    return image;
}

// The same combination done by Qt's own raster engine.
QImage byPainter(QImage destination, QPoint at, const QImage& source, const QRect& rect,
                 QPainter::CompositionMode mode) {
    QPainter painter(&destination);
    painter.setCompositionMode(mode);
    painter.drawImage(at, source, rect);
    return destination;
}

TEST(RasterOps, AndAndOrMatchTheRasterEngine) {
    const QImage destination = noise(40, 30, 1);
    const QImage source = noise(25, 20, 2);
    const QRect rect(3, 4, 15, 12);
    const QPoint at(10, 7);

    QImage anded = destination;
    AndCopy(anded, at, source, rect);
    EXPECT_EQ(anded,
              byPainter(destination, at, source, rect, QPainter::RasterOp_SourceAndDestination));

    QImage ored = destination;
    OrCopy(ored, at, source, rect);
    EXPECT_EQ(ored,
              byPainter(destination, at, source, rect, QPainter::RasterOp_SourceOrDestination));

    QImage copied = destination;
    RasterCopy(copied, at, source, rect, RasterOp::Copy);
    EXPECT_EQ(copied, byPainter(destination, at, source, rect, QPainter::CompositionMode_Source));
}

// Every destination pixel is either untouched or ORed with the one source
// pixel that lands on it; checked against plain coordinate arithmetic.
void expectClippedOr(const QImage& before, const QImage& after, const QImage& source,
                     const QRect& rect, QPoint at) {
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            const int sx = rect.x() + (x - at.x());
            const int sy = rect.y() + (y - at.y());
            const bool covered = x >= at.x() && y >= at.y() && x - at.x() < rect.width() &&
                                 y - at.y() < rect.height() && source.rect().contains(sx, sy);
            const QRgb expected =
                covered ? (before.pixel(x, y) | source.pixel(sx, sy)) : before.pixel(x, y);
            ASSERT_EQ(after.pixel(x, y), expected) << "at " << x << "," << y;
        }
    }
}

TEST(RasterOps, ClipsToBothPictures) {
    const QImage destination = noise(20, 16, 3);
    const QImage source = noise(12, 10, 4);
    struct Case {
        QRect rect;
        QPoint at;
    };
    const Case cases[] = {
        {QRect(-4, -3, 10, 8), QPoint(2, 2)},   // source rectangle starts outside the source
        {QRect(0, 0, 12, 10), QPoint(-5, -6)},  // lands partly above and left of the destination
        {QRect(2, 1, 10, 9), QPoint(15, 12)},   // runs past the right and bottom edges
        {QRect(6, 5, 40, 40), QPoint(0, 0)},    // larger than the source
        {QRect(0, 0, 12, 10), QPoint(30, 0)},   // entirely outside the destination
        {QRect(0, 0, 12, 10), QPoint(2147483600, 2147483600)},  // far away: no overflow
    };
    for (const Case& c : cases) {
        QImage after = destination;
        OrCopy(after, c.at, source, c.rect);
        expectClippedOr(destination, after, source, c.rect, c.at);
    }
}

TEST(RasterOps, EmptyInvertedOrNullCopiesNothing) {
    const QImage destination = noise(8, 8, 5);
    const QImage source = noise(8, 8, 6);
    QImage after = destination;
    AndCopy(after, {0, 0}, source, QRect(0, 0, 0, 5));
    AndCopy(after, {0, 0}, source, QRect(4, 4, -3, -3));
    AndCopy(after, {0, 0}, QImage(), QRect(0, 0, 8, 8));
    EXPECT_EQ(after, destination);

    QImage nothing;
    OrCopy(nothing, {0, 0}, source, source.rect());
    EXPECT_TRUE(nothing.isNull());
}

TEST(RasterOps, OverlappingCopyWithinOnePictureReadsTheOriginal) {
    const QImage original = noise(10, 10, 7);
    QImage picture = original;
    OrCopy(picture, {2, 2}, picture, QRect(0, 0, 6, 6));
    expectClippedOr(original, picture, original, QRect(0, 0, 6, 6), {2, 2});
}

TEST(RasterOps, OtherFormatsAndAlpha) {
    // A 24-bit source is read by its colours.
    QImage source(1, 1, QImage::Format_RGB888);
    source.setPixel(0, 0, qRgb(0x11, 0x22, 0x44));
    QImage destination(1, 1, QImage::Format_RGB32);
    destination.setPixel(0, 0, qRgb(0x10, 0x02, 0x40));
    OrCopy(destination, {0, 0}, source, source.rect());
    EXPECT_EQ(destination.pixel(0, 0), qRgb(0x11, 0x22, 0x44));

    // The destination's alpha survives; the source's alpha takes no part.
    QImage argb(1, 1, QImage::Format_ARGB32);
    argb.setPixel(0, 0, qRgba(0xff, 0x0f, 0xf0, 0x80));
    QImage faint(1, 1, QImage::Format_ARGB32);
    faint.setPixel(0, 0, qRgba(0x0f, 0xff, 0x33, 0x00));
    AndCopy(argb, {0, 0}, faint, faint.rect());
    EXPECT_EQ(argb.pixel(0, 0), qRgba(0x0f, 0x0f, 0x30, 0x80));

    // A destination of another depth becomes 32-bit RGB.
    QImage small(2, 2, QImage::Format_RGB16);
    small.fill(Qt::white);
    AndCopy(small, {0, 0}, source, source.rect());
    EXPECT_EQ(small.format(), QImage::Format_RGB32);
    EXPECT_EQ(small.pixel(0, 0), qRgb(0x11, 0x22, 0x44));
    EXPECT_EQ(small.pixel(1, 1), qRgb(0xff, 0xff, 0xff));
}

}  // namespace
}  // namespace krvo
