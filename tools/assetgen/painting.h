#pragma once
// Drawing helpers shared by the artwork: fonts, colours, rounded buttons and
// the split of an antialiased drawing into an image and an AND mask.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>

namespace krvo::assets {

inline const QColor kTableColour(8, 105, 165);
inline const QColor kMaskBlack(0, 0, 0);
inline const QColor kMaskWhite(255, 255, 255);

// Sans face for captions and labels; serif face for the figures on cards.
QFont SansFont(int pixelSize, bool bold = false);
QFont SerifFont(int pixelSize, bool bold = false);

// Sizes and coordinates are in layout pixels; `scale` device pixels stand for
// each of them (the picture's device pixel ratio), so a painter on it draws
// the same layout at that resolution and pictures placed into it keep theirs.

// A transparent canvas to draw an element with antialiasing.
QImage NewCanvas(int width, int height, int scale);
// An opaque picture filled with one colour.
QImage NewPicture(int width, int height, const QColor& fill, int scale);

// For drawing pixel by pixel: where the centre of a device pixel lies in the
// layout, counted so that layout pixel n's centre is n (so at scale 1 the
// device pixel itself). Whole-pixel features use the layout pixel
// device / scale instead, so a one-pixel line stays a line of that width.
qreal LayoutPosition(int device, int scale);

// A painter with antialiasing and smooth text on.
void Smooth(QPainter& painter);

// Flattens a canvas onto a colour (for plainly copied pictures), at its scale.
QImage Flatten(const QImage& canvas, const QColor& backdrop);

struct MaskedLook {
    QImage image;  // the element; black wherever the mask is white
    QImage mask;   // black where the element is, white around it
};

// Splits an antialiased canvas: a pixel at least half covered belongs to the
// element and is blended onto the backdrop it will most often stand on.
MaskedLook SplitMask(const QImage& canvas, const QColor& backdrop);

// Blackens the image wherever the mask is white (for looks sharing one mask).
QImage KeepInsideMask(const QImage& image, const QImage& mask);

// Copies a look into a strip picture: its image at imageX, its mask at maskX.
void PlaceLook(QImage& strip, const MaskedLook& look, int imageX, int maskX, int y = 0);
void PlaceImage(QImage& target, const QImage& source, int x, int y);

// A rounded, vertically shaded button body with a one-pixel border.
void DrawButtonBody(QPainter& painter, const QRectF& rect, qreal radius, const QColor& top,
                    const QColor& bottom, const QColor& border);

// Text centred in a rectangle, with an optional one-pixel shadow below right.
void DrawCentredText(QPainter& painter, const QRectF& rect, const QString& text, const QFont& font,
                     const QColor& colour, const QColor& shadow = Qt::transparent);

// Suit symbols: 0 hearts, 1 spades, 2 clubs, 3 diamonds, in a unit box
// centred on the origin (height 1).
QPainterPath SuitPath(int suit);
QColor SuitColour(int suit);
void DrawSuit(QPainter& painter, int suit, const QPointF& centre, qreal height);

// A five-pointed star centred on the origin with the given outer radius.
QPainterPath StarPath(qreal outer, qreal inner, int points = 5);

QColor Mix(const QColor& a, const QColor& b, qreal t);

}  // namespace krvo::assets
