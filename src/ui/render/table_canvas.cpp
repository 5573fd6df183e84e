#include "render/table_canvas.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

#include "services/resources.h"
#include "render/canvas_pixels.h"

namespace krvo {
namespace {

using canvas::kColourBits;
using canvas::overlap;
using canvas::overlaps;

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

namespace {

// One format for every picture, so painting reads pixels without converting;
// and pixels of the file, whatever ratio its name suggests to Qt.
QImage paintable(QImage picture) {
    if (!picture.isNull() && picture.format() != QImage::Format_RGB32) {
        picture = picture.convertToFormat(QImage::Format_RGB32);
    }
    if (picture.devicePixelRatio() != 1.0) picture.setDevicePixelRatio(1.0);
    return picture;
}

}  // namespace

const QImage& PictureCache::find(bool platform, std::string_view relativeName) {
    Pictures& pictures = platform ? platform_ : app_;
    const auto found = pictures.find(relativeName);
    if (found != pictures.end()) return found->second;
    QImage picture = paintable(LoadPicture(platform ? platformPath_ : appPath_, relativeName));
    const QImage& kept =
        pictures.emplace(std::string(relativeName), std::move(picture)).first->second;
    if (!kept.isNull()) names_[kept.cacheKey()] = {platform, std::string(relativeName)};
    return kept;
}

const QImage& PictureCache::twice(const QImage& picture) {
    const qint64 key = picture.cacheKey();
    const auto found = twins_.find(key);
    if (found != twins_.end()) return found->second;
    QImage twin;
    const auto source = names_.find(key);
    if (source != names_.end()) {
        const std::string& base = source->second.platform ? platformPath_ : appPath_;
        twin = paintable(LoadPicture(base, TwinName(source->second.name)));
        // A twin of another layout would misplace every cell cut from it.
        if (twin.size() != picture.size() * 2) twin = QImage();
    }
    if (twin.isNull()) twin = DoubledPicture(picture);
    return twins_.emplace(key, std::move(twin)).first->second;
}

QImage DoubledPicture(const QImage& picture) {
    if (picture.isNull()) return {};
    const QImage source = isWide(picture) ? picture : picture.convertToFormat(QImage::Format_RGB32);
    QImage doubled(source.size() * 2, source.format());
    for (int y = 0; y < source.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* upper = reinterpret_cast<QRgb*>(doubled.scanLine(2 * y));
        for (int x = 0; x < source.width(); ++x) upper[2 * x] = upper[2 * x + 1] = from[x];
        std::memcpy(doubled.scanLine(2 * y + 1), upper,
                    static_cast<std::size_t>(doubled.bytesPerLine()));
    }
    return doubled;
}

void PictureCache::forget(std::string_view relativeName) {
    const auto found = app_.find(relativeName);
    if (found == app_.end()) return;
    const qint64 key = found->second.cacheKey();
    std::erase_if(solidRuns_, [key](const MaskRuns& runs) { return runs.mask == key; });
    app_.erase(found);
}

std::span<const SolidRun> PictureCache::solidRuns(const QImage& mask, const QRect& part) {
    for (const MaskRuns& known : solidRuns_) {
        if (known.mask == mask.cacheKey() && known.part == part) return known.runs;
    }
    std::vector<SolidRun> runs(static_cast<std::size_t>(std::max(part.height(), 0)));
    const QRect inside = part.intersected(mask.rect());
    if (isWide(mask)) {
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
            SolidRun& longest = runs[static_cast<std::size_t>(y - part.top())];
            int start = inside.left();
            for (int x = inside.left(); x <= inside.right() + 1; ++x) {
                if (x <= inside.right() && (row[x] & kColourBits) == 0) continue;
                if (x - start > longest.last - longest.first) {
                    longest = {start - part.left(), x - part.left()};
                }
                start = x + 1;
            }
        }
    }
    solidRuns_.push_back({mask.cacheKey(), part, std::move(runs)});
    return solidRuns_.back().runs;
}

TableCanvas::TableCanvas(QImage& target, QRect clip)
    : TableCanvas(target, QRegion(clip.intersected(target.rect()))) {}

TableCanvas::TableCanvas(QImage& target, const QRegion& clip, TableFonts* fonts, int scale,
                         PictureCache* pictures)
    : target_(target), scale_(scale == 2 ? 2 : 1), pictures_(pictures), fonts_(fonts) {
    // The table's pixels the buffer holds whole.
    const QRect bounds(0, 0, target.width() / scale_, target.height() / scale_);
    for (const QRect& rect : clip) {
        const QRect part = rect.intersected(bounds);
        if (part.isEmpty()) continue;
        tableParts_.append(part);
        parts_.append(device(part));
        clip_ = clip_.united(part);
    }
    deviceClip_ = device(clip_);
    if (target_.isNull()) return;
    // Texts are drawn at the buffer's resolution.
    if (target_.devicePixelRatio() != scale_) target_.setDevicePixelRatio(scale_);
    // Detach once, before any painter shares the pixels; the rows stay put
    // for the canvas's life.
    bits_ = target_.bits();
    stride_ = target_.bytesPerLine();
}

QRect TableCanvas::device(const QRect& area) const {
    if (scale_ == 1 || area.isNull()) return area;
    const canvas::PixelSpan columns = canvas::columnsOf(area);
    const canvas::PixelSpan rows = canvas::rowsOf(area);
    return {QPoint(columns.first * scale_, rows.first * scale_),
            QPoint(columns.last * scale_ + scale_ - 1, rows.last * scale_ + scale_ - 1)};
}

const QImage& TableCanvas::atScale(const QImage& picture) {
    if (scale_ == 1 || picture.isNull()) return picture;
    if (pictures_) return pictures_->twice(picture);
    const qint64 key = picture.cacheKey();
    const auto found = ownTwins_.find(key);
    if (found != ownTwins_.end()) return found->second;
    return ownTwins_.emplace(key, DoubledPicture(picture)).first->second;
}

TableCanvas::~TableCanvas() = default;

bool TableCanvas::touches(const QRect& area) const {
    if (!overlaps(clip_, area)) return false;
    return std::any_of(tableParts_.begin(), tableParts_.end(),
                       [&](const QRect& part) { return overlaps(part, area); });
}

QRect TableCanvas::reach(const QRect& area) const {
    QRect around;
    if (!overlaps(clip_, area)) return around;
    for (const QRect& part : tableParts_) {
        const QRect inside = overlap(area, part);
        if (!inside.isEmpty()) around = around.united(inside);
    }
    return around;
}

void TableCanvas::fill(const QRect& area, QRgb colour) {
    if (!overlaps(clip_, area)) return;
    const QRect pixels = device(area);
    for (const QRect& part : parts_) {
        const QRect r = overlap(pixels, part);
        if (r.isEmpty()) continue;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            QRgb* out = row(y) + r.left();
            std::fill(out, out + r.width(), colour | ~kColourBits);
        }
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

void TableCanvas::cards(std::span<const CardPlace> run, const QImage& mask, const QRect& part,
                        std::span<const SolidRun> solid) {
    const auto drawn = [](const CardPlace& card) { return card.face && !card.face->isNull(); };
    // At twice the resolution the runs are those of the mask's twin.
    const QImage& scaledMask = atScale(mask);
    const QRect scaledPart(part.topLeft() * scale_, part.size() * scale_);
    if (scale_ != 1) {
        solid = pictures_ && !scaledMask.isNull() ? pictures_->solidRuns(scaledMask, scaledPart)
                                                  : std::span<const SolidRun>();
    }
    for (auto card = run.begin(); card != run.end(); ++card) {
        if (!drawn(*card)) continue;
        const auto next = std::find_if(card + 1, run.end(), drawn);
        const bool hidden = next != run.end() && !mask.isNull() && isWide(mask) &&
                            isWide(*card->face) && !solid.empty();
        if (hidden) {
            maskedUnder(atScale(*card->face), scaledMask, scaledPart, card->at * scale_,
                        next->at * scale_, solid);
        } else {
            maskedBy(*card->face, mask, part, card->at);
        }
    }
}

// A card whose pixels under the solid part of the card drawn next are left
// out: that card's mask clears them whatever lies there.
void TableCanvas::maskedUnder(const QImage& face, const QImage& mask, const QRect& part, QPoint to,
                              QPoint above, std::span<const SolidRun> solid) {
    const QRect wanted(to, part.size());
    if (part.isEmpty() || !overlaps(deviceClip_, wanted)) return;
    const Pixels masks(mask);
    const Pixels faces(face);
    const auto draw = [&](int y, int first, int end) {
        if (first >= end) return;
        const int u = part.x() + first - wanted.x();
        const int v = part.y() + y - wanted.y();
        rowOp(masks, u, v, first, y, end - first, BlitOp::And);
        rowOp(faces, u, v, first, y, end - first, BlitOp::Or);
    };
    for (const QRect& clipPart : parts_) {
        const QRect visible = overlap(wanted, clipPart);
        if (visible.isEmpty()) continue;
        const int left = visible.left();
        const int right = visible.right() + 1;
        for (int y = visible.top(); y <= visible.bottom(); ++y) {
            const auto r = static_cast<std::size_t>(y - above.y());
            if (y < above.y() || r >= solid.size() || solid[r].first >= solid[r].last) {
                draw(y, left, right);
                continue;
            }
            const int hiddenFrom = above.x() + solid[r].first;
            const int hiddenTo = above.x() + solid[r].last;
            draw(y, left, std::min(right, hiddenFrom));
            draw(y, std::max(left, hiddenTo), right);
        }
    }
}

TableCanvas::Pixels::Pixels(const QImage& image)
    : bits(image.constBits()),
      stride(image.bytesPerLine()),
      width(image.width()),
      height(image.height()) {}

void TableCanvas::rowOp(const Pixels& source, int u, int v, int x, int y, int width, BlitOp op) {
    if (v < 0 || v >= source.height) return;
    if (u < 0) {
        x -= u;
        width += u;
        u = 0;
    }
    width = std::min(width, source.width - u);
    if (width <= 0) return;
    const QRgb* from = reinterpret_cast<const QRgb*>(source.bits + v * source.stride) + u;
    QRgb* out = row(y) + x;
    if (op == BlitOp::And) {
        for (int i = 0; i < width; ++i) out[i] &= from[i] | ~kColourBits;
    } else {
        for (int i = 0; i < width; ++i) out[i] |= from[i] & kColourBits;
    }
}

void TableCanvas::colourKeyed(const QImage& source, QRgb key, QPoint to) {
    blitPixels(source, source.rect(), to, false, false, BlitOp::Copy, &key);
}

void TableCanvas::blitPixels(const QImage& source, const QRect& part, QPoint to, bool flipX,
                             bool flipY, BlitOp op, const QRgb* key) {
    // Elements away from the repainted rectangles cost no more than this.
    if (part.isEmpty() || !overlaps(clip_, QRect(to, part.size())) || source.isNull()) return;
    const QRect scaledPart(part.topLeft() * scale_, part.size() * scale_);
    if (!isWide(source)) {
        // A passing picture of another format: converted, and doubled, for this copy only.
        const QImage wide = source.convertToFormat(QImage::Format_RGB32);
        return blitScaled(scale_ == 1 ? wide : DoubledPicture(wide), scaledPart, to * scale_, flipX,
                          flipY, op, key);
    }
    blitScaled(atScale(source), scaledPart, to * scale_, flipX, flipY, op, key);
}

void TableCanvas::blitScaled(const QImage& source, const QRect& part, QPoint to, bool flipX,
                             bool flipY, BlitOp op, const QRgb* key) {
    const QRect wanted(to, part.size());
    for (const QRect& clipPart : parts_) {
        const QRect visible = overlap(wanted, clipPart);
        if (!visible.isEmpty()) blitInto(source, part, wanted, visible, flipX, flipY, op, key);
    }
}

void TableCanvas::blitInto(const QImage& source, const QRect& part, const QRect& wanted,
                           const QRect& visible, bool flipX, bool flipY, BlitOp op,
                           const QRgb* key) {
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
    const uchar* sourceBits = source.constBits();
    const qsizetype sourceStride = source.bytesPerLine();
    for (int v = firstV; v < lastV; ++v) {
        const int sourceRow = flipY ? part.bottom() - v : part.y() + v;
        const auto* row = reinterpret_cast<const QRgb*>(sourceBits + sourceRow * sourceStride);
        QRgb* out = this->row(wanted.top() + v) + wanted.left() + firstU;
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

QImage NewTableImage(QSize size, int scale) {
    QImage image(size.expandedTo(QSize(1, 1)) * scale, QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMeterAt96Dpi);
    image.setDotsPerMeterY(kDotsPerMeterAt96Dpi);
    image.setDevicePixelRatio(scale);
    image.fill(kTableColour);
    return image;
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
