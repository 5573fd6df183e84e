// Card faces, the card back and their shared mask. Suits: 0 hearts, 1 spades,
// 2 clubs, 3 diamonds; hearts and diamonds are red. Face numbers count from the
// ace of each suit: face 13s is the ace, 13s + 2 .. 13s + 12 are 3 to K, and
// 13s + 14 (which the mapping yields for rank 12) is the 2 of suit s.

#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

#include "art.h"
#include "manifest.h"
#include "painting.h"

namespace krvo::assets {
namespace {

constexpr int kCardWidth = 80;
constexpr int kCardHeight = 105;
constexpr qreal kCornerRadius = 6.0;

// The card shape, decided per device pixel centre so mask and faces agree
// exactly at every scale.
bool insideCard(int x, int y, int scale) {
    const qreal px = (x + 0.5) / scale;
    const qreal py = (y + 0.5) / scale;
    const qreal r = kCornerRadius;
    const qreal cx = px < r ? r : px > kCardWidth - r ? kCardWidth - r : px;
    const qreal cy = py < r ? r : py > kCardHeight - r ? kCardHeight - r : py;
    return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= r * r;
}

// Blackens everything outside the card so AND-then-OR leaves the table there.
QImage cutToCard(const QImage& drawn, int scale) {
    QImage out = drawn.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            if (!insideCard(x, y, scale)) out.setPixel(x, y, qRgb(0, 0, 0));
        }
    }
    return out;
}

struct CardFace {
    int suit = 0;
    QString rank;  // "3" .. "A", "2"
    int pips = 0;  // 2-10 for number cards, 1 for aces, 0 for figures
    bool redAce = false;
};

CardFace decodeFace(int face) {
    static const char* kRanks[] = {"3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K"};
    CardFace card;
    const int column = face % 13;
    if (column == 0) {
        card.suit = face / 13;
        card.rank = "A";
        card.pips = 1;
        card.redAce = card.suit == 0 || card.suit == 3;
    } else if (column == 1) {
        card.suit = face / 13 - 1;
        card.rank = "2";
        card.pips = 2;
    } else {
        card.suit = face / 13;
        card.rank = kRanks[column - 2];
        card.pips = column <= 9 ? column + 1 : 0;
    }
    return card;
}

void drawPaper(QPainter& painter, bool special) {
    const QRectF card(0.5, 0.5, kCardWidth - 1, kCardHeight - 1);
    QLinearGradient paper(0, 0, kCardWidth, kCardHeight);
    paper.setColorAt(0, QColor(255, 255, 252));
    paper.setColorAt(1, special ? QColor(255, 244, 214) : QColor(240, 240, 234));
    painter.setPen(QPen(QColor(120, 120, 120), 1));
    painter.setBrush(paper);
    painter.drawRoundedRect(card, kCornerRadius - 0.5, kCornerRadius - 0.5);
}

void drawIndex(QPainter& painter, const CardFace& card) {
    QFont font = SansFont(card.rank == "10" ? 15 : 18, true);
    if (card.rank == "10") font.setLetterSpacing(QFont::AbsoluteSpacing, -1.5);
    painter.setFont(font);
    painter.setPen(SuitColour(card.suit));
    painter.drawText(QRectF(1, 1, 20, 20), Qt::AlignCenter, card.rank);
    DrawSuit(painter, card.suit, QPointF(11, 28), 12);
}

void drawBothIndexes(QPainter& painter, const CardFace& card) {
    drawIndex(painter, card);
    painter.save();
    painter.translate(kCardWidth, kCardHeight);
    painter.rotate(180);
    drawIndex(painter, card);
    painter.restore();
}

void drawPip(QPainter& painter, int suit, qreal x, qreal y, qreal size) {
    const bool upsideDown = y > kCardHeight / 2.0 + 1;
    painter.save();
    painter.translate(x, y);
    if (upsideDown) painter.rotate(180);
    DrawSuit(painter, suit, QPointF(0, 0), size);
    painter.restore();
}

void drawPips(QPainter& painter, const CardFace& card) {
    // Columns and the row band of the classic pip layouts.
    const qreal left = 29, mid = 40, right = 51, top = 21, bottom = 84;
    auto row = [&](qreal t) { return top + (bottom - top) * t; };
    struct Pip {
        qreal x, t;
    };
    std::vector<Pip> pips;
    auto pair = [&](qreal t) {
        pips.push_back({left, t});
        pips.push_back({right, t});
    };
    switch (card.pips) {
        case 2:
            pips = {{mid, 0}, {mid, 1}};
            break;
        case 3:
            pips = {{mid, 0}, {mid, 0.5}, {mid, 1}};
            break;
        case 4:
            pair(0), pair(1);
            break;
        case 5:
            pair(0), pair(1), pips.push_back({mid, 0.5});
            break;
        case 6:
            pair(0), pair(0.5), pair(1);
            break;
        case 7:
            pair(0), pair(0.5), pair(1), pips.push_back({mid, 0.25});
            break;
        case 8:
            pair(0), pair(0.5), pair(1), pips.push_back({mid, 0.25}), pips.push_back({mid, 0.75});
            break;
        case 9:
            pair(0), pair(1.0 / 3), pair(2.0 / 3), pair(1), pips.push_back({mid, 0.5});
            break;
        default:
            pair(0), pair(1.0 / 3), pair(2.0 / 3), pair(1);
            pips.push_back({mid, 1.0 / 6});
            pips.push_back({mid, 5.0 / 6});
            break;
    }
    const qreal size = card.pips >= 9 ? 13 : 15;
    for (const Pip& pip : pips) drawPip(painter, card.suit, pip.x, row(pip.t), size);
}

void drawCrown(QPainter& painter, const QPointF& at, qreal width, const QColor& colour) {
    QPainterPath crown;
    const qreal h = width * 0.55;
    crown.moveTo(at.x() - width / 2, at.y() + h / 2);
    crown.lineTo(at.x() - width / 2, at.y() - h / 4);
    crown.lineTo(at.x() - width / 4, at.y() + h / 8);
    crown.lineTo(at.x(), at.y() - h / 2);
    crown.lineTo(at.x() + width / 4, at.y() + h / 8);
    crown.lineTo(at.x() + width / 2, at.y() - h / 4);
    crown.lineTo(at.x() + width / 2, at.y() + h / 2);
    crown.closeSubpath();
    painter.setPen(QPen(colour.darker(160), 1));
    painter.setBrush(colour);
    painter.drawPath(crown);
}

void drawFigure(QPainter& painter, const CardFace& card) {
    const QRectF panel(17.5, 12.5, 45, 80);
    const bool red = card.suit == 0 || card.suit == 3;
    QLinearGradient tint(panel.topLeft(), panel.bottomRight());
    tint.setColorAt(0, red ? QColor(255, 236, 214) : QColor(226, 236, 255));
    tint.setColorAt(1, red ? QColor(246, 206, 170) : QColor(190, 206, 240));
    painter.setPen(QPen(SuitColour(card.suit), 1.2));
    painter.setBrush(tint);
    painter.drawRoundedRect(panel, 4, 4);
    painter.setPen(QPen(QColor(200, 160, 40), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(panel.adjusted(2.5, 2.5, -2.5, -2.5), 3, 3);

    const QColor gold(232, 182, 40);
    if (card.rank == "K") drawCrown(painter, QPointF(40, 27), 22, gold);
    if (card.rank == "Q") {
        painter.setPen(QPen(gold.darker(150), 1));
        painter.setBrush(gold);
        painter.drawPath(StarPath(8, 3.5, 8).translated(40, 27));
    }
    if (card.rank == "J") {
        painter.setPen(QPen(gold.darker(150), 1));
        painter.setBrush(gold);
        painter.drawEllipse(QPointF(40, 27), 6, 6);
    }
    DrawCentredText(painter, QRectF(18, 34, 44, 40), card.rank, SerifFont(38, true),
                    SuitColour(card.suit), QColor(0, 0, 0, 60));
    DrawSuit(painter, card.suit, QPointF(40, 81), 13);
}

void drawAce(QPainter& painter, const CardFace& card) {
    if (!card.redAce) {
        painter.setPen(QPen(QColor(180, 180, 190), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPointF(40, 52.5), 24, 24);
        DrawSuit(painter, card.suit, QPointF(40, 53), 36);
        return;
    }
    // The two red aces decide the round: a gold frame, a star and a label.
    const QColor gold(222, 168, 24);
    painter.setPen(QPen(gold, 2.4));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(3.5, 3.5, kCardWidth - 7, kCardHeight - 7), 5, 5);
    QRadialGradient glow(QPointF(40, 48), 30);
    glow.setColorAt(0, QColor(255, 236, 150));
    glow.setColorAt(1, QColor(255, 236, 150, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(QPointF(40, 48), 30, 30);
    DrawSuit(painter, card.suit, QPointF(40, 48), 38);
    painter.setPen(QPen(QColor(150, 100, 0), 0.8));
    painter.setBrush(QColor(255, 214, 40));
    painter.drawPath(StarPath(9, 4).translated(40, 47));
    const QRectF banner(22, 72, 36, 15);
    painter.setPen(QPen(QColor(120, 70, 0), 1));
    painter.setBrush(QColor(206, 20, 32));
    painter.drawRoundedRect(banner, 3, 3);
    DrawCentredText(painter, banner.adjusted(0, -1, 0, 0), "红A", SansFont(12, true),
                    QColor(255, 232, 120));
}

}  // namespace

QImage DrawCardMask(const AssetEntry& entry) {
    QImage mask = NewPicture(kCardWidth, kCardHeight, kMaskWhite, entry.scale);
    for (int y = 0; y < mask.height(); ++y) {
        for (int x = 0; x < mask.width(); ++x) {
            if (insideCard(x, y, entry.scale)) mask.setPixel(x, y, qRgb(0, 0, 0));
        }
    }
    return mask;
}

QImage DrawCardFace(const AssetEntry& entry) {
    const CardFace card = decodeFace(entry.index);
    QImage canvas = NewPicture(kCardWidth, kCardHeight, QColor(120, 120, 120), entry.scale);
    QPainter painter(&canvas);
    Smooth(painter);
    drawPaper(painter, card.redAce);
    if (card.pips == 1) {
        drawAce(painter, card);
    } else if (card.pips > 0) {
        drawPips(painter, card);
    } else {
        drawFigure(painter, card);
    }
    drawBothIndexes(painter, card);
    painter.end();
    return cutToCard(canvas, entry.scale);
}

QImage DrawCardBack(const AssetEntry& entry) {
    QImage canvas = NewPicture(kCardWidth, kCardHeight, QColor(120, 120, 120), entry.scale);
    QPainter painter(&canvas);
    Smooth(painter);
    drawPaper(painter, false);
    const QRectF field(5.5, 5.5, kCardWidth - 11, kCardHeight - 11);
    QLinearGradient shade(field.topLeft(), field.bottomRight());
    shade.setColorAt(0, QColor(170, 30, 46));
    shade.setColorAt(1, QColor(110, 14, 30));
    painter.setPen(QPen(QColor(90, 10, 20), 1));
    painter.setBrush(shade);
    painter.drawRoundedRect(field, 4, 4);
    painter.save();
    painter.setClipRect(field.adjusted(2, 2, -2, -2));
    painter.setPen(QPen(QColor(240, 190, 90, 150), 1));
    for (int k = -120; k < 140; k += 9) {
        painter.drawLine(QPointF(k, 0), QPointF(k + 105, 105));
        painter.drawLine(QPointF(k + 105, 0), QPointF(k, 105));
    }
    painter.restore();
    painter.setPen(QPen(QColor(250, 214, 120), 1.5));
    painter.setBrush(QColor(130, 18, 34));
    painter.drawEllipse(QPointF(40, 52.5), 16, 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(250, 214, 120));
    painter.drawPath(StarPath(11, 4.6).translated(40, 53));
    painter.end();
    return cutToCard(canvas, entry.scale);
}

}  // namespace krvo::assets
