#include "render/table_canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "platform/resources.h"

namespace krvo {
namespace {

constexpr QRgb kColourBits = 0x00ffffffu;
constexpr int kDotsPerMeterAt96Dpi = 3780;

QRgb combine(QRgb destination, QRgb source, BlitOp op) {
    const QRgb alpha = destination & ~kColourBits;
    switch (op) {
        case BlitOp::Copy:
            return alpha | (source & kColourBits);
        case BlitOp::And:
            return alpha | (destination & source & kColourBits);
        case BlitOp::Or:
            return alpha | ((destination | source) & kColourBits);
    }
    return destination;
}

bool isWide(const QImage& image) {
    return image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
}

// The span [first, last) of offsets u whose source column (or row) lies inside
// [0, sourceSize) when offset u reads partStart + u, or partEnd - u when flipped.
void sourceRange(int partStart, int partLength, int sourceSize, bool flip, int& first, int& last) {
    if (!flip) {
        first = -partStart;
        last = sourceSize - partStart;
    } else {
        const int partEnd = partStart + partLength - 1;
        first = partEnd - sourceSize + 1;
        last = partEnd + 1;
    }
}

}  // namespace

PictureCache::PictureCache(std::string appPath, std::string platformPath)
    : appPath_(std::move(appPath)), platformPath_(std::move(platformPath)) {}

const QImage& PictureCache::app(std::string_view relativeName) {
    return find(false, relativeName);
}

const QImage& PictureCache::platform(std::string_view relativeName) {
    return find(true, relativeName);
}

const QImage& PictureCache::find(bool platform, std::string_view relativeName) {
    std::string key(platform ? "P" : "A");
    key.append(relativeName);
    const auto found = pictures_.find(key);
    if (found != pictures_.end()) return found->second;
    QImage picture = LoadPicture(platform ? platformPath_ : appPath_, relativeName);
    // One format for every picture, so painting reads pixels without converting.
    if (!picture.isNull() && picture.format() != QImage::Format_RGB32) {
        picture = picture.convertToFormat(QImage::Format_RGB32);
    }
    return pictures_.emplace(std::move(key), std::move(picture)).first->second;
}

TableCanvas::TableCanvas(QImage& target, QRect clip)
    : target_(target), clip_(clip.intersected(target.rect())) {
    // Detach once, before any painter shares the pixels.
    if (!target_.isNull()) target_.bits();
}

TableCanvas::~TableCanvas() = default;

void TableCanvas::fill(const QRect& area, QRgb colour) {
    const QRect r = area.intersected(clip_);
    if (r.isEmpty()) return;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(target_.scanLine(y));
        std::fill(row + r.left(), row + r.left() + r.width(), colour | ~kColourBits);
    }
}

void TableCanvas::blit(const QImage& source, const QRect& part, QPoint to, BlitOp op) {
    blitPixels(source, part, to, false, false, op, nullptr);
}

void TableCanvas::copyMirrored(const QImage& source, const QRect& part, int x, int y, int w, int h,
                               BlitOp op) {
    if (w == 0 || h == 0) return;
    const int width = std::min(std::abs(w), part.width());
    const int height = std::min(std::abs(h), part.height());
    const int left = w < 0 ? x + w + 1 : x;
    const int top = h < 0 ? y + h + 1 : y;
    blitPixels(source, QRect(part.topLeft(), QSize(width, height)), {left, top}, w < 0, h < 0, op,
               nullptr);
}

void TableCanvas::masked(const QImage& source, const QRect& face, QPoint maskOrigin, QPoint to) {
    blit(source, QRect(maskOrigin, face.size()), to, BlitOp::And);
    blit(source, face, to, BlitOp::Or);
}

void TableCanvas::maskedBy(const QImage& face, const QImage& mask, const QRect& part, QPoint to) {
    blit(mask, part, to, BlitOp::And);
    blit(face, part, to, BlitOp::Or);
}

void TableCanvas::colourKeyed(const QImage& source, QRgb key, QPoint to) {
    blitPixels(source, source.rect(), to, false, false, BlitOp::Copy, &key);
}

void TableCanvas::blitPixels(const QImage& source, const QRect& part, QPoint to, bool flipX,
                             bool flipY, BlitOp op, const QRgb* key) {
    if (source.isNull() || part.isEmpty()) return;
    if (!isWide(source)) {
        blitPixels(source.convertToFormat(QImage::Format_RGB32), part, to, flipX, flipY, op, key);
        return;
    }
    const QRect wanted(to, part.size());
    const QRect visible = wanted.intersected(clip_);
    if (visible.isEmpty()) return;
    int firstU = 0;
    int lastU = 0;
    int firstV = 0;
    int lastV = 0;
    sourceRange(part.x(), part.width(), source.width(), flipX, firstU, lastU);
    sourceRange(part.y(), part.height(), source.height(), flipY, firstV, lastV);
    firstU = std::max(firstU, visible.left() - wanted.left());
    lastU = std::min(lastU, visible.right() - wanted.left() + 1);
    firstV = std::max(firstV, visible.top() - wanted.top());
    lastV = std::min(lastV, visible.bottom() - wanted.top() + 1);
    if (firstU >= lastU || firstV >= lastV) return;
    const QRgb keyBits = key ? (*key & kColourBits) : 0;
    const int width = lastU - firstU;
    for (int v = firstV; v < lastV; ++v) {
        const int sourceRow = flipY ? part.bottom() - v : part.y() + v;
        const auto* row = reinterpret_cast<const QRgb*>(source.constScanLine(sourceRow));
        auto* out =
            reinterpret_cast<QRgb*>(target_.scanLine(wanted.top() + v)) + wanted.left() + firstU;
        if (flipX || key) {
            for (int u = firstU; u < lastU; ++u) {
                const QRgb pixel = row[flipX ? part.right() - u : part.x() + u];
                if (key && (pixel & kColourBits) == keyBits) continue;
                out[u - firstU] = combine(out[u - firstU], pixel, op);
            }
            continue;
        }
        // The common case, cards and buttons: straight runs the compiler vectorises.
        const QRgb* from = row + part.x() + firstU;
        switch (op) {
            case BlitOp::Copy:
                for (int i = 0; i < width; ++i) out[i] = from[i] | ~kColourBits;
                break;
            case BlitOp::And:
                for (int i = 0; i < width; ++i) out[i] &= from[i] | ~kColourBits;
                break;
            case BlitOp::Or:
                for (int i = 0; i < width; ++i) out[i] |= from[i] & kColourBits;
                break;
        }
    }
}

QFont TableFont(const TextStyle& style) {
    QFont font(style.heiTi ? QStringLiteral("黑体") : QStringLiteral("宋体"));
    font.setPointSize(style.pointSize);
    font.setBold(style.bold);
    return font;
}

QImage NewTableImage(QSize size) {
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMeterAt96Dpi);
    image.setDotsPerMeterY(kDotsPerMeterAt96Dpi);
    image.fill(kTableColour);
    return image;
}

int TextWidth(const QString& text, const TextStyle& style) {
    // Measured on a device of the back buffer's resolution, so widths match what is drawn.
    static const QImage device = NewTableImage(QSize(1, 1));
    return QFontMetrics(TableFont(style), &device).horizontalAdvance(text);
}

QPainter& TableCanvas::painter() {
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&target_);
        painter_->setClipRect(clip_);
    }
    return *painter_;
}

QRect TableCanvas::text(QPoint at, const QString& text, const TextStyle& style) {
    // No character is wider than twice the point size in pixels at 96 dpi:
    // text far from the repainted rectangle is skipped without shaping it.
    const int most = 2 * style.pointSize + 4;
    const QRect bound(at, QSize(most * (static_cast<int>(text.size()) + 1), most));
    if (!touches(bound)) return bound;
    const QFont font = TableFont(style);
    static const QImage device = NewTableImage(QSize(1, 1));
    const QFontMetrics metrics(font, &device);
    const QRect area(at, QSize(metrics.horizontalAdvance(text) + 1, metrics.height()));
    if (text.isEmpty() || !touches(area)) return area;
    QPainter& p = painter();
    p.setFont(font);
    p.setPen(QColor::fromRgb(style.colour));
    p.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, text);
    return area;
}

void TableCanvas::line(QPoint from, QPoint to, QRgb colour) {
    fill(QRect(from, to).normalized(), colour);
}

void PaintImageByNullBack(QImage& destination, const QImage& image, QRgb key, QPoint at) {
    if (destination.isNull()) return;
    if (!isWide(destination)) destination.convertTo(QImage::Format_RGB32);
    TableCanvas canvas(destination, destination.rect());
    canvas.colourKeyed(image, key, at);
}

}  // namespace krvo
