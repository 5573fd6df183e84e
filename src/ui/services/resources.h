#pragma once
// Pictures loaded by the program's relative names (see core/resource_path.h).

#include <QImage>
#include <QRect>
#include <string>
#include <string_view>

#include "core/resource_path.h"

namespace krvo {

// The picture, or a null image when the file is missing or unreadable.
QImage LoadPicture(std::string_view base, std::string_view relativeName);

// "Res\\PkBack.bmp" -> "Res\\PkBack@2x.bmp": the file of a picture's twin at
// twice the resolution, with the same layout in pixels of the screen.
std::string TwinName(std::string_view relativeName);

// A picture and its twin, for screens of more than one device pixel per pixel.
struct PicturePair {
    QImage plain;
    // Exactly twice the size, at device pixel ratio 2; null without a twin.
    QImage twice;
    // The one to draw on a device of `ratio` device pixels per pixel.
    const QImage& at(qreal ratio) const { return ratio > 1.0 && !twice.isNull() ? twice : plain; }
};
PicturePair LoadPicturePair(std::string_view base, std::string_view relativeName);

// A cell of a picture's layout, in the pixels of whichever of the pair it is.
inline QRectF CellOf(const QImage& picture, const QRect& cell) {
    const qreal ratio = picture.devicePixelRatio();
    return {cell.x() * ratio, cell.y() * ratio, cell.width() * ratio, cell.height() * ratio};
}

}  // namespace krvo
