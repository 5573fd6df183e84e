#pragma once
// A picture shown at another size with smooth filtering, a part at a time.
// Each pixel of the result is the average of the picture's pixels under it,
// each weighted by how much of it lies there, and depends on its own place
// alone: parts painted apart, in any order, join without a seam, exactly as
// the whole picture scaled at once.

#include <QImage>
#include <QRect>

namespace krvo {

// Part of the picture shown at `factor` pixels per pixel of the picture:
// pixel (x, y) of the result is pixel (part.x() + x, part.y() + y) of the
// shown picture, whose top-left corner is the picture's. What lies beyond the
// picture shows as `beyond`. picture: 32-bit; the result is Format_RGB32.
QImage ScaledPart(const QImage& picture, double factor, const QRect& part, QRgb beyond);
// The same into rows of 32-bit pixels (`stride` bytes apart) from `into` on.
void ScalePart(const QImage& picture, double factor, const QRect& part, QRgb beyond, uchar* into,
               qsizetype stride);

}  // namespace krvo
