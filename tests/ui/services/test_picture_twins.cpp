// Pictures and their twins at twice the resolution, by the program's names.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "services/resources.h"

namespace krvo {
namespace {

TEST(PictureTwins, TheTwinIsNamedBeforeTheExtension) {
    const std::pair<const char*, const char*> names[] = {
        {"Res\\PkBack.bmp", "Res\\PkBack@2x.bmp"},
        {"UserRes\\LargeUser\\1.ico", "UserRes\\LargeUser\\1@2x.ico"},
        {"res.d\\NoExtension", "res.d\\NoExtension@2x"},
    };
    for (const auto& [plain, twin] : names) EXPECT_EQ(TwinName(plain), twin) << plain;
}

// A twin is used only at exactly twice the size, drawn at ratio 2; a screen
// of one device pixel per pixel always gets the plain picture.
TEST(PictureTwins, APairHoldsATwinOfTwiceTheSizeOnly) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/Res"));
    const auto save = [&](const char* name, QSize size) {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::red);
        ASSERT_TRUE(picture.save(dir.path() + "/Res/" + name));
    };
    save("Good.bmp", {10, 6});
    save("Good@2x.bmp", {20, 12});
    save("Odd.bmp", {10, 6});
    save("Odd@2x.bmp", {21, 12});
    save("Alone.bmp", {10, 6});
    const std::string base = dir.path().toStdString();
    const PicturePair good = LoadPicturePair(base, "Res\\Good.bmp");
    EXPECT_EQ(good.at(2.0).size(), QSize(20, 12));
    EXPECT_EQ(good.at(1.5).devicePixelRatio(), 2.0);
    EXPECT_EQ(good.at(1.0).size(), QSize(10, 6));
    EXPECT_EQ(CellOf(good.at(2.0), QRect(3, 1, 4, 2)), QRectF(6, 2, 8, 4));
    for (const char* name : {"Res\\Odd.bmp", "Res\\Alone.bmp"}) {
        const PicturePair pair = LoadPicturePair(base, name);
        EXPECT_TRUE(pair.twice.isNull()) << name;
        EXPECT_EQ(pair.at(2.0).size(), QSize(10, 6)) << name;
    }
}

}  // namespace
}  // namespace krvo
