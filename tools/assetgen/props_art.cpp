// Pictures of the props: one small drawing per prop ID in a 100 x 100 design
// space, framed for the catalogue (112 x 112) and the owned strip (79 x 81).

#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

#include "art.h"
#include "manifest.h"
#include "painting.h"

namespace krvo::assets {
namespace {

const QColor kOutline(60, 40, 30);

void pen(QPainter& p, const QColor& colour, qreal width = 2) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void flower(QPainter& p) {
    pen(p, QColor(30, 110, 40), 4);
    p.drawLine(QPointF(50, 50), QPointF(50, 90));
    p.setBrush(QColor(60, 170, 70));
    pen(p, QColor(30, 110, 40), 1.5);
    p.drawEllipse(QRectF(52, 66, 20, 10));
    for (int i = 0; i < 6; ++i) {
        const qreal a = i * M_PI / 3;
        p.setBrush(QColor(240, 70, 110));
        pen(p, QColor(160, 20, 60), 1.5);
        p.drawEllipse(QPointF(50 + 14 * qCos(a), 36 + 14 * qSin(a)), 11, 11);
    }
    p.setBrush(QColor(255, 210, 50));
    p.drawEllipse(QPointF(50, 36), 9, 9);
}

void egg(QPainter& p) {
    QRadialGradient shell(QPointF(42, 40), 40);
    shell.setColorAt(0, QColor(255, 250, 236));
    shell.setColorAt(1, QColor(220, 196, 160));
    pen(p, kOutline, 2);
    p.setBrush(shell);
    QPainterPath path;
    path.moveTo(50, 12);
    path.cubicTo(74, 12, 82, 60, 76, 74);
    path.cubicTo(70, 90, 30, 90, 24, 74);
    path.cubicTo(18, 60, 26, 12, 50, 12);
    p.drawPath(path);
    pen(p, QColor(140, 110, 80), 1.5);
    p.drawPolyline(QPolygonF({QPointF(30, 52), QPointF(38, 46), QPointF(44, 54), QPointF(52, 46),
                              QPointF(60, 54), QPointF(70, 48)}));
}

void envelope(QPainter& p) {
    pen(p, QColor(120, 10, 10), 2);
    p.setBrush(QColor(214, 30, 36));
    p.drawRoundedRect(QRectF(22, 12, 56, 78), 6, 6);
    p.setBrush(QColor(180, 20, 26));
    QPainterPath flap;
    flap.moveTo(22, 20);
    flap.quadTo(50, 48, 78, 20);
    flap.lineTo(78, 18), flap.quadTo(50, 8, 22, 18);
    p.drawPath(flap);
    p.setBrush(QColor(250, 200, 60));
    pen(p, QColor(160, 110, 0), 1.5);
    p.drawEllipse(QPointF(50, 40), 10, 10);
    DrawCentredText(p, QRectF(22, 54, 56, 30), "福", SerifFont(26, true), QColor(250, 210, 80));
}

void applause(QPainter& p) {
    for (int side = 0; side < 2; ++side) {
        p.save();
        p.translate(side ? 60 : 40, 56);
        p.rotate(side ? 18 : -18);
        pen(p, kOutline, 2);
        p.setBrush(QColor(250, 206, 160));
        p.drawRoundedRect(QRectF(-13, -28, 26, 44), 12, 12);
        p.restore();
    }
    pen(p, QColor(240, 170, 0), 3);
    p.drawLine(QPointF(30, 14), QPointF(24, 6));
    p.drawLine(QPointF(50, 12), QPointF(50, 3));
    p.drawLine(QPointF(70, 14), QPointF(76, 6));
}

void firework(QPainter& p) {
    const QColor colours[] = {QColor(255, 80, 80), QColor(255, 210, 40), QColor(80, 200, 255),
                              QColor(140, 240, 100)};
    for (int i = 0; i < 16; ++i) {
        const qreal a = i * M_PI / 8;
        pen(p, colours[i % 4], 3);
        p.drawLine(QPointF(50 + 10 * qCos(a), 42 + 10 * qSin(a)),
                   QPointF(50 + 34 * qCos(a), 42 + 34 * qSin(a)));
        p.setBrush(colours[(i + 1) % 4]);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(50 + 38 * qCos(a), 42 + 38 * qSin(a)), 3, 3);
    }
    pen(p, QColor(120, 60, 20), 3);
    p.drawLine(QPointF(50, 96), QPointF(50, 80));
}

void tea(QPainter& p) {
    pen(p, QColor(80, 120, 100), 2);
    p.setBrush(QColor(236, 246, 240));
    p.drawEllipse(QRectF(14, 72, 72, 16));
    QPainterPath cup;
    cup.moveTo(24, 40);
    cup.lineTo(76, 40);
    cup.cubicTo(76, 70, 66, 80, 50, 80);
    cup.cubicTo(34, 80, 24, 70, 24, 40);
    p.setBrush(QColor(250, 252, 248));
    p.drawPath(cup);
    p.setBrush(QColor(150, 180, 60));
    p.drawEllipse(QRectF(26, 36, 48, 9));
    pen(p, QColor(60, 130, 90), 3);
    p.drawArc(QRectF(70, 46, 16, 18), -90 * 16, 180 * 16);
    pen(p, QColor(180, 190, 200), 2);
    for (int i = 0; i < 3; ++i) {
        QPainterPath steam;
        steam.moveTo(38 + i * 12, 30);
        steam.cubicTo(32 + i * 12, 22, 44 + i * 12, 18, 38 + i * 12, 8);
        p.setBrush(Qt::NoBrush);
        p.drawPath(steam);
    }
}

void luckyStar(QPainter& p) {
    QRadialGradient gold(QPointF(44, 40), 44);
    gold.setColorAt(0, QColor(255, 246, 150));
    gold.setColorAt(1, QColor(240, 170, 10));
    pen(p, QColor(150, 90, 0), 2);
    p.setBrush(gold);
    p.drawPath(StarPath(42, 18).translated(50, 54));
    p.setBrush(QColor(90, 50, 0));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(43, 52), 3, 4);
    p.drawEllipse(QPointF(57, 52), 3, 4);
    pen(p, QColor(90, 50, 0), 2);
    p.drawArc(QRectF(42, 54, 16, 12), -20 * 16, -140 * 16);
}

void goldFrame(QPainter& p) {
    QLinearGradient gold(0, 0, 100, 100);
    gold.setColorAt(0, QColor(255, 236, 130));
    gold.setColorAt(0.5, QColor(220, 160, 20));
    gold.setColorAt(1, QColor(255, 220, 90));
    pen(p, QColor(130, 80, 0), 2);
    p.setBrush(gold);
    p.drawRoundedRect(QRectF(12, 12, 76, 76), 10, 10);
    p.setBrush(QColor(70, 130, 190));
    p.drawRoundedRect(QRectF(24, 24, 52, 52), 5, 5);
    p.setBrush(QColor(250, 220, 180));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(50, 44), 11, 11);
    p.drawChord(QRectF(30, 58, 40, 36), 0, 180 * 16);
}

void luckyCat(QPainter& p) {
    pen(p, kOutline, 2);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(24, 30), QPointF(30, 8), QPointF(44, 24)}));
    p.drawPolygon(QPolygonF({QPointF(76, 30), QPointF(70, 8), QPointF(56, 24)}));
    p.drawEllipse(QRectF(20, 18, 60, 50));
    p.drawRoundedRect(QRectF(26, 60, 48, 34), 14, 14);
    p.setBrush(QColor(230, 40, 40));
    p.drawRoundedRect(QRectF(30, 60, 40, 6), 3, 3);
    p.setBrush(QColor(250, 200, 40));
    p.drawEllipse(QPointF(50, 72), 6, 6);
    p.setBrush(QColor(40, 40, 40));
    p.drawArc(QRectF(32, 38, 12, 8), 0, 180 * 16);
    p.drawArc(QRectF(56, 38, 12, 8), 0, 180 * 16);
    p.setBrush(QColor(240, 120, 140));
    p.drawEllipse(QPointF(50, 50), 3, 2.5);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(72, 30, 14, 30), 7, 7);
}

void charm(QPainter& p) {
    pen(p, QColor(150, 100, 0), 2);
    p.drawLine(QPointF(50, 4), QPointF(50, 16));
    p.setBrush(QColor(220, 30, 30));
    QPainterPath bag;
    bag.moveTo(34, 16);
    bag.lineTo(66, 16);
    bag.lineTo(74, 86);
    bag.lineTo(26, 86);
    bag.closeSubpath();
    p.drawPath(bag);
    p.setBrush(QColor(250, 210, 80));
    p.drawRoundedRect(QRectF(34, 34, 32, 36), 4, 4);
    DrawCentredText(p, QRectF(34, 34, 32, 36), "安", SerifFont(24, true), QColor(180, 20, 20));
    pen(p, QColor(250, 210, 80), 3);
    p.drawLine(QPointF(44, 86), QPointF(42, 98));
    p.drawLine(QPointF(56, 86), QPointF(58, 98));
}

void horn(QPainter& p) {
    pen(p, QColor(90, 60, 0), 2);
    QLinearGradient brass(0, 30, 0, 80);
    brass.setColorAt(0, QColor(255, 230, 120));
    brass.setColorAt(1, QColor(200, 140, 20));
    p.setBrush(brass);
    QPainterPath path;
    path.moveTo(18, 44);
    path.lineTo(36, 44);
    path.lineTo(80, 20);
    path.lineTo(80, 84);
    path.lineTo(36, 60);
    path.lineTo(18, 60);
    path.closeSubpath();
    p.drawPath(path);
    p.setBrush(QColor(230, 60, 50));
    p.drawEllipse(QRectF(74, 20, 12, 64));
    pen(p, QColor(80, 160, 230), 3);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(84, 34, 12, 36), -60 * 16, 120 * 16);
}

void trophy(QPainter& p) {
    QLinearGradient gold(20, 0, 80, 0);
    gold.setColorAt(0, QColor(220, 150, 10));
    gold.setColorAt(0.4, QColor(255, 240, 140));
    gold.setColorAt(1, QColor(210, 140, 10));
    pen(p, QColor(130, 80, 0), 2);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(12, 18, 24, 28), 90 * 16, 180 * 16);
    p.drawArc(QRectF(64, 18, 24, 28), -90 * 16, 180 * 16);
    p.setBrush(gold);
    QPainterPath cup;
    cup.moveTo(26, 12);
    cup.lineTo(74, 12);
    cup.cubicTo(74, 50, 62, 60, 50, 60);
    cup.cubicTo(38, 60, 26, 50, 26, 12);
    p.drawPath(cup);
    p.drawRect(QRectF(45, 60, 10, 14));
    p.drawRoundedRect(QRectF(30, 74, 40, 14), 3, 3);
    DrawCentredText(p, QRectF(26, 14, 48, 36), "1", SansFont(26, true), QColor(150, 90, 0));
}

void unknown(QPainter& p) {
    pen(p, QColor(100, 100, 110), 2);
    p.setBrush(QColor(220, 222, 228));
    p.drawRoundedRect(QRectF(18, 18, 64, 64), 10, 10);
    DrawCentredText(p, QRectF(18, 16, 64, 64), "?", SansFont(46, true), QColor(110, 110, 130));
}

void drawIcon(QPainter& p, int id) {
    using Drawer = void (*)(QPainter&);
    static const Drawer kDrawers[] = {flower,    egg,       envelope, applause, firework, tea,
                                      luckyStar, goldFrame, luckyCat, charm,    horn,     trophy};
    if (id >= 1 && id <= kPropCount) {
        kDrawers[id - 1](p);
    } else {
        unknown(p);
    }
}

void drawTile(QPainter& p, const QRectF& rect, bool empty) {
    QLinearGradient back(rect.topLeft(), rect.bottomRight());
    back.setColorAt(0, empty ? QColor(226, 222, 214) : QColor(255, 252, 240));
    back.setColorAt(1, empty ? QColor(196, 190, 180) : QColor(232, 220, 196));
    p.setPen(QPen(QColor(150, 130, 100), 1));
    p.setBrush(back);
    p.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
}

}  // namespace

QImage DrawPropPicture(const AssetEntry& entry) {
    QImage picture = NewPicture(112, 112, QColor(240, 236, 226), entry.scale);
    QPainter painter(&picture);
    Smooth(painter);
    drawTile(painter, QRectF(0, 0, 112, 112), false);
    painter.translate(6, 6);
    painter.scale(1.0, 1.0);
    drawIcon(painter, entry.index);
    return picture;
}

QImage DrawOwnedPropPicture(const AssetEntry& entry) {
    // The corners outside the tile match the owned strip the picture stands on.
    QImage picture = NewPicture(79, 81, QColor(224, 214, 194), entry.scale);
    QPainter painter(&picture);
    Smooth(painter);
    const bool empty = entry.index < 0;
    drawTile(painter, QRectF(0, 0, 79, 81), empty);
    if (empty) {
        painter.setPen(QPen(QColor(170, 164, 150), 1.5, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(9.5, 9.5, 60, 62), 6, 6);
        return picture;
    }
    painter.translate(7, 8);
    painter.scale(0.65, 0.65);
    drawIcon(painter, entry.index);
    return picture;
}

}  // namespace krvo::assets
