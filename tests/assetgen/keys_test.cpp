// Colour keys that must survive as exact colours: the bomb frames after JPEG
// decoding, the market window's shape key, and the message box colour the
// countdown is cleared with.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "asset_paths.h"

namespace krvo::assets {
namespace {

using testing::LoadPicture;

int distance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

struct KeyStats {
    int exact = 0;
    int fringe = 0;  // close to the key without being it: painted as a halo
    int figure = 0;
};

KeyStats keyStats(const QImage& image, QRgb key, int fringe) {
    KeyStats stats;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int d = distance(image.pixel(x, y), key);
            if (d == 0) {
                ++stats.exact;
            } else if (d <= fringe) {
                ++stats.fringe;
            } else {
                ++stats.figure;
            }
        }
    }
    return stats;
}

TEST(Keys, BombFramesKeepAnExactKeyAroundTheFigureAfterDecoding) {
    int frames = 0;
    for (const AssetEntry& entry : Manifest()) {
        if (!entry.keyColour) continue;
        SCOPED_TRACE(entry.name);
        ++frames;
        const QImage frame = LoadPicture(entry.name);
        ASSERT_FALSE(frame.isNull());
        const QRgb key = *entry.keyColour;
        // The border of the frame is background in every frame.
        for (int x = 0; x < frame.width(); ++x) {
            ASSERT_EQ(frame.pixel(x, 0), key) << x;
            ASSERT_EQ(frame.pixel(x, frame.height() - 1), key) << x;
        }
        for (int y = 0; y < frame.height(); ++y) {
            ASSERT_EQ(frame.pixel(0, y), key) << y;
            ASSERT_EQ(frame.pixel(frame.width() - 1, y), key) << y;
        }
        const KeyStats stats = keyStats(frame, key, 12);
        EXPECT_EQ(stats.fringe, 0);
        EXPECT_GT(stats.figure, 100);
        EXPECT_GT(stats.exact, frame.width() * 2);
    }
    EXPECT_EQ(frames, 2 * (9 + 15));  // each frame also at twice the resolution
}

TEST(Keys, BlackKeyForExplosionsWhiteForTheBurstOfLight) {
    EXPECT_EQ(LoadPicture("Res\\Bomb\\b1\\Blast001.jpg").pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(LoadPicture("Res\\Bomb\\b2\\Blast001.jpg").pixel(0, 0), qRgb(255, 255, 255));
}

TEST(Keys, MarketWindowShapeHasNoPinkFringe) {
    const QImage market = LoadPicture("DaoJuMaket\\DaoJuMain.bmp");
    ASSERT_FALSE(market.isNull());
    const QRgb key = qRgb(255, 0, 255);
    EXPECT_EQ(market.pixel(0, 0), key);
    EXPECT_EQ(market.pixel(market.width() - 1, market.height() - 1), key);
    EXPECT_NE(market.pixel(market.width() / 2, market.height() / 2), key);
    const KeyStats stats = keyStats(market, key, 60);
    EXPECT_EQ(stats.fringe, 0);
    EXPECT_LT(stats.exact, 400);  // only the rounded corners
}

// The countdown is cleared with RGB(0, 121, 193) in a 16 x 16 square at the
// button row's top, 52, 132 or 212 pixels right of the row's left edge.
TEST(Keys, MessageBoxBackMatchesTheCountdownClearColour) {
    const QImage box = LoadPicture("Res\\MsgForm.bmp");
    ASSERT_FALSE(box.isNull());
    const int width = box.width(), height = box.height();
    struct Place {
        int buttons, offset, raised;
    };
    for (const Place& place :
         {Place{1, 52, 10}, Place{2, 52, 10}, Place{2, 132, 10}, Place{3, 212, 0}}) {
        const int left = width / 2 - (place.buttons * 80 - 30) / 2 + place.offset;
        const int top = height - 34 - place.raised;
        for (int y = top; y < top + 16; ++y) {
            for (int x = left; x < left + 16; ++x) {
                ASSERT_EQ(box.pixel(x, y), qRgb(0, 121, 193))
                    << place.buttons << ": " << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace krvo::assets
