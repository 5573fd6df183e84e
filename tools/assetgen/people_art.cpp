// Player icons (portraits varied from the icon number) and the chat faces.

#include <QRadialGradient>
#include <QtMath>

#include "art.h"
#include "manifest.h"
#include "painting.h"

namespace krvo::assets {
namespace {

struct Portrait {
    QColor background, skin, hair, shirt;
    int hairStyle = 0;
    bool glasses = false;
};

Portrait portraitFor(int number) {
    const QColor skins[] = {QColor(250, 214, 180), QColor(236, 190, 150), QColor(200, 150, 110),
                            QColor(255, 226, 200)};
    const QColor hairs[] = {QColor(30, 24, 20), QColor(90, 50, 20),    QColor(150, 90, 40),
                            QColor(60, 60, 70), QColor(200, 200, 205), QColor(120, 30, 30)};
    Portrait p;
    p.background = QColor::fromHsv((number * 47) % 360, 110, 220);
    p.skin = skins[number % 4];
    p.hair = hairs[(number * 5 + number / 6) % 6];
    p.shirt = QColor::fromHsv((number * 83 + 120) % 360, 170, 170);
    p.hairStyle = (number / 2) % 4;
    p.glasses = number % 7 == 3;
    return p;
}

void drawHair(QPainter& painter, const Portrait& p) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(p.hair);
    switch (p.hairStyle) {
        case 0:  // short
            painter.drawChord(QRectF(8, 4, 16, 16), 0, 180 * 16);
            break;
        case 1:  // long
            painter.drawRoundedRect(QRectF(7, 5, 18, 20), 7, 7);
            break;
        case 2:  // bun
            painter.drawEllipse(QPointF(16, 4.5), 4, 3.5);
            painter.drawChord(QRectF(8, 5, 16, 14), 0, 180 * 16);
            break;
        default:  // cap
            painter.setBrush(p.shirt.darker(130));
            painter.drawChord(QRectF(7.5, 4, 17, 14), 0, 180 * 16);
            painter.drawRoundedRect(QRectF(14, 9, 13, 3), 1.5, 1.5);
            break;
    }
}

void drawEyesAndMouth(QPainter& painter, const Portrait& p, int number) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 30, 30));
    painter.drawEllipse(QPointF(13, 15), 1.2, 1.4);
    painter.drawEllipse(QPointF(19, 15), 1.2, 1.4);
    if (p.glasses) {
        painter.setPen(QPen(QColor(30, 30, 40), 0.9));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPointF(13, 15), 2.6, 2.3);
        painter.drawEllipse(QPointF(19, 15), 2.6, 2.3);
        painter.drawLine(QPointF(15.6, 15), QPointF(16.4, 15));
    }
    painter.setPen(QPen(QColor(150, 50, 50), 1, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    if (number % 3 == 0) {
        painter.drawArc(QRectF(13, 16, 6, 4), 200 * 16, 140 * 16);
    } else {
        painter.drawLine(QPointF(14, 19.5), QPointF(18, 19.5));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(240, 130, 130, 90));
    painter.drawEllipse(QPointF(11, 18), 1.6, 1.2);
    painter.drawEllipse(QPointF(21, 18), 1.6, 1.2);
}

void drawSmiley(QPainter& painter, int mood) {
    const bool angry = mood == 5;
    QRadialGradient skin(QPointF(9, 8), 14);
    skin.setColorAt(0, angry ? QColor(255, 150, 120) : QColor(255, 246, 150));
    skin.setColorAt(1, angry ? QColor(220, 50, 30) : QColor(240, 180, 20));
    painter.setPen(QPen(QColor(150, 90, 0), 1));
    painter.setBrush(skin);
    painter.drawEllipse(QPointF(12, 12), 10.5, 10.5);
    const QColor ink(70, 40, 10);
    painter.setPen(QPen(ink, 1.4, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(ink);
    auto eyes = [&]() {
        painter.drawEllipse(QPointF(8.5, 9.5), 1.2, 1.7);
        painter.drawEllipse(QPointF(15.5, 9.5), 1.2, 1.7);
    };
    painter.setBrush(Qt::NoBrush);
    switch (mood) {
        case 1:  // smile
            painter.setBrush(ink), eyes(), painter.setBrush(Qt::NoBrush);
            painter.drawArc(QRectF(7, 9, 10, 8), 200 * 16, 140 * 16);
            break;
        case 2:  // grin
            painter.setBrush(ink), eyes();
            painter.setBrush(Qt::white);
            painter.drawChord(QRectF(6.5, 10, 11, 9), 180 * 16, 180 * 16);
            break;
        case 3:  // wink
            painter.setBrush(ink), painter.drawEllipse(QPointF(8.5, 9.5), 1.2, 1.7);
            painter.drawLine(QPointF(14, 10), QPointF(17, 10));
            painter.setBrush(Qt::NoBrush);
            painter.drawArc(QRectF(7, 9, 10, 8), 200 * 16, 140 * 16);
            break;
        case 4:  // sad
            painter.setBrush(ink), eyes(), painter.setBrush(Qt::NoBrush);
            painter.drawArc(QRectF(7.5, 15, 9, 6), 20 * 16, 140 * 16);
            break;
        case 5:  // angry
            painter.drawLine(QPointF(6, 7), QPointF(10, 9));
            painter.drawLine(QPointF(18, 7), QPointF(14, 9));
            painter.setBrush(ink), eyes();
            painter.drawLine(QPointF(8, 17), QPointF(16, 17));
            break;
        case 6:  // surprised
            painter.setBrush(ink), eyes();
            painter.setBrush(QColor(120, 30, 20));
            painter.drawEllipse(QPointF(12, 16.5), 2.2, 3);
            break;
        case 7:  // cool
            painter.setBrush(QColor(20, 20, 30));
            painter.drawRoundedRect(QRectF(5, 7.5, 6, 4), 1.5, 1.5);
            painter.drawRoundedRect(QRectF(13, 7.5, 6, 4), 1.5, 1.5);
            painter.drawLine(QPointF(11, 9), QPointF(13, 9));
            painter.setBrush(Qt::NoBrush);
            painter.drawArc(QRectF(7, 10, 10, 7), 200 * 16, 140 * 16);
            break;
        case 8:  // cry
            painter.setBrush(ink), eyes();
            painter.setBrush(QColor(90, 180, 255));
            painter.setPen(Qt::NoPen);
            painter.drawEllipse(QPointF(7.5, 14), 1.6, 2.6);
            painter.setPen(QPen(ink, 1.4, Qt::SolidLine, Qt::RoundCap));
            painter.setBrush(Qt::NoBrush);
            painter.drawArc(QRectF(8, 15.5, 8, 5), 20 * 16, 140 * 16);
            break;
        case 9:  // laugh
            painter.drawArc(QRectF(6, 8, 5, 4), 20 * 16, 140 * 16);
            painter.drawArc(QRectF(13, 8, 5, 4), 20 * 16, 140 * 16);
            painter.setBrush(QColor(150, 30, 30));
            painter.drawChord(QRectF(6, 10, 12, 10), 180 * 16, 180 * 16);
            break;
        case 10:  // love
            painter.setPen(Qt::NoPen);
            painter.save(), painter.translate(8.5, 9.5), painter.scale(5, 5);
            painter.setBrush(QColor(230, 30, 60)), painter.drawPath(SuitPath(0)), painter.restore();
            painter.save(), painter.translate(15.5, 9.5), painter.scale(5, 5);
            painter.setBrush(QColor(230, 30, 60)), painter.drawPath(SuitPath(0)), painter.restore();
            painter.setPen(QPen(ink, 1.4, Qt::SolidLine, Qt::RoundCap));
            painter.setBrush(Qt::NoBrush);
            painter.drawArc(QRectF(7, 10, 10, 8), 200 * 16, 140 * 16);
            break;
        case 11:  // sleepy
            painter.drawLine(QPointF(6.5, 10), QPointF(10.5, 10));
            painter.drawLine(QPointF(13.5, 10), QPointF(17.5, 10));
            painter.drawEllipse(QPointF(12, 16.5), 1.5, 1.5);
            painter.setFont(SansFont(7, true));
            painter.setPen(QColor(40, 90, 200));
            painter.drawText(QRectF(15, 0, 9, 8), Qt::AlignCenter, "z");
            break;
        default:  // tongue
            painter.setBrush(ink), eyes(), painter.setBrush(Qt::NoBrush);
            painter.drawLine(QPointF(8, 15), QPointF(16, 15));
            painter.setBrush(QColor(240, 100, 120));
            painter.setPen(QPen(QColor(150, 40, 50), 0.8));
            painter.drawChord(QRectF(10, 12.5, 5, 7), 180 * 16, 180 * 16);
            break;
    }
}

}  // namespace

QImage DrawPlayerIcon(const AssetEntry& entry) {
    const Portrait p = portraitFor(entry.index);
    QImage canvas = NewCanvas(32, 32, entry.scale);
    QPainter painter(&canvas);
    Smooth(painter);
    QRadialGradient back(QPointF(10, 8), 34);
    back.setColorAt(0, p.background.lighter(125));
    back.setColorAt(1, p.background.darker(120));
    painter.setPen(QPen(p.background.darker(170), 1));
    painter.setBrush(back);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 5, 5);
    painter.setClipRect(1, 1, 30, 30);
    if (p.hairStyle == 1) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(p.hair);
        painter.drawRoundedRect(QRectF(7, 6, 18, 22), 6, 6);
    }
    painter.setPen(QPen(p.shirt.darker(150), 1));
    painter.setBrush(p.shirt);
    painter.drawRoundedRect(QRectF(5, 24, 22, 14), 7, 7);
    painter.setPen(QPen(p.skin.darker(140), 0.8));
    painter.setBrush(p.skin);
    painter.drawRect(QRectF(13.5, 20, 5, 5));
    painter.drawEllipse(QRectF(8.5, 6.5, 15, 16));
    drawHair(painter, p);
    drawEyesAndMouth(painter, p, entry.index);
    return canvas;
}

QImage DrawChatFace(const AssetEntry& entry) {
    QImage canvas = NewCanvas(24, 24, entry.scale);
    QPainter painter(&canvas);
    Smooth(painter);
    drawSmiley(painter, entry.index);
    return canvas;
}

}  // namespace krvo::assets
