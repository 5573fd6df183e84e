#include "services/raster_ops.h"

#include <algorithm>
#include <cstdint>

namespace krvo {
namespace {

constexpr std::uint32_t kColourBits = 0x00ffffffu;

// One clipped copy: width x height pixels from (sourceX, sourceY) to (destX, destY).
struct Span2D {
    int sourceX = 0;
    int sourceY = 0;
    int destX = 0;
    int destY = 0;
    int width = 0;
    int height = 0;
};

// Clips in 64-bit arithmetic so that far-away points cannot overflow.
bool clip(const QRect& sourceRect, QPoint destinationPoint, const QSize& sourceSize,
          const QSize& destinationSize, Span2D& out) {
    std::int64_t sx = sourceRect.x();
    std::int64_t sy = sourceRect.y();
    std::int64_t dx = destinationPoint.x();
    std::int64_t dy = destinationPoint.y();
    std::int64_t w = sourceRect.width();
    std::int64_t h = sourceRect.height();
    if (w <= 0 || h <= 0) return false;
    // Trim the left and top against both pictures, moving the other corner along.
    const std::int64_t cutX = std::max<std::int64_t>({0, -sx, -dx});
    const std::int64_t cutY = std::max<std::int64_t>({0, -sy, -dy});
    sx += cutX;
    dx += cutX;
    w -= cutX;
    sy += cutY;
    dy += cutY;
    h -= cutY;
    w = std::min<std::int64_t>({w, sourceSize.width() - sx, destinationSize.width() - dx});
    h = std::min<std::int64_t>({h, sourceSize.height() - sy, destinationSize.height() - dy});
    if (w <= 0 || h <= 0) return false;
    out = {static_cast<int>(sx), static_cast<int>(sy), static_cast<int>(dx),
           static_cast<int>(dy), static_cast<int>(w),  static_cast<int>(h)};
    return true;
}

bool isWideRgb(QImage::Format format) {
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32;
}

std::uint32_t combine(std::uint32_t destination, std::uint32_t source, RasterOp op) {
    const std::uint32_t alpha = destination & ~kColourBits;
    const std::uint32_t d = destination & kColourBits;
    const std::uint32_t s = source & kColourBits;
    switch (op) {
        case RasterOp::Copy:
            return alpha | s;
        case RasterOp::And:
            return alpha | (d & s);
        case RasterOp::Or:
            return alpha | (d | s);
    }
    return destination;
}

}  // namespace

void RasterCopy(QImage& destination, QPoint destinationPoint, const QImage& source,
                const QRect& sourceRect, RasterOp op) {
    if (destination.isNull() || source.isNull()) return;
    Span2D span;
    if (!clip(sourceRect, destinationPoint, source.size(), destination.size(), span)) return;
    if (!isWideRgb(destination.format())) destination.convertTo(QImage::Format_RGB32);

    // A private 32-bit copy of just the rectangle: it converts other formats and
    // keeps a copy within one picture from reading pixels it has already written.
    // ARGB sources are read as they are: only their colour bits take part.
    QImage block = source.copy(span.sourceX, span.sourceY, span.width, span.height);
    if (!isWideRgb(block.format())) block.convertTo(QImage::Format_RGB32);
    if (block.isNull()) return;
    for (int row = 0; row < span.height; ++row) {
        const auto* from = reinterpret_cast<const std::uint32_t*>(block.constScanLine(row));
        auto* to =
            reinterpret_cast<std::uint32_t*>(destination.scanLine(span.destY + row)) + span.destX;
        for (int column = 0; column < span.width; ++column) {
            to[column] = combine(to[column], from[column], op);
        }
    }
}

void MaskedCopy(QImage& destination, QPoint destinationPoint, const QImage& source,
                const QRect& faceRect, QPoint maskOrigin) {
    AndCopy(destination, destinationPoint, source, QRect(maskOrigin, faceRect.size()));
    OrCopy(destination, destinationPoint, source, faceRect);
}

}  // namespace krvo
