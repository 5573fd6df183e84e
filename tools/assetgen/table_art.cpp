// The table's own pictures: centre, border pieces and the marks around a seat.
// Plainly copied pictures are flattened onto the table colour so they sit on
// the felt without a visible box.

#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

#include "art.h"
#include "manifest.h"
#include "painting.h"

namespace krvo::assets {
namespace {

const QColor kEdgeDark(2, 40, 76);
const QColor kFeltLight(44, 138, 196);
const QColor kGold(240, 196, 64);

// Colour of the border at a distance from the window's edge: `pixel` is the
// whole layout pixel (the light line is one of them), `at` the exact distance,
// so the shading stays smooth at higher resolutions.
QColor edgeColour(int pixel, qreal at) {
    if (pixel >= 8) return kTableColour;
    if (pixel == 5) return QColor(70, 150, 200);
    return Mix(kEdgeDark, kTableColour, qBound<qreal>(0, at, 7) / 7.0);
}

void drawSuitRing(QPainter& painter, const QPointF& centre, qreal rx, qreal ry) {
    static const int kRingSuits[] = {0, 1, 3, 2};
    for (int k = 0; k < 4; ++k) {
        const qreal angle = -M_PI / 2 + k * M_PI / 2;
        const QPointF at(centre.x() + rx * qCos(angle), centre.y() + ry * qSin(angle));
        painter.setPen(QPen(kFeltLight, 1.5));
        painter.setBrush(kTableColour);
        painter.drawEllipse(at, 11, 11);
        painter.save();
        painter.translate(at);
        painter.scale(13, 13);
        painter.setPen(Qt::NoPen);
        painter.setBrush(k % 2 == 0 ? QColor(150, 200, 235) : QColor(120, 175, 220));
        painter.drawPath(SuitPath(kRingSuits[k]));
        painter.restore();
    }
}

QImage seal(const QString& text, const QColor& colour, int size, int scale) {
    QImage canvas = NewCanvas(size, size, scale);
    QPainter painter(&canvas);
    Smooth(painter);
    const QRectF disc(1.5, 1.5, size - 3, size - 3);
    QRadialGradient shade(disc.center() - QPointF(4, 5), size * 0.7);
    shade.setColorAt(0, colour.lighter(150));
    shade.setColorAt(1, colour.darker(130));
    painter.setPen(QPen(QColor(255, 240, 200), 1.5));
    painter.setBrush(shade);
    painter.drawEllipse(disc);
    DrawCentredText(painter, disc.adjusted(0, -1, 0, 0), text, SerifFont(size - 12, true),
                    Qt::white, QColor(0, 0, 0, 140));
    return canvas;
}

QImage bubble(int position, int scale) {
    QImage canvas = NewCanvas(111, 96, scale);
    QPainter painter(&canvas);
    Smooth(painter);
    QRectF body(3.5, 3.5, 104, 64);
    QPainterPath tail;
    switch (position) {
        case 0:  // seat above: the tail points up at the face
            body.translate(0, 22);
            tail.moveTo(22, 28), tail.lineTo(30, 2), tail.lineTo(42, 28);
            break;
        case 1:  // seat to the left, below the bubble's middle
            body = QRectF(14.5, 3.5, 93, 64);
            tail.moveTo(20, 50), tail.lineTo(1, 90), tail.lineTo(38, 64);
            break;
        case 3:  // seat to the right
            body = QRectF(3.5, 3.5, 93, 64);
            tail.moveTo(91, 50), tail.lineTo(110, 90), tail.lineTo(73, 64);
            break;
        default:  // seat below
            tail.moveTo(44, 64), tail.lineTo(55, 93), tail.lineTo(68, 64);
            break;
    }
    QPainterPath shape;
    shape.addRoundedRect(body, 14, 14);
    shape = shape.united(tail);
    painter.setPen(QPen(QColor(60, 60, 70), 1.5));
    QLinearGradient fill(0, body.top(), 0, body.bottom());
    fill.setColorAt(0, QColor(255, 255, 255));
    fill.setColorAt(1, QColor(255, 246, 214));
    painter.setBrush(fill);
    painter.drawPath(shape);
    painter.setFont(SansFont(14, true));
    painter.setPen(QColor(40, 40, 50));
    painter.drawText(body.adjusted(0, 6, 0, -body.height() / 2), Qt::AlignCenter, "我有红桃3");
    painter.setPen(QColor(200, 20, 30));
    painter.drawText(body.adjusted(0, body.height() / 2 - 4, 0, -4), Qt::AlignCenter, "我先出牌！");
    return canvas;
}

}  // namespace

QImage DrawTableCentre(const AssetEntry& entry) {
    QImage picture = NewPicture(300, 230, kTableColour, entry.scale);
    QPainter painter(&picture);
    Smooth(painter);
    const QPointF centre(150, 115);
    QRadialGradient felt(centre, 150);
    felt.setColorAt(0, QColor(22, 124, 184));
    felt.setColorAt(0.85, kTableColour);
    painter.setPen(Qt::NoPen);
    painter.setBrush(felt);
    painter.drawEllipse(centre, 140, 104);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kFeltLight, 2));
    painter.drawEllipse(centre, 128, 96);
    painter.setPen(QPen(QColor(30, 120, 180), 1));
    painter.drawEllipse(centre, 122, 90);
    painter.setPen(QPen(QColor(26, 118, 178), 1, Qt::DashLine));
    painter.drawEllipse(centre, 80, 58);
    drawSuitRing(painter, centre, 128, 96);
    painter.setFont(SerifFont(44, true));
    painter.setPen(QColor(22, 120, 180));
    painter.drawText(QRectF(0, 80, 300, 70), Qt::AlignCenter, "红A");
    return picture;
}

QImage DrawTableSideEdge(const AssetEntry& entry) {
    const int s = entry.scale;
    QImage picture = NewPicture(8, 5, kTableColour, s);
    for (int x = 0; x < picture.width(); ++x) {
        const QRgb colour = edgeColour(7 - x / s, 7 - LayoutPosition(x, s)).rgb();
        for (int y = 0; y < picture.height(); ++y) picture.setPixel(x, y, colour);
    }
    return picture;
}

QImage DrawTableTopEdge(const AssetEntry& entry) {
    const int s = entry.scale;
    QImage picture = NewPicture(5, 8, kTableColour, s);
    for (int y = 0; y < picture.height(); ++y) {
        const QRgb colour = edgeColour(y / s, LayoutPosition(y, s)).rgb();
        for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, colour);
    }
    return picture;
}

QImage DrawTableCorner(const AssetEntry& entry) {
    const int s = entry.scale;
    QImage picture = NewPicture(18, 18, kTableColour, s);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor colour = edgeColour(qMin(y / s, 17 - x / s),
                                             qMin(LayoutPosition(y, s), 17 - LayoutPosition(x, s)));
            picture.setPixel(x, y, colour.rgb());
        }
    }
    QPainter painter(&picture);
    Smooth(painter);
    painter.setPen(QPen(kEdgeDark, 1));
    painter.setBrush(kGold);
    painter.drawEllipse(QPointF(13.5, 4.5), 2.6, 2.6);
    return picture;
}

QImage DrawPassMark(const AssetEntry& entry) {
    QImage canvas = NewCanvas(67, 34, entry.scale);
    QPainter painter(&canvas);
    Smooth(painter);
    DrawButtonBody(painter, QRectF(0, 0, 67, 34), 9, QColor(250, 250, 246), QColor(206, 210, 216),
                   QColor(70, 76, 90));
    DrawCentredText(painter, QRectF(0, 0, 67, 33), "不 出", SansFont(19, true), QColor(60, 66, 80),
                    QColor(255, 255, 255));
    painter.end();
    QImage strip = NewPicture(134, 34, kMaskBlack, entry.scale);
    PlaceLook(strip, SplitMask(canvas, kTableColour), 0, 67);
    return strip;
}

QImage DrawRedAceMark(const AssetEntry& entry) {
    const int suit = entry.index == 1 ? 0 : 3;
    QImage canvas = NewCanvas(32, 32, entry.scale);
    QPainter painter(&canvas);
    Smooth(painter);
    QRectF card(5.5, 1.5, 21, 29);
    painter.setPen(QPen(QColor(200, 150, 20), 1.5));
    painter.setBrush(QColor(255, 252, 240));
    painter.drawRoundedRect(card, 3, 3);
    DrawSuit(painter, suit, QPointF(16, 18), 15);
    painter.setFont(SansFont(10, true));
    painter.setPen(SuitColour(suit));
    painter.drawText(QRectF(7, 2, 10, 11), Qt::AlignCenter, "A");
    painter.setPen(QPen(QColor(140, 90, 0), 0.6));
    painter.setBrush(QColor(255, 214, 40));
    painter.drawPath(StarPath(5.5, 2.3).translated(24, 7));
    painter.end();
    return Flatten(canvas, kTableColour);
}

QImage DrawDeclarationMarks(const AssetEntry& entry) {
    static const char* kMarks[] = {"亮", "揪", "撅", "直"};
    const QColor colours[] = {QColor(214, 40, 40), QColor(226, 120, 20), QColor(140, 60, 190),
                              QColor(30, 150, 80)};
    QImage strip = NewPicture(37, 144, kTableColour, entry.scale);
    for (int k = 0; k < 4; ++k) {
        QImage cell = Flatten(seal(kMarks[k], colours[k], 34, entry.scale), kTableColour);
        QImage framed = NewPicture(37, 36, kTableColour, entry.scale);
        PlaceImage(framed, cell, 1, 1);
        PlaceImage(strip, framed, 0, k * 36);
    }
    return strip;
}

QImage DrawDeclarationPanel(const AssetEntry& entry) {
    static const char* kLabels[] = {"亮红A", "揪", "撅", "直"};
    QImage panel = NewPicture(312, 72, kTableColour, entry.scale);
    QPainter painter(&panel);
    Smooth(painter);
    for (int lit = 0; lit < 2; ++lit) {
        for (int k = 0; k < 4; ++k) {
            const QRectF cell(k * 78 + 1.5, lit * 36 + 2.5, 75, 31);
            if (lit) {
                DrawButtonBody(painter, cell, 8, QColor(255, 214, 90), QColor(222, 140, 20),
                               QColor(120, 70, 0));
            } else {
                DrawButtonBody(painter, cell, 8, QColor(30, 84, 124), QColor(16, 60, 96),
                               QColor(6, 40, 70));
            }
            const QPointF lamp(cell.left() + 14, cell.center().y());
            painter.setPen(QPen(lit ? QColor(150, 60, 0) : QColor(10, 40, 60), 1));
            painter.setBrush(lit ? QColor(255, 60, 40) : QColor(60, 90, 110));
            painter.drawEllipse(lamp, 5, 5);
            DrawCentredText(painter, cell.adjusted(22, 0, -4, -1), kLabels[k],
                            SansFont(k == 0 ? 15 : 18, true),
                            lit ? QColor(110, 20, 0) : QColor(120, 150, 170),
                            lit ? QColor(255, 240, 190) : QColor(0, 0, 0, 0));
        }
    }
    return panel;
}

QImage DrawPlaces(const AssetEntry& entry) {
    const QColor medals[] = {QColor(250, 200, 40), QColor(200, 206, 214), QColor(205, 127, 60)};
    static const char* kNames[] = {"头游", "二游", "三游"};
    QImage strip = NewPicture(144, 46, kTableColour, entry.scale);
    for (int place = 0; place < 3; ++place) {
        QImage canvas = NewCanvas(48, 46, entry.scale);
        QPainter painter(&canvas);
        Smooth(painter);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(200, 30, 40));
        painter.drawPolygon(
            QPolygonF({QPointF(14, 0), QPointF(22, 0), QPointF(26, 14), QPointF(18, 14)}));
        painter.setBrush(QColor(30, 60, 170));
        painter.drawPolygon(
            QPolygonF({QPointF(26, 0), QPointF(34, 0), QPointF(30, 14), QPointF(22, 14)}));
        QRadialGradient shine(QPointF(20, 20), 18);
        shine.setColorAt(0, medals[place].lighter(140));
        shine.setColorAt(1, medals[place].darker(120));
        painter.setPen(QPen(medals[place].darker(170), 1.5));
        painter.setBrush(shine);
        painter.drawEllipse(QPointF(24, 24), 14, 14);
        DrawCentredText(painter, QRectF(10, 10, 28, 28), QString::number(place + 1),
                        SansFont(18, true), medals[place].darker(250), QColor(255, 255, 255, 160));
        painter.setPen(QPen(QColor(0, 30, 60), 1));
        painter.setBrush(QColor(0, 40, 80, 200));
        painter.drawRoundedRect(QRectF(6.5, 33.5, 35, 12), 4, 4);
        DrawCentredText(painter, QRectF(6, 33, 36, 12), kNames[place], SansFont(10, true),
                        QColor(255, 236, 160));
        painter.end();
        PlaceImage(strip, Flatten(canvas, kTableColour), place * 48, 0);
    }
    return strip;
}

QImage DrawReadyMark(const AssetEntry& entry) {
    QImage canvas = NewCanvas(80, 35, entry.scale);
    QPainter painter(&canvas);
    Smooth(painter);
    DrawButtonBody(painter, QRectF(1, 4, 78, 27), 13, QColor(90, 200, 90), QColor(20, 120, 40),
                   QColor(10, 70, 20));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(16, 17.5), 9, 9);
    painter.setPen(QPen(QColor(20, 140, 40), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({QPointF(11.5, 17.5), QPointF(15, 21.5), QPointF(21, 13)}));
    DrawCentredText(painter, QRectF(26, 4, 52, 27), "准备", SansFont(16, true), Qt::white,
                    QColor(0, 60, 0));
    painter.end();
    QImage strip = NewPicture(160, 35, kMaskBlack, entry.scale);
    PlaceLook(strip, SplitMask(canvas, kTableColour), 0, 80);
    return strip;
}

QImage DrawLeadBubble(const AssetEntry& entry) {
    QImage strip = NewPicture(222, 96, kMaskBlack, entry.scale);
    PlaceLook(strip, SplitMask(bubble(entry.index, entry.scale), kTableColour), 0, 111);
    return strip;
}

QImage DrawOfflineMark(const AssetEntry& entry) {
    QImage canvas = NewCanvas(32, 32, entry.scale);
    QPainter painter(&canvas);
    Smooth(painter);
    QRadialGradient shade(QPointF(12, 11), 20);
    shade.setColorAt(0, QColor(255, 120, 110));
    shade.setColorAt(1, QColor(180, 20, 20));
    painter.setPen(QPen(QColor(255, 230, 230), 1.5));
    painter.setBrush(shade);
    painter.drawEllipse(QPointF(16, 16), 14.5, 14.5);
    painter.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(7, 16), QPointF(12, 16));
    painter.drawLine(QPointF(20, 16), QPointF(25, 16));
    painter.setBrush(Qt::white);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(10, 11, 4, 10), 1.5, 1.5);
    painter.drawRoundedRect(QRectF(18, 11, 4, 10), 1.5, 1.5);
    painter.setPen(QPen(QColor(255, 236, 80), 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawPolyline(
        QPolygonF({QPointF(17, 6), QPointF(15, 14), QPointF(17, 18), QPointF(15, 26)}));
    painter.end();
    return Flatten(canvas, kTableColour);
}

}  // namespace krvo::assets
