#include "platform/fonts.h"

#include <QFont>
#include <QStringList>

namespace krvo {

void InstallFontSubstitutions() {
    const QStringList serif{"AR PL UMing CN", "AR PL UMing TW", "WenQuanYi Zen Hei"};
    const QStringList sans{"WenQuanYi Zen Hei", "AR PL UMing CN"};
    QFont::insertSubstitutions(QStringLiteral("宋体"), serif);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), serif);
    QFont::insertSubstitutions(QStringLiteral("黑体"), sans);
    QFont::insertSubstitutions(QStringLiteral("SimHei"), sans);
}

}  // namespace krvo
