// Every file the client may ask for is on disk under its exact name, decodes,
// and has the size the table code draws it at.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImageReader>

#include <set>

#include "asset_paths.h"

namespace krvo::assets {
namespace {

using testing::LoadBytes;
using testing::LoadPicture;
using testing::PathOf;

QByteArray signatureOf(Format format) {
    switch (format) {
        case Format::Bmp:
            return "BM";
        case Format::Jpeg:
            return QByteArray("\xff\xd8\xff", 3);
        case Format::Ico:
            return QByteArray("\x00\x00\x01\x00", 4);
        case Format::Png:
            return "\x89PNG";
        case Format::Wav:
            return "RIFF";
        case Format::Svg:
            return "<svg";
        case Format::Ini:
            return {};
    }
    return {};
}

TEST(AssetFiles, EveryManifestFileExistsWithItsFormatsSignature) {
    for (const AssetEntry& entry : Manifest()) {
        SCOPED_TRACE(entry.name);
        const QFileInfo info(PathOf(entry));
        ASSERT_TRUE(info.isFile());
        // The exact spelling must exist, not only a case variant of it.
        EXPECT_EQ(info.canonicalFilePath().section('/', -1), info.fileName());
        EXPECT_TRUE(LoadBytes(entry.name).startsWith(signatureOf(entry.format)));
    }
}

TEST(AssetFiles, PicturesDecodeAtTheirExactSize) {
    for (const AssetEntry& entry : Manifest()) {
        if (!IsPicture(entry)) continue;
        SCOPED_TRACE(entry.name);
        const QImage picture = LoadPicture(entry.name);
        ASSERT_FALSE(picture.isNull());
        EXPECT_EQ(picture.width(), entry.width);
        EXPECT_EQ(picture.height(), entry.height);
    }
}

// The lookup matches path components case-insensitively, so two names that
// differ only in case would shadow each other.
TEST(AssetFiles, NoTwoNamesCollideIgnoringCase) {
    std::set<std::string> seen;
    for (const AssetEntry& entry : Manifest()) {
        std::string key = std::to_string(static_cast<int>(entry.root)) + ":" + DiskName(entry);
        for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_TRUE(seen.insert(key).second) << entry.name;
    }
}

// Sizes and cell layouts as the drawing code reads them.
TEST(AssetFiles, SizesMatchWhatTheTableCodeCuts) {
    struct Expected {
        const char* name;
        int width, height;
    };
    const Expected expected[] = {
        {"Res\\ResPk\\PkMask.bmp", 80, 105},     {"Res\\PkBack.bmp", 80, 105},
        {"Res\\GameBackMid.bmp", 300, 230},      {"Res\\BuChu.bmp", 2 * 67, 34},
        {"Res\\Hand.bmp", 2 * 80, 35},           {"Res\\Chat0.bmp", 2 * 111, 96},
        {"Res\\Chat1.bmp", 2 * 111, 96},         {"Res\\Chat3.bmp", 2 * 111, 96},
        {"Res\\MsgBian.bmp", 2 * 18, 51},        {"Res\\Liang1.bmp", 32, 32},
        {"Res\\UserLiang.bmp", 37, 4 * 36},      {"Res\\GameLiang.bmp", 4 * 78, 2 * 36},
        {"Res\\MingCi.bmp", 3 * 48, 46},         {"Res\\UserOptBut.bmp", 4 * 44, 24},
        {"Res\\UserOutBut.bmp", 366 + 61, 28},   {"Res\\UserLiangBut.bmp", 180 + 90, 20},
        {"Res\\Clock.bmp", 248 + 31, 38},        {"Res\\GameScore.bmp", 189, 99},
        {"Res\\MsgForm.bmp", 276, 175},          {"Res\\SysMenu.bmp", 8 * 21, 21},
        {"Res\\UserButton.bmp", 4 * 41, 25},     {"Res\\UserButtonShop.bmp", 2 * 41, 25},
        {"DaoJuMaket\\SysBut.bmp", 4 * 17, 17},  {"DaoJuMaket\\TabBut.bmp", 85, 20},
        {"DaoJuMaket\\BuyButM.bmp", 55, 23},     {"DaoJuMaket\\move1M.bmp", 38, 94},
        {"DaoJuMaket\\MyDaoJuBk.bmp", 79, 81},   {"Res\\Bomb\\b1\\Blast009.jpg", 180, 135},
        {"Res\\Bomb\\b2\\Blast015.jpg", 88, 80}, {"UserRes\\LargeUser\\40.ico", 32, 32},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        const QImage picture = LoadPicture(e.name);
        ASSERT_FALSE(picture.isNull());
        EXPECT_EQ(picture.size(), QSize(e.width, e.height));
    }
    // The disabled ask-to-leave face is face 13 in state 3: x = 13 * 50 + 2 * 300.
    EXPECT_GE(LoadPicture("Res\\MsgBut.bmp").width(), 13 * 50 + 2 * 300 + 50);
    // The market window must hold its regions.
    const QImage market = LoadPicture("DaoJuMaket\\DaoJuMain.bmp");
    EXPECT_GE(market.width(), 727);
    EXPECT_GE(market.height(), 541);
}

// A 2 x 2 block of one colour everywhere is what blowing up the ordinary
// picture would give; drawn afresh, edges and text fall between its pixels.
bool hasDetailFinerThanTwoPixels(const QImage& picture) {
    for (int y = 0; y + 1 < picture.height(); y += 2) {
        for (int x = 0; x + 1 < picture.width(); x += 2) {
            const QRgb p = picture.pixel(x, y);
            if (picture.pixel(x + 1, y) != p || picture.pixel(x, y + 1) != p ||
                picture.pixel(x + 1, y + 1) != p) {
                return true;
            }
        }
    }
    return false;
}

// Each picture of the client has a twin "<name>@2x.<ext>" for screens with two
// pixels for each of the layout's: twice the size, every cell and offset
// doubled (the mask and key tests then check the twin's pixels too).
TEST(AssetFiles, EveryPictureHasATwinDrawnAtTwiceTheResolution) {
    for (const char* name :
         {"Res\\ResPk\\PkMask@2x.bmp", "Res\\Logo@2x.ico", "Res\\Bomb\\b2\\Blast015@2x.jpg",
          "UserRes\\face\\12@2x.png", "DaoJuMaket\\DaoJuMain@2x.bmp"}) {
        EXPECT_NE(FindAsset(name), nullptr) << name;
    }
    int twins = 0;
    for (const AssetEntry& entry : Manifest()) {
        if (!IsPicture(entry) || entry.scale != 1 || entry.root == Root::Icons) continue;
        SCOPED_TRACE(entry.name);
        const AssetEntry* twin = FindAsset(HighScaleName(entry.name));
        ASSERT_NE(twin, nullptr);
        ++twins;
        EXPECT_EQ(twin->root, entry.root);
        EXPECT_EQ(twin->format, entry.format);
        EXPECT_EQ(twin->sharedMask,
                  entry.sharedMask.empty() ? "" : HighScaleName(entry.sharedMask));
        ASSERT_EQ(twin->maskedCells.size(), entry.maskedCells.size());
        for (std::size_t i = 0; i < entry.maskedCells.size(); ++i) {
            const MaskedCell& one = entry.maskedCells[i];
            const MaskedCell& two = twin->maskedCells[i];
            EXPECT_EQ(QRect(two.imageX, two.imageY, two.width, two.height),
                      QRect(2 * one.imageX, 2 * one.imageY, 2 * one.width, 2 * one.height));
            EXPECT_EQ(QPoint(two.maskX, two.maskY), QPoint(2 * one.maskX, 2 * one.maskY));
        }
        const QImage picture = LoadPicture(twin->name);
        ASSERT_EQ(picture.size(), QSize(2 * entry.width, 2 * entry.height));
        EXPECT_TRUE(hasDetailFinerThanTwoPixels(picture));
    }
    EXPECT_GT(twins, 200);
}

// The desktop looks the program's icon up by theme size: a fan of cards
// standing free on transparency, red with the aces.
TEST(AssetFiles, TheProgramIconComesInEveryThemeSize) {
    for (int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
        const std::string box = std::to_string(size) + "x" + std::to_string(size);
        SCOPED_TRACE(box);
        const AssetEntry* icon = FindAsset("hicolor\\" + box + "\\apps\\krvo.png");
        ASSERT_NE(icon, nullptr);
        const QImage picture = QImage(PathOf(*icon)).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(picture.size(), QSize(size, size));
        EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(picture.pixel(size - 1, 0)), 0);
        EXPECT_EQ(qAlpha(picture.pixel(size / 2, size / 2)), 255);
        int red = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QRgb p = picture.pixel(x, y);
                red += qAlpha(p) == 255 && qRed(p) > 140 && qGreen(p) < 60 && qBlue(p) < 70;
            }
        }
        EXPECT_GT(red, size * size / 50);
    }
    EXPECT_NE(FindAsset("hicolor\\scalable\\apps\\krvo.svg"), nullptr);
}

TEST(AssetFiles, NumberedFamiliesAreComplete) {
    for (int frame = 1; frame <= 9; ++frame) {
        EXPECT_NE(FindAsset("Res\\Bomb\\b1\\Blast00" + std::to_string(frame) + ".jpg"), nullptr);
    }
    for (int frame = 1; frame <= 15; ++frame) {
        const std::string number = (frame < 10 ? "0" : "") + std::to_string(frame);
        EXPECT_NE(FindAsset("Res\\Bomb\\b2\\Blast0" + number + ".jpg"), nullptr) << frame;
    }
    for (int icon = 1; icon <= 40; ++icon) {
        EXPECT_NE(FindAsset("UserRes\\LargeUser\\" + std::to_string(icon) + ".ico"), nullptr);
    }
    for (int id = 1; id <= 12; ++id) {
        EXPECT_NE(FindAsset("Res\\DaoJu\\DaoJuInfo_" + std::to_string(id) + ".bmp"), nullptr);
        EXPECT_NE(FindAsset("Res\\DaoJu\\MyDaoJu_" + std::to_string(id) + ".bmp"), nullptr);
    }
    for (const char* sound : {"Start", "Liang", "OutPai", "Pass", "Hong10", "ZhaDan", "Warning",
                              "End", "PangGuanIn", "PangGuanOut", "Public"}) {
        EXPECT_NE(FindAsset(std::string("Res\\Sound\\") + sound + ".wav"), nullptr) << sound;
    }
}

}  // namespace
}  // namespace krvo::assets
