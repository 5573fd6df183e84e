#include "services/fonts.h"

#include <QFont>

namespace krvo {
namespace {

// Noto Sans CJK is drawn for screens: open strokes and a "，" that is not a
// dot at 9 points. The faces after it are the older ones, kept for machines
// without it.
const QString kScreenFace = QStringLiteral("Noto Sans CJK SC");

}  // namespace

QStringList SongTiSubstitutes() {
    return {kScreenFace, QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"),
            QStringLiteral("WenQuanYi Zen Hei")};
}

QStringList HeiTiSubstitutes() {
    return {kScreenFace, QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("AR PL UMing CN")};
}

QStringList TableFaces(bool heiTi) {
    return {QStringLiteral("WenQuanYi Zen Hei"),
            heiTi ? QStringLiteral("黑体") : QStringLiteral("宋体")};
}

QStringList PixelLayoutFaces() {
    return {QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"),
            QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("宋体")};
}

void InstallFontSubstitutions() {
    const QStringList song = SongTiSubstitutes();
    const QStringList hei = HeiTiSubstitutes();
    QFont::insertSubstitutions(QStringLiteral("宋体"), song);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), song);
    QFont::insertSubstitutions(QStringLiteral("黑体"), hei);
    QFont::insertSubstitutions(QStringLiteral("SimHei"), hei);
}

}  // namespace krvo
