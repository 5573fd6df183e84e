// Card faces: every card code finds its face, faces are distinct, the red
// suits are red, and the two red aces stand out.

#include <gtest/gtest.h>

#include <set>

#include "asset_paths.h"

namespace krvo::assets {
namespace {

using testing::LoadPicture;

int countPixels(const QImage& image, bool (*match)(QRgb)) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) count += match(image.pixel(x, y)) ? 1 : 0;
    }
    return count;
}

bool isRed(QRgb p) {
    return qRed(p) > 150 && qGreen(p) < 90 && qBlue(p) < 90;
}
bool isGold(QRgb p) {
    return qRed(p) > 200 && qGreen(p) > 140 && qGreen(p) < 230 && qBlue(p) < 90;
}

std::string faceName(int face) {
    return "Res\\ResPk\\Pk" + std::to_string(face) + ".bmp";
}

TEST(Cards, FaceNumbersFollowTheCardCode) {
    EXPECT_EQ(CardFaceNumber(11), 0);
    EXPECT_EQ(CardFaceNumber(63), 0);
    EXPECT_EQ(CardFaceNumber(50), 39);
    EXPECT_EQ(CardFaceNumber(76), 39);
    EXPECT_EQ(CardFaceNumber(0), 2);
    EXPECT_EQ(CardFaceNumber(12), 14);
    EXPECT_EQ(CardFaceNumber(51), 53);
}

TEST(Cards, EveryCodeHasAFaceFileAndOrdinaryCardsLookDifferent) {
    std::set<QByteArray> looks;
    for (int code = 0; code < 52; ++code) {
        SCOPED_TRACE(code);
        const QImage face = LoadPicture(faceName(CardFaceNumber(code)));
        ASSERT_FALSE(face.isNull());
        looks.insert(
            QByteArray(reinterpret_cast<const char*>(face.constBits()), face.sizeInBytes()));
    }
    EXPECT_EQ(looks.size(), 52u);
    EXPECT_FALSE(LoadPicture(faceName(CardFaceNumber(63))).isNull());
    EXPECT_FALSE(LoadPicture(faceName(CardFaceNumber(76))).isNull());
}

TEST(Cards, HeartsAndDiamondsAreRedSpadesAndClubsAreNot) {
    for (int code = 0; code < 52; ++code) {
        if (code % 13 == 12) continue;  // never dealt
        const int suit = code / 13;
        const QImage face = LoadPicture(faceName(CardFaceNumber(code)));
        const int red = countPixels(face, isRed);
        if (suit == 0 || suit == 3) {
            EXPECT_GT(red, 40) << "code " << code;
        } else {
            EXPECT_EQ(red, 0) << "code " << code;
        }
    }
}

TEST(Cards, TheRedAcesAreMarkedAndTheOtherAcesAreNot) {
    const int redAceGold = countPixels(LoadPicture(faceName(CardFaceNumber(63))), isGold);
    const int otherRedAceGold = countPixels(LoadPicture(faceName(CardFaceNumber(76))), isGold);
    const int spadeAceGold = countPixels(LoadPicture(faceName(CardFaceNumber(24))), isGold);
    const int clubAceGold = countPixels(LoadPicture(faceName(CardFaceNumber(37))), isGold);
    EXPECT_GT(redAceGold, 150);
    EXPECT_GT(otherRedAceGold, 150);
    EXPECT_LT(spadeAceGold, 10);
    EXPECT_LT(clubAceGold, 10);
}

TEST(Cards, BackIsNotAFace) {
    const QImage back = LoadPicture("Res\\PkBack.bmp");
    ASSERT_FALSE(back.isNull());
    // A back is dark and patterned: far fewer near-white pixels than any face.
    auto paper = [](QRgb p) { return qRed(p) > 235 && qGreen(p) > 235 && qBlue(p) > 225; };
    EXPECT_LT(countPixels(back, paper), countPixels(LoadPicture(faceName(2)), paper) / 4);
}

}  // namespace
}  // namespace krvo::assets
