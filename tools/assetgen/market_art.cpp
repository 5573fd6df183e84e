// The props market window: its shaped background and its buttons. The window
// is colour-keyed on RGB(255, 0, 255), so only the area outside its rounded
// outline has that colour.

#include <QLinearGradient>

#include "art.h"
#include "manifest.h"
#include "painting.h"

namespace krvo::assets {
namespace {

const QColor kShapeKey(255, 0, 255);
const QColor kBody(238, 232, 218);
const QColor kFrame(120, 70, 30);
const QColor kAccent(196, 40, 40);

// Places of the regions the market code uses (window coordinates).
constexpr int kCatalogueLeft = 10, kCatalogueTop = 63;
constexpr int kOwnedTop = 447;

void drawTitleBar(QPainter& painter) {
    QLinearGradient bar(0, 0, 0, 33);
    bar.setColorAt(0, QColor(255, 246, 222));
    bar.setColorAt(1, QColor(240, 206, 140));
    painter.setPen(Qt::NoPen);
    painter.setBrush(bar);
    painter.drawRect(QRectF(2, 2, 723, 31));
    painter.setPen(QPen(kFrame, 1));
    painter.drawLine(QPointF(2, 33.5), QPointF(725, 33.5));
    // A shopping bag before the title, which the program prints at (40, 10).
    painter.setPen(QPen(QColor(110, 20, 20), 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(15, 5, 12, 12), 0, 180 * 16);
    painter.setBrush(kAccent);
    painter.drawRoundedRect(QRectF(11, 11, 20, 17), 3, 3);
    painter.setPen(QColor(255, 220, 120));
    painter.setFont(SansFont(10, true));
    painter.drawText(QRectF(11, 12, 20, 16), Qt::AlignCenter, "商");
}

void drawOwnedArea(QPainter& painter) {
    painter.setPen(QPen(kFrame.lighter(130), 1));
    painter.setBrush(QColor(224, 214, 194));
    painter.drawRoundedRect(QRectF(4.5, kOwnedTop - 0.5, 718, 92), 6, 6);
    painter.setFont(SansFont(13, true));
    painter.setPen(kFrame);
    painter.drawText(QRectF(560, 424, 150, 22), Qt::AlignRight | Qt::AlignVCenter, "我的道具");
}

QImage marketButton(int width, int height, const QString& caption, bool hover, int scale) {
    QImage picture = NewPicture(width, height, kBody, scale);
    QPainter painter(&picture);
    Smooth(painter);
    DrawButtonBody(painter, QRectF(0, 0, width, height), 6,
                   hover ? QColor(255, 170, 90) : QColor(240, 110, 60),
                   hover ? QColor(230, 80, 20) : QColor(180, 40, 20), QColor(110, 20, 0));
    DrawCentredText(painter, QRectF(0, 0, width, height - 1), caption, SansFont(13, true),
                    Qt::white, QColor(100, 20, 0));
    return picture;
}

}  // namespace

QImage DrawMarketBack(const AssetEntry& entry) {
    const int width = LayoutWidth(entry), height = LayoutHeight(entry);
    QImage picture = NewPicture(width, height, kShapeKey, entry.scale);
    QPainter painter(&picture);
    // The shape edge is drawn without smoothing: a blended edge pixel would be
    // neither the key nor the frame and would show as a pink fringe.
    painter.setPen(QPen(kFrame, 2));
    painter.setBrush(kBody);
    // Small corners: the close button sits 17 pixels from the right edge at the
    // top, and a larger rounding would cut into it.
    painter.drawRoundedRect(QRect(1, 1, width - 2, height - 2), 5, 5);
    Smooth(painter);
    drawTitleBar(painter);
    painter.setPen(QPen(QColor(200, 186, 160), 1));
    painter.setBrush(QColor(248, 244, 234));
    painter.drawRect(QRectF(kCatalogueLeft - 2.5, kCatalogueTop - 2.5, 571, 350));
    painter.drawRect(QRectF(582.5, 66.5, 136, 343));
    drawOwnedArea(painter);
    return picture;
}

QImage DrawMarketSysButtons(const AssetEntry& entry) {
    QImage strip = NewPicture(68, 17, QColor(248, 226, 180), entry.scale);
    QPainter painter(&strip);
    Smooth(painter);
    for (int hover = 0; hover < 2; ++hover) {
        for (int index = 0; index < 2; ++index) {
            const QRectF cell(hover * 34 + index * 17, 0, 17, 17);
            const QColor top = hover ? (index ? QColor(255, 140, 120) : QColor(150, 200, 255))
                                     : QColor(255, 250, 236);
            const QColor bottom = hover ? (index ? QColor(200, 30, 20) : QColor(40, 110, 200))
                                        : QColor(220, 190, 140);
            DrawButtonBody(painter, cell, 3, top, bottom, kFrame);
            painter.setPen(QPen(hover ? Qt::white : kFrame, 1.6, Qt::SolidLine, Qt::RoundCap));
            const QPointF c = cell.center();
            if (index == 0) {
                painter.drawLine(c + QPointF(-4, 3.5), c + QPointF(4, 3.5));
            } else {
                painter.drawLine(c + QPointF(-3.5, -3.5), c + QPointF(3.5, 3.5));
                painter.drawLine(c + QPointF(3.5, -3.5), c + QPointF(-3.5, 3.5));
            }
        }
    }
    return strip;
}

QImage DrawMarketTab(const AssetEntry& entry) {
    const bool selected = entry.index == 1;
    QImage picture = NewPicture(85, 20, kBody, entry.scale);
    QPainter painter(&picture);
    Smooth(painter);
    QPainterPath tab;
    tab.addRoundedRect(QRectF(0.5, 0.5, 84, 28), 6, 6);
    QLinearGradient shade(0, 0, 0, 20);
    shade.setColorAt(0, selected ? QColor(255, 255, 250) : QColor(226, 214, 190));
    shade.setColorAt(1, selected ? QColor(255, 236, 180) : QColor(200, 184, 156));
    painter.setPen(QPen(kFrame, 1));
    painter.setBrush(shade);
    painter.setClipRect(0, 0, 85, 20);
    painter.drawPath(tab);
    if (selected) painter.fillRect(QRectF(6, 1, 73, 2), kAccent);
    return picture;
}

QImage DrawMarketBuyButton(const AssetEntry& entry) {
    return marketButton(55, 23, "购 买", entry.index == 1, entry.scale);
}

QImage DrawMarketScrollButton(const AssetEntry& entry) {
    const bool forward = entry.index % 2 == 1;
    const bool hover = entry.index >= 2;
    QImage picture = NewPicture(38, 94, QColor(224, 214, 194), entry.scale);
    QPainter painter(&picture);
    Smooth(painter);
    DrawButtonBody(painter, QRectF(2, 4, 34, 84), 8,
                   hover ? QColor(255, 220, 140) : QColor(250, 244, 230),
                   hover ? QColor(236, 160, 40) : QColor(210, 196, 168), kFrame);
    painter.setPen(QPen(kFrame.darker(120), 1));
    painter.setBrush(hover ? kAccent : kFrame);
    const qreal tip = forward ? 27 : 11, base = forward ? 13 : 25;
    painter.drawPolygon(QPolygonF({QPointF(base, 34), QPointF(tip, 46), QPointF(base, 58)}));
    // The buttons reach the window's bottom edge (447 + 94 = 541) and the
    // forward one its right edge: they carry the frame line on across them.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(0, 92, 38, 2), kFrame);
    if (forward) painter.fillRect(QRect(37, 0, 1, 94), kFrame);
    return picture;
}

QImage DrawMarketCatalogueBack(const AssetEntry& entry) {
    const int width = LayoutWidth(entry), height = LayoutHeight(entry);
    QImage picture = NewPicture(width, height, QColor(248, 244, 234), entry.scale);
    QPainter painter(&picture);
    Smooth(painter);
    for (int cell = 0; cell < 4; ++cell) {
        // Cell origins in the window are (15 + 279 * column, 68 + 159 * row).
        const QRectF panel(2.5 + 279 * (cell % 2), 2.5 + 159 * (cell / 2), 276, 154);
        QLinearGradient shade(panel.topLeft(), panel.bottomLeft());
        shade.setColorAt(0, QColor(255, 253, 246));
        shade.setColorAt(1, QColor(240, 230, 210));
        painter.setPen(QPen(QColor(190, 170, 140), 1));
        painter.setBrush(shade);
        painter.drawRoundedRect(panel, 6, 6);
        painter.setPen(QPen(QColor(220, 206, 180), 1));
        painter.drawLine(panel.topLeft() + QPointF(121, 8), panel.bottomLeft() + QPointF(121, -8));
    }
    painter.setPen(QPen(QColor(190, 170, 140), 1));
    painter.setBrush(QColor(236, 226, 204));
    painter.drawRoundedRect(QRectF(2.5, 318.5, width - 5, 24), 5, 5);
    return picture;
}

}  // namespace krvo::assets
