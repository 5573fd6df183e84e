// Transparency as the table composes it: AND the mask, then OR the image. For
// that to leave the table untouched around an element, the mask must be pure
// black and white and the image black wherever the mask is white.

#include <gtest/gtest.h>

#include "asset_paths.h"

namespace krvo::assets {
namespace {

using testing::LoadPicture;

constexpr QRgb kBlack = 0xff000000;
constexpr QRgb kWhite = 0xffffffff;

struct MaskStats {
    int black = 0;
    int white = 0;
    int grey = 0;   // neither: AND would tint the table
    int leaks = 0;  // image not black under a white mask pixel
};

MaskStats checkCell(const QImage& image, int imageX, int imageY, const QImage& mask, int maskX,
                    int maskY, int width, int height) {
    MaskStats stats;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const QRgb m = mask.pixel(maskX + x, maskY + y);
            if (m == kBlack) {
                ++stats.black;
            } else if (m == kWhite) {
                ++stats.white;
                if (image.pixel(imageX + x, imageY + y) != kBlack) ++stats.leaks;
            } else {
                ++stats.grey;
            }
        }
    }
    return stats;
}

TEST(Masks, CardMaskIsACardWithRoundedCornersOnWhite) {
    const QImage mask = LoadPicture("Res\\ResPk\\PkMask.bmp");
    ASSERT_FALSE(mask.isNull());
    for (QPoint corner : {QPoint(0, 0), QPoint(79, 0), QPoint(0, 104), QPoint(79, 104)}) {
        EXPECT_EQ(mask.pixel(corner), kWhite) << corner.x() << "," << corner.y();
    }
    // The card reaches every edge between its corners and is solid inside.
    for (QPoint edge :
         {QPoint(40, 0), QPoint(40, 104), QPoint(0, 52), QPoint(79, 52), QPoint(40, 52)}) {
        EXPECT_EQ(mask.pixel(edge), kBlack) << edge.x() << "," << edge.y();
    }
    for (int y = 8; y < 97; ++y) {
        for (int x = 8; x < 72; ++x) ASSERT_EQ(mask.pixel(x, y), kBlack) << x << "," << y;
    }
}

TEST(Masks, EveryMaskedCellComposesCleanly) {
    for (const AssetEntry& entry : Manifest()) {
        if (entry.maskedCells.empty() && entry.sharedMask.empty()) continue;
        SCOPED_TRACE(entry.name);
        const QImage image = LoadPicture(entry.name);
        ASSERT_FALSE(image.isNull());
        if (!entry.sharedMask.empty()) {
            const QImage mask = LoadPicture(entry.sharedMask);
            ASSERT_EQ(mask.size(), image.size());
            const MaskStats stats =
                checkCell(image, 0, 0, mask, 0, 0, image.width(), image.height());
            EXPECT_EQ(stats.leaks, 0);
            EXPECT_EQ(stats.grey, 0);
        }
        for (const MaskedCell& cell : entry.maskedCells) {
            SCOPED_TRACE("cell at x = " + std::to_string(cell.imageX));
            ASSERT_LE(cell.imageX + cell.width, image.width());
            ASSERT_LE(cell.maskX + cell.width, image.width());
            const MaskStats stats = checkCell(image, cell.imageX, cell.imageY, image, cell.maskX,
                                              cell.maskY, cell.width, cell.height);
            EXPECT_EQ(stats.leaks, 0);
            EXPECT_EQ(stats.grey, 0);
            EXPECT_GT(stats.black, 0) << "the element is invisible";
        }
    }
}

// Elements that stand free on the table have table around them: the corners
// of their masks are white, and something is drawn in the middle.
TEST(Masks, FreeStandingElementsAreSurroundedByTable) {
    struct Cell {
        const char* name;
        int maskX, width, height;
    };
    const Cell cells[] = {
        {"Res\\BuChu.bmp", 67, 67, 34},       {"Res\\Hand.bmp", 80, 80, 35},
        {"Res\\Chat0.bmp", 111, 111, 96},     {"Res\\Chat1.bmp", 111, 111, 96},
        {"Res\\Chat3.bmp", 111, 111, 96},     {"Res\\Clock.bmp", 248, 31, 38},
        {"Res\\UserOutBut.bmp", 366, 61, 28}, {"Res\\UserLiangBut.bmp", 180, 90, 20},
        {"Res\\MsgBut.bmp", 600, 50, 24}};
    for (const Cell& cell : cells) {
        SCOPED_TRACE(cell.name);
        const QImage strip = LoadPicture(cell.name);
        ASSERT_FALSE(strip.isNull());
        EXPECT_EQ(strip.pixel(cell.maskX, 0), kWhite);
        EXPECT_EQ(strip.pixel(cell.maskX + cell.width - 1, cell.height - 1), kWhite);
        EXPECT_EQ(strip.pixel(cell.maskX + cell.width / 2, cell.height / 2), kBlack);
        // The image half is black where the mask's corner is white.
        EXPECT_EQ(strip.pixel(0, 0), kBlack);
    }
}

// The table mirrors the left frame pieces for the right side and tiles the
// edges, so their masks must be solid along the inner side.
TEST(Masks, ResultFrameEdgesAreSolidTowardsTheInside) {
    const QImage frame = LoadPicture("Res\\ModeMsg.bmp");
    ASSERT_FALSE(frame.isNull());
    for (int piece = 2; piece < 5; ++piece) {
        const int maskX = piece * 36 + 18;
        for (int y = 0; y < 28; ++y) {
            for (int x = 0; x < 18; ++x) ASSERT_EQ(frame.pixel(maskX + x, y), kBlack) << piece;
        }
    }
    // The outer corner of the top-left piece is rounded off.
    EXPECT_EQ(frame.pixel(18, 0), kWhite);
    EXPECT_EQ(frame.pixel(36 + 18, 27), kWhite);
}

}  // namespace
}  // namespace krvo::assets
