// The Windows face names as this machine draws them once the program's
// substitutions are in: the screen face the build installs, and for text at
// fixed pixels the face its places were laid out with.

#include "services/fonts.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>

#include "support/qt_test_application.h"

namespace krvo {
namespace {

QString drawnIn(const QStringList& families) {
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(12);
    return QFontInfo(font).family();
}

TEST(FontSubstitutions, WindowsNamesAreDrawnInTheScreenFaceAndPixelLayoutsInTheirOwn) {
    testing::EnsureQtApplication();
    InstallFontSubstitutions();
    for (const char* name : {"宋体", "SimSun", "黑体", "SimHei"}) {
        EXPECT_EQ(drawnIn({QString::fromUtf8(name)}), "Noto Sans CJK SC") << name;
    }
    EXPECT_EQ(drawnIn(PixelLayoutFaces()), "AR PL UMing CN");
}

}  // namespace
}  // namespace krvo
