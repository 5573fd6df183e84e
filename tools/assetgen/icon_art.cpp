// The program's icon for the desktop: a fan of three cards, a back behind the
// two red aces, in the colours of the cards on the table. The fan is a list of
// filled and outlined paths in a 256-unit square, so the same shapes make the
// PNG sizes (through a painter) and the SVG (written out as paths). Small
// sizes leave out what would only blur: the index, the star, the lattice.

#include <QPainterPathStroker>
#include <QTransform>

#include <vector>

#include "art.h"
#include "manifest.h"
#include "painting.h"

namespace krvo::assets {
namespace {

constexpr qreal kUnits = 256;  // the design square
const QPointF kPivot(128, 232);
const QRectF kCard(-52, -180, 104, 140);  // around the pivot, before turning
constexpr qreal kCardRadius = 10;

const QColor kPaper(255, 253, 246);
const QColor kPaperEdge(110, 110, 110);
const QColor kGold(222, 168, 24);
const QColor kBackRed(150, 22, 38);

struct Shape {
    QPainterPath path;  // in design units
    QColor fill;        // alpha 0: not filled
    QColor stroke;      // alpha 0: not outlined
    qreal strokeWidth = 0;
};

// What a size can show; `pixels` 0 stands for the scalable drawing.
struct Detail {
    qreal unitsPerPixel = 1;  // strokes never get thinner than about a pixel
    bool frame = true;        // the red aces' gold frame
    bool fine = true;         // index, star, shadows
    bool lattice = true;      // the back's pattern

    explicit Detail(int pixels)
        : unitsPerPixel(pixels > 0 ? kUnits / pixels : 1),
          frame(pixels == 0 || pixels >= 24),
          fine(pixels == 0 || pixels >= 32),
          lattice(pixels == 0 || pixels >= 48) {}

    qreal stroke(qreal width) const { return qMax(width, unitsPerPixel * 0.9); }
};

QPainterPath roundedRect(const QRectF& rect, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QPainterPath suitAt(int suit, const QPointF& centre, qreal height) {
    QTransform place;
    place.translate(centre.x(), centre.y());
    place.scale(height, height);
    return place.map(SuitPath(suit));
}

// The "A" of the index, centred on a point.
QPainterPath letterAt(const QPointF& centre, qreal size) {
    QPainterPath letter;
    letter.addText(0, 0, SansFont(qRound(size), true), "A");
    const QRectF box = letter.boundingRect();
    return letter.translated(centre - box.center());
}

void addCardBack(std::vector<Shape>& shapes, const QTransform& turn, const Detail& detail) {
    const QRectF field = kCard.adjusted(9, 9, -9, -9);
    shapes.push_back(
        {turn.map(roundedRect(field, 6)), kBackRed, QColor(250, 214, 120), detail.stroke(2.5)});
    if (detail.lattice) {
        QPainterPath lines;
        for (qreal k = -260; k < 120; k += 16) {
            lines.moveTo(k, -200), lines.lineTo(k + 160, -40);
            lines.moveTo(k + 160, -200), lines.lineTo(k, -40);
        }
        QPainterPathStroker stroker;
        stroker.setWidth(2.2);
        const QPainterPath inside = roundedRect(field.adjusted(4, 4, -4, -4), 3);
        shapes.push_back({turn.map(stroker.createStroke(lines).intersected(inside)),
                          QColor(240, 190, 90, 170), Qt::transparent});
    }
}

void addRedAce(std::vector<Shape>& shapes, const QTransform& turn, int suit, const Detail& detail) {
    const QColor red = SuitColour(suit);
    if (detail.frame) {
        shapes.push_back({turn.map(roundedRect(kCard.adjusted(8, 8, -8, -8), 6)), Qt::transparent,
                          kGold, detail.stroke(4)});
    }
    // Without the index the suit may fill the card; with it, it keeps clear of it.
    const QPointF middle = kCard.center() + QPointF(0, detail.fine ? 10 : 4);
    shapes.push_back({turn.map(suitAt(suit, middle, detail.fine ? 54 : 76)), red, Qt::transparent});
    if (!detail.fine) return;
    shapes.push_back({turn.map(StarPath(14, 6).translated(middle + QPointF(0, -2))),
                      QColor(255, 214, 40), QColor(150, 100, 0), 1.5});
    const QPointF corner = kCard.topLeft() + QPointF(18, 23);
    shapes.push_back({turn.map(letterAt(corner, 27)), red, Qt::transparent});
    shapes.push_back({turn.map(suitAt(suit, corner + QPointF(0, 24), 15)), red, Qt::transparent});
}

std::vector<Shape> iconShapes(int pixels) {
    const Detail detail(pixels);
    struct Card {
        qreal angle;
        int suit;  // -1: the back
    };
    // The diamonds ace in the middle, the hearts ace on top.
    const Card fan[] = {{-22, -1}, {0, 3}, {22, 0}};
    std::vector<Shape> shapes;
    for (const Card& card : fan) {
        QTransform turn;
        turn.translate(kPivot.x(), kPivot.y());
        turn.rotate(card.angle);
        const QPainterPath outline = turn.map(roundedRect(kCard, kCardRadius));
        if (detail.fine)
            shapes.push_back({outline.translated(3, 4), QColor(0, 0, 0, 60), Qt::transparent});
        shapes.push_back({outline, kPaper, kPaperEdge, detail.stroke(3)});
        if (card.suit < 0) {
            addCardBack(shapes, turn, detail);
        } else {
            addRedAce(shapes, turn, card.suit, detail);
        }
    }
    return shapes;
}

QByteArray svgNumber(qreal value) {
    QByteArray text = QByteArray::number(value, 'f', 2);
    while (text.endsWith('0')) text.chop(1);
    if (text.endsWith('.')) text.chop(1);
    return text == "-0" ? "0" : text;
}

QByteArray svgPoint(const QPointF& point) {
    return svgNumber(point.x()) + ' ' + svgNumber(point.y());
}

QByteArray svgPathData(const QPainterPath& path) {
    QByteArray data;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            if (i > 0) data += "Z";
            data += "M" + svgPoint(e);
        } else if (e.isLineTo()) {
            data += "L" + svgPoint(e);
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            data += "C" + svgPoint(e) + ' ' + svgPoint(path.elementAt(i + 1)) + ' ' +
                    svgPoint(path.elementAt(i + 2));
            i += 2;
        }
    }
    if (!data.isEmpty()) data += "Z";
    return data;
}

QByteArray svgColour(const char* attribute, const QColor& colour) {
    QByteArray text = QByteArray(" ") + attribute + "=\"" + colour.name().toLatin1() + "\"";
    if (colour.alpha() < 255) {
        text += QByteArray(" ") + attribute + "-opacity=\"" + svgNumber(colour.alphaF()) + "\"";
    }
    return text;
}

}  // namespace

QImage DrawAppIcon(const AssetEntry& entry) {
    QImage canvas = NewCanvas(entry.width, entry.height, 1);
    QPainter painter(&canvas);
    Smooth(painter);
    painter.scale(entry.width / kUnits, entry.height / kUnits);
    for (const Shape& shape : iconShapes(entry.width)) {
        painter.setBrush(shape.fill.alpha() > 0 ? QBrush(shape.fill) : QBrush(Qt::NoBrush));
        if (shape.stroke.alpha() > 0) {
            painter.setPen(
                QPen(shape.stroke, shape.strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        } else {
            painter.setPen(Qt::NoPen);
        }
        painter.drawPath(shape.path);
    }
    return canvas;
}

QByteArray WriteAppIconSvg(const AssetEntry&) {
    QByteArray svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
        "viewBox=\"0 0 256 256\">\n";
    for (const Shape& shape : iconShapes(0)) {
        svg += "<path d=\"" + svgPathData(shape.path) + "\"";
        svg += shape.fill.alpha() > 0 ? svgColour("fill", shape.fill) : " fill=\"none\"";
        if (shape.path.fillRule() == Qt::OddEvenFill) svg += " fill-rule=\"evenodd\"";
        if (shape.stroke.alpha() > 0) {
            svg += svgColour("stroke", shape.stroke) + " stroke-width=\"" +
                   svgNumber(shape.strokeWidth) + "\" stroke-linejoin=\"round\"";
        }
        svg += "/>\n";
    }
    svg += "</svg>\n";
    return svg;
}

}  // namespace krvo::assets
