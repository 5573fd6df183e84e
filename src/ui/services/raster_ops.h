#pragma once
// Bitwise copies of a rectangle of one picture onto another, the way masked
// artwork is composited: AND a mask (black where the shape is, white around it)
// and then OR the face (black around the shape). Works on 32-bit RGB pictures;
// the alpha byte of the destination is left as it was.

#include <QImage>
#include <QPoint>
#include <QRect>

namespace krvo {

enum class RasterOp { Copy, And, Or };

// Combines sourceRect of source with the same-sized rectangle of destination
// whose top-left corner is destinationPoint. The rectangle is clipped to both
// pictures, so any part outside either is skipped; an empty or inverted
// sourceRect copies nothing. A destination that is not 32-bit RGB or ARGB is
// converted to Format_RGB32 first. Source and destination may be one picture.
void RasterCopy(QImage& destination, QPoint destinationPoint, const QImage& source,
                const QRect& sourceRect, RasterOp op);

inline void AndCopy(QImage& destination, QPoint destinationPoint, const QImage& source,
                    const QRect& sourceRect) {
    RasterCopy(destination, destinationPoint, source, sourceRect, RasterOp::And);
}

inline void OrCopy(QImage& destination, QPoint destinationPoint, const QImage& source,
                   const QRect& sourceRect) {
    RasterCopy(destination, destinationPoint, source, sourceRect, RasterOp::Or);
}

// AND the mask at maskOrigin (same size as faceRect), then OR the face.
void MaskedCopy(QImage& destination, QPoint destinationPoint, const QImage& source,
                const QRect& faceRect, QPoint maskOrigin);

}  // namespace krvo
