// The main window's own frame: caption strip, caption buttons, the two buttons
// of the right column, the vertical splitter bar and the window logo.

#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

#include "art.h"
#include "manifest.h"
#include "painting.h"

namespace krvo::assets {
namespace {

const QColor kWindowBack(250, 250, 250);
constexpr int kCaptionHeight = 33;

// The caption is light so the black title with its pale halo reads well. The
// lines follow whole rows; the shading between them follows `at`, the exact
// row position, so it stays smooth at higher resolutions.
QColor captionRow(int row, qreal at) {
    if (row == 0) return QColor(255, 255, 255);
    if (row >= kCaptionHeight - 2)
        return row == kCaptionHeight - 1 ? QColor(90, 120, 150) : QColor(150, 176, 200);
    return Mix(QColor(232, 242, 250), QColor(176, 204, 230), qBound(0.0, (at - 1) / 29.0, 1.0));
}

QImage captionBackground(int width, int height, int firstRow, int scale) {
    QImage picture = NewPicture(width, height, kWindowBack, scale);
    for (int y = 0; y < picture.height(); ++y) {
        const QRgb colour =
            captionRow(y / scale + firstRow, LayoutPosition(y, scale) + firstRow).rgb();
        for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, colour);
    }
    return picture;
}

void drawGlyph(QPainter& painter, int glyph, const QColor& ink) {
    painter.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    switch (glyph) {
        case 0:
            painter.drawLine(QPointF(6, 14.5), QPointF(15, 14.5));
            break;
        case 1:
            painter.drawRect(QRectF(6, 6, 9, 8.5));
            painter.drawLine(QPointF(6, 7), QPointF(15, 7));
            break;
        case 2:
            painter.drawRect(QRectF(5.5, 8.5, 7.5, 7));
            painter.drawPolyline(
                QPolygonF({QPointF(8.5, 8.5), QPointF(8.5, 5.5), QPointF(15.5, 5.5),
                           QPointF(15.5, 12), QPointF(13, 12)}));
            break;
        default:
            painter.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(6.5, 6.5), QPointF(14.5, 14.5));
            painter.drawLine(QPointF(14.5, 6.5), QPointF(6.5, 14.5));
            break;
    }
}

QImage captionButton(int glyph, bool hover, int scale) {
    // The buttons stand at y = 7 in a caption that starts at y = 2.
    QImage picture = captionBackground(21, 21, 5, scale);
    QPainter painter(&picture);
    Smooth(painter);
    QColor top = QColor(250, 252, 255), bottom = QColor(196, 214, 232), ink = QColor(30, 50, 80);
    if (hover) {
        top = glyph == 3 ? QColor(255, 150, 130) : QColor(140, 200, 255);
        bottom = glyph == 3 ? QColor(200, 30, 20) : QColor(30, 110, 200);
        ink = Qt::white;
    }
    DrawButtonBody(painter, QRectF(0, 0, 21, 21), 4, top, bottom, QColor(70, 100, 140));
    drawGlyph(painter, glyph, ink);
    return picture;
}

QImage columnButton(int index, bool hover, int scale) {
    static const char* kCaptions[] = {"设置", "帮助", "商城"};
    QImage picture = NewPicture(41, 25, kWindowBack, scale);
    QPainter painter(&picture);
    Smooth(painter);
    DrawButtonBody(painter, QRectF(0, 0, 41, 25), 6,
                   hover ? QColor(255, 230, 140) : QColor(236, 244, 252),
                   hover ? QColor(244, 170, 40) : QColor(170, 198, 226),
                   hover ? QColor(140, 80, 0) : QColor(70, 100, 140));
    DrawCentredText(painter, QRectF(0, 0, 41, 24), kCaptions[index], SansFont(12, true),
                    hover ? QColor(90, 40, 0) : QColor(20, 50, 90), QColor(255, 255, 255, 180));
    return picture;
}

// The bar's rounded profile across its 12 columns; `at` is the column
// position, between columns at higher resolutions.
QColor splitterColumn(qreal at, bool middle) {
    static const int kShade[] = {150, 200, 226, 236, 240, 242, 240, 236, 226, 210, 180, 130};
    const qreal x = qBound<qreal>(0, at, 11);
    const int left = qFloor(x), right = qMin(left + 1, 11);
    const int v = qRound(kShade[left] + (kShade[right] - kShade[left]) * (x - left));
    return middle ? QColor(v * 7 / 10, v * 85 / 100, v) : QColor(v, v, qMin(255, v + 8));
}

}  // namespace

QImage DrawCaptionMiddle(const AssetEntry& entry) {
    return captionBackground(12, kCaptionHeight, 0, entry.scale);
}

QImage DrawCaptionEnd(const AssetEntry& entry) {
    QImage picture = NewPicture(15, kCaptionHeight, kWindowBack, entry.scale);
    QImage band = captionBackground(15, kCaptionHeight, 0, entry.scale);
    QPainter painter(&picture);
    Smooth(painter);
    QPainterPath cap;
    cap.addRoundedRect(QRectF(-12, 0, 26.5, kCaptionHeight), 8, 8);
    painter.setPen(QPen(QColor(90, 120, 150), 1));
    painter.setBrush(QBrush(band));
    painter.drawPath(cap);
    return picture;
}

QImage DrawCaptionButtons(const AssetEntry& entry) {
    QImage strip = NewPicture(168, 21, kWindowBack, entry.scale);
    for (int hover = 0; hover < 2; ++hover) {
        for (int glyph = 0; glyph < 4; ++glyph) {
            PlaceImage(strip, captionButton(glyph, hover == 1, entry.scale),
                       glyph * 21 + hover * 84, 0);
        }
    }
    return strip;
}

QImage DrawColumnButtons(const AssetEntry& entry) {
    QImage strip = NewPicture(164, 25, kWindowBack, entry.scale);
    for (int hover = 0; hover < 2; ++hover) {
        for (int index = 0; index < 2; ++index) {
            PlaceImage(strip, columnButton(index, hover == 1, entry.scale), index * 41 + hover * 82,
                       0);
        }
    }
    return strip;
}

QImage DrawShopColumnButton(const AssetEntry& entry) {
    QImage strip = NewPicture(82, 25, kWindowBack, entry.scale);
    for (int hover = 0; hover < 2; ++hover) {
        PlaceImage(strip, columnButton(2, hover == 1, entry.scale), hover * 41, 0);
    }
    return strip;
}

QImage DrawSplitterTile(const AssetEntry& entry) {
    const bool middle = entry.index == 1;
    const int s = entry.scale;
    QImage picture = NewPicture(12, 3, kWindowBack, s);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            QColor colour = splitterColumn(LayoutPosition(x, s), middle);
            if (middle && y / s == 2 && x / s > 2 && x / s < 9) colour = colour.darker(115);
            picture.setPixel(x, y, colour.rgb());
        }
    }
    return picture;
}

QImage DrawSplitterArrow(const AssetEntry& entry) {
    QImage picture = NewPicture(12, 8, kWindowBack, entry.scale);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            picture.setPixel(x, y, splitterColumn(LayoutPosition(x, entry.scale), true).rgb());
        }
    }
    QPainter painter(&picture);
    Smooth(painter);
    painter.setPen(QPen(QColor(10, 40, 90), 0.8));
    painter.setBrush(QColor(30, 80, 160));
    if (entry.index > 0) {
        painter.drawPolygon(QPolygonF({QPointF(4, 0.5), QPointF(9, 4), QPointF(4, 7.5)}));
    } else {
        painter.drawPolygon(QPolygonF({QPointF(8, 0.5), QPointF(3, 4), QPointF(8, 7.5)}));
    }
    return picture;
}

QImage DrawLogo(const AssetEntry& entry) {
    QImage canvas = NewCanvas(24, 24, entry.scale);
    QPainter painter(&canvas);
    Smooth(painter);
    painter.save();
    painter.translate(12, 12);
    painter.rotate(-12);
    painter.setPen(QPen(QColor(40, 40, 60), 1));
    painter.setBrush(QColor(150, 24, 40));
    painter.drawRoundedRect(QRectF(-5, -10, 14, 19), 2.5, 2.5);
    painter.restore();
    painter.save();
    painter.translate(12, 12);
    painter.rotate(10);
    painter.setPen(QPen(QColor(160, 110, 10), 1.2));
    painter.setBrush(QColor(255, 252, 240));
    painter.drawRoundedRect(QRectF(-8, -10.5, 15, 21), 2.5, 2.5);
    DrawSuit(painter, 0, QPointF(-0.5, 1), 11);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 204, 30));
    painter.drawPath(StarPath(3.6, 1.5).translated(3, -6));
    painter.restore();
    return canvas;
}

}  // namespace krvo::assets
