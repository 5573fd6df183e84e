// Clock, countdown bar ends, notices, the result frame, the score panel and the
// message box.

#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

#include "art.h"
#include "manifest.h"
#include "painting.h"

namespace krvo::assets {
namespace {

const QColor kNavy(10, 44, 84);
const QColor kBoxBlue(0, 121, 193);  // the message box clears its countdown with this
const QColor kResultFill(247, 207, 156);
const QColor kWoodDark(96, 52, 20);
const QColor kWoodLight(210, 150, 70);

void fillBarCap(QPainter& painter, const QPainterPath& shape) {
    QLinearGradient shade(0, 0, 0, 15);
    shade.setColorAt(0, QColor(40, 100, 160));
    shade.setColorAt(1, kNavy);
    painter.setPen(QPen(QColor(160, 200, 230), 1));
    painter.setBrush(shade);
    painter.drawPath(shape);
}

QImage clockFace(int tick, int scale) {
    QImage canvas = NewCanvas(31, 38, scale);
    QPainter painter(&canvas);
    Smooth(painter);
    const QPointF centre(15.5, 22.5);
    painter.setPen(QPen(QColor(90, 10, 10), 1));
    painter.setBrush(QColor(220, 40, 40));
    painter.drawEllipse(QPointF(6, 8), 5, 5);
    painter.drawEllipse(QPointF(25, 8), 5, 5);
    painter.setPen(QPen(QColor(60, 60, 60), 2));
    painter.drawLine(QPointF(8, 34), QPointF(5, 37));
    painter.drawLine(QPointF(23, 34), QPointF(26, 37));
    QRadialGradient body(centre - QPointF(3, 3), 16);
    body.setColorAt(0, QColor(255, 110, 100));
    body.setColorAt(1, QColor(170, 20, 20));
    painter.setPen(QPen(QColor(90, 10, 10), 1));
    painter.setBrush(body);
    painter.drawEllipse(centre, 13.5, 13.5);
    painter.setBrush(QColor(255, 252, 236));
    painter.drawEllipse(centre, 10.5, 10.5);
    painter.setPen(QPen(QColor(120, 120, 120), 1));
    for (int h = 0; h < 12; h += 3) {
        const qreal a = h * M_PI / 6;
        painter.drawLine(centre + QPointF(8 * qSin(a), -8 * qCos(a)),
                         centre + QPointF(10 * qSin(a), -10 * qCos(a)));
    }
    const qreal angle = tick * M_PI / 4;
    painter.setPen(QPen(QColor(30, 30, 30), 1.8, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre, centre + QPointF(8.5 * qSin(angle), -8.5 * qCos(angle)));
    painter.setPen(QPen(QColor(200, 20, 20), 1.4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre,
                     centre + QPointF(5.5 * qSin(angle * 0.5 + 1), -5.5 * qCos(angle * 0.5 + 1)));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 30, 30));
    painter.drawEllipse(centre, 1.6, 1.6);
    return canvas;
}

// One frame piece, 18 wide and 28 high: the band runs along the left or top
// (the other pieces are flips), the rest is the box's fill colour.
QImage framePiece(bool alongLeft, bool alongTop, bool roundCorner, int scale) {
    QImage canvas = NewCanvas(18, 28, scale);
    QPainter painter(&canvas);
    Smooth(painter);
    QPainterPath outer;
    if (roundCorner) {
        outer.addRoundedRect(QRectF(0, 0, 40, 60), 9, 9);
    } else {
        outer.addRect(QRectF(alongLeft ? 0 : -10, alongTop ? 0 : -10, 40, 60));
    }
    painter.setClipRect(0, 0, 18, 28);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kWoodDark);
    painter.drawPath(outer);
    QPainterPath inner;
    const qreal l = alongLeft ? 3 : -10, t = alongTop ? 3 : -10;
    inner.addRoundedRect(QRectF(l, t, 40, 60), 7, 7);
    QLinearGradient wood(0, 0, 10, 10);
    wood.setColorAt(0, kWoodLight.lighter(120));
    wood.setColorAt(1, kWoodLight);
    painter.setBrush(wood);
    painter.drawPath(inner);
    QPainterPath fill;
    fill.addRoundedRect(QRectF(alongLeft ? 9 : -10, alongTop ? 9 : -10, 40, 60), 4, 4);
    painter.setBrush(kWoodDark.lighter(140));
    painter.drawPath(fill.translated(-1, -1));
    painter.setBrush(kResultFill);
    painter.drawPath(fill);
    if (roundCorner) {
        painter.setPen(QPen(kWoodDark, 0.8));
        painter.setBrush(QColor(250, 220, 120));
        painter.drawEllipse(QPointF(6, 6), 2.6, 2.6);
    }
    return canvas;
}

QImage flipped(const QImage& image, bool vertical) {
    return image.mirrored(!vertical, vertical);
}

QImage messageButton(const QString& caption, int state, bool warning, int scale) {
    QImage canvas = NewCanvas(50, 24, scale);
    QPainter painter(&canvas);
    Smooth(painter);
    QColor top = warning ? QColor(255, 190, 170) : QColor(250, 250, 240);
    QColor bottom = warning ? QColor(214, 80, 60) : QColor(190, 204, 220);
    QColor text = warning ? QColor(90, 0, 0) : QColor(10, 40, 80);
    if (state == 2) {
        top = QColor(255, 240, 150);
        bottom = QColor(246, 176, 40);
        text = QColor(90, 30, 0);
    }
    if (state == 3) {
        top = QColor(200, 204, 210);
        bottom = QColor(150, 156, 166);
        text = QColor(110, 114, 122);
    }
    DrawButtonBody(painter, QRectF(0, 0, 50, 24), 7, top, bottom, QColor(10, 30, 60));
    DrawCentredText(painter, QRectF(0, 0, 50, 23), caption,
                    SansFont(caption.size() > 2 ? 11 : 13, true), text,
                    state == 3 ? QColor(230, 232, 236) : QColor(255, 255, 255, 170));
    return canvas;
}

// A one-pixel outline along the inside of a rectangle, whole pixels at any
// scale (an aliased pen would straddle the pixel edge at higher ones).
void outlinePixels(QPainter& painter, const QRect& rect, const QColor& colour) {
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), colour);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), colour);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), colour);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), colour);
}

}  // namespace

QImage DrawTimeBarHead(const AssetEntry& entry) {
    QImage canvas = NewCanvas(52, 15, entry.scale);
    QPainter painter(&canvas);
    Smooth(painter);
    QPainterPath cap;
    cap.addRoundedRect(QRectF(0.5, 0.5, 60, 14), 7, 7);
    painter.setClipRect(0, 0, 52, 15);
    fillBarCap(painter, cap);
    painter.setPen(QPen(QColor(255, 230, 120), 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(
        QPolygonF({QPointF(7, 3.5), QPointF(13, 3.5), QPointF(7, 11.5), QPointF(13, 11.5)}));
    DrawCentredText(painter, QRectF(16, 0, 34, 15), "时间", SansFont(11, true),
                    QColor(255, 236, 120));
    painter.end();
    return Flatten(canvas, kTableColour);
}

QImage DrawTimeBarEnd(const AssetEntry& entry) {
    QImage canvas = NewCanvas(8, 15, entry.scale);
    QPainter painter(&canvas);
    Smooth(painter);
    QPainterPath cap;
    cap.addRoundedRect(QRectF(-10, 0.5, 17.5, 14), 7, 7);
    fillBarCap(painter, cap);
    painter.end();
    return Flatten(canvas, kTableColour);
}

QImage DrawClock(const AssetEntry& entry) {
    QImage strip = NewPicture(279, 38, kMaskBlack, entry.scale);
    MaskedLook first = SplitMask(clockFace(0, entry.scale), kTableColour);
    for (int tick = 0; tick < 8; ++tick) {
        const QImage face = SplitMask(clockFace(tick, entry.scale), kTableColour).image;
        PlaceImage(strip, KeepInsideMask(face, first.mask), tick * 31, 0);
    }
    // The hands stay inside the dial, so the shared mask of face 0 fits every face.
    PlaceImage(strip, first.mask, 248, 0);
    return strip;
}

QImage DrawNoticeMiddle(const AssetEntry& entry) {
    const int s = entry.scale;
    QImage picture = NewPicture(6, 51, kNavy, s);
    for (int y = 0; y < picture.height(); ++y) {
        // Edges and lines by whole rows, the paper's shading by exact position.
        const int row = y / s;
        QColor colour = row < 2 || row > 48 ? QColor(120, 80, 30)
                                            : Mix(QColor(255, 250, 226), QColor(240, 220, 170),
                                                  LayoutPosition(y, s) / 50.0);
        if (row == 2 || row == 48) colour = QColor(230, 190, 110);
        for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, colour.rgb());
    }
    return picture;
}

QImage DrawNoticeEnd(const AssetEntry& entry) {
    QImage canvas = NewCanvas(18, 51, entry.scale);
    QPainter painter(&canvas);
    Smooth(painter);
    QLinearGradient rod(0, 0, 18, 0);
    rod.setColorAt(0, kWoodDark);
    rod.setColorAt(0.45, kWoodLight.lighter(130));
    rod.setColorAt(1, kWoodDark);
    painter.setPen(QPen(kWoodDark.darker(130), 1));
    painter.setBrush(rod);
    painter.drawRoundedRect(QRectF(4.5, 4, 9, 43), 3, 3);
    painter.setBrush(QColor(236, 190, 60));
    painter.drawEllipse(QRectF(1.5, 0.5, 15, 8));
    painter.drawEllipse(QRectF(1.5, 42.5, 15, 8));
    painter.end();
    QImage strip = NewPicture(36, 51, kMaskBlack, entry.scale);
    PlaceLook(strip, SplitMask(canvas, kTableColour), 0, 18);
    return strip;
}

QImage DrawResultFrame(const AssetEntry& entry) {
    const QImage topLeft = framePiece(true, true, true, entry.scale);
    const QImage left = framePiece(true, false, false, entry.scale);
    const QImage top = framePiece(false, true, false, entry.scale);
    const QImage pieces[] = {topLeft, flipped(topLeft, true), left, top, flipped(top, true)};
    QImage strip = NewPicture(180, 28, kMaskBlack, entry.scale);
    for (int piece = 0; piece < 5; ++piece) {
        PlaceLook(strip, SplitMask(pieces[piece], kTableColour), piece * 36, piece * 36 + 18);
    }
    return strip;
}

QImage DrawScorePanel(const AssetEntry& entry) {
    QImage canvas = NewCanvas(189, 99, entry.scale);
    QPainter painter(&canvas);
    Smooth(painter);
    QLinearGradient shade(0, 0, 0, 99);
    shade.setColorAt(0, QColor(16, 60, 104));
    shade.setColorAt(1, QColor(4, 30, 60));
    painter.setPen(QPen(QColor(120, 180, 220), 1.5));
    painter.setBrush(shade);
    painter.drawRoundedRect(QRectF(0.75, 0.75, 187.5, 97.5), 8, 8);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 18));
    for (int row = 0; row < 4; row += 2) painter.drawRect(QRectF(4, 24 + row * 19, 181, 19));
    painter.setPen(QPen(QColor(120, 180, 220), 1));
    painter.drawLine(QPointF(6, 22.5), QPointF(183, 22.5));
    painter.drawLine(QPointF(95.5, 6), QPointF(95.5, 94));
    painter.drawLine(QPointF(142.5, 6), QPointF(142.5, 94));
    painter.setFont(SansFont(12, true));
    painter.setPen(QColor(200, 224, 240));
    painter.drawText(QRectF(6, 4, 86, 18), Qt::AlignVCenter | Qt::AlignLeft, "玩 家");
    painter.setPen(QColor(0, 255, 255));
    painter.drawText(QRectF(96, 4, 46, 18), Qt::AlignCenter, "本局");
    painter.setPen(QColor(255, 255, 0));
    painter.drawText(QRectF(143, 4, 44, 18), Qt::AlignCenter, "总分");
    painter.end();
    return Flatten(canvas, kTableColour);
}

QImage DrawMessageBoxBack(const AssetEntry& entry) {
    QImage picture = NewPicture(276, 175, kBoxBlue, entry.scale);
    QPainter painter(&picture);
    Smooth(painter);
    QLinearGradient band(0, 0, 0, 32);
    band.setColorAt(0, QColor(60, 170, 230));
    band.setColorAt(1, QColor(0, 88, 150));
    painter.fillRect(QRect(0, 0, 276, 32), band);
    painter.fillRect(QRect(0, 32, 276, 1), QColor(150, 210, 240));
    painter.setPen(QPen(QColor(10, 50, 100), 1));
    painter.setBrush(QColor(255, 214, 60));
    painter.drawEllipse(QPointF(17, 16), 8, 8);
    DrawCentredText(painter, QRectF(9, 7, 16, 17), "!", SansFont(14, true), QColor(120, 60, 0));
    painter.setFont(SansFont(14, true));
    painter.setPen(QColor(0, 40, 80));
    painter.drawText(QRectF(33, 1, 200, 32), Qt::AlignVCenter, "系统提示");
    painter.setPen(Qt::white);
    painter.drawText(QRectF(32, 0, 200, 32), Qt::AlignVCenter, "系统提示");
    outlinePixels(painter, QRect(0, 0, 276, 175), QColor(0, 40, 80));
    outlinePixels(painter, QRect(1, 1, 274, 173), QColor(120, 200, 240));
    return picture;
}

QImage DrawMessageBoxButtons(const AssetEntry& entry) {
    static const char* kCaptions[] = {"请求离开", "强行退出", "继续游戏", "确定", "取消", "确定"};
    QImage strip = NewPicture(1300, 24, kMaskBlack, entry.scale);
    MaskedLook plain;
    for (int state = 1; state <= 2; ++state) {
        for (int face = 0; face < 6; ++face) {
            plain =
                SplitMask(messageButton(kCaptions[face], state, face == 1, entry.scale), kBoxBlue);
            PlaceImage(strip, KeepInsideMask(plain.image, plain.mask),
                       face * 50 + (state - 1) * 300, 0);
        }
    }
    // Every face shares one rounded shape, so any face's mask serves all.
    PlaceImage(strip, plain.mask, 600, 0);
    // Disabled looks: state 3 of face k lies at 600 + k * 50; face 13 is the
    // ask-to-leave button once no requests are left.
    for (int face = 1; face <= 13; ++face) {
        const QString caption = face == 13 ? kCaptions[0] : face <= 5 ? kCaptions[face] : "";
        QImage disabled = SplitMask(messageButton(caption, 3, false, entry.scale), kBoxBlue).image;
        PlaceImage(strip, KeepInsideMask(disabled, plain.mask), 600 + face * 50, 0);
    }
    return strip;
}

}  // namespace krvo::assets
