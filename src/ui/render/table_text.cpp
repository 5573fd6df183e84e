// The canvas's texts and the fonts they are drawn in.

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <cstring>

#include "services/fonts.h"
#include "render/canvas_pixels.h"
#include "render/table_canvas.h"

namespace krvo {
namespace {

using canvas::kColourBits;
using canvas::overlap;
using canvas::overlaps;

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;

}  // namespace

struct TableFonts::Face {
    explicit Face(const TextStyle& style)
        : pointSize(style.pointSize),
          bold(style.bold),
          heiTi(style.heiTi),
          font(TableFont(style)),
          metrics(font, &measuringDevice()),
          height(metrics.height()) {}

    // Measured on a device of the back buffer's resolution, so widths match what is drawn.
    static const QImage& measuringDevice() {
        static const QImage device = NewTableImage(QSize(1, 1));
        return device;
    }

    int pointSize;
    bool bold;
    bool heiTi;
    QFont font;
    QFontMetrics metrics;
    int height;
    QHash<QString, int> widths;
};

// Texts by what is drawn where: the text, its style and its place.
struct TableFonts::DrawnTexts {
    struct Key {
        QString text;
        int pointSize;
        bool bold;
        bool heiTi;
        QRgb colour;
        QPoint at;
        int scale;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const {
            return qHashMulti(0, key.text, key.pointSize, key.bold, key.heiTi, key.colour,
                              key.at.x(), key.at.y(), key.scale);
        }
    };
    std::unordered_map<Key, Drawn, KeyHash> texts;
    std::size_t drawings = 0;
};

TableFonts::TableFonts() : drawn_(std::make_unique<DrawnTexts>()) {}
TableFonts::~TableFonts() = default;

// Where drawing the text can change pixels, found by drawing it black on white
// beside the area, at the resolution it is drawn at: what is not white is ink.
// Glyphs blend coverage pixel by pixel whatever the colours, so this is where
// any drawing of it lands, two pixels to spare, in whole pixels of the table.
// Empty when the ink reaches the edge of the trial.
QRect TableFonts::inkPatch(const QString& text, const TextStyle& style, const QRect& area,
                           int scale) {
    const int margin = 2 * style.pointSize + 8;
    QImage trial = NewTableImage(area.size() + QSize(2 * margin, 2 * margin), scale);
    trial.fill(qRgb(255, 255, 255));
    {
        QPainter painter(&trial);
        painter.setFont(font(style));
        painter.setPen(QColor(0, 0, 0));
        painter.drawText(QRect(QPoint(margin, margin), area.size()), kTextFlags, text);
    }
    QRect ink;
    for (int y = 0; y < trial.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(trial.constScanLine(y));
        for (int x = 0; x < trial.width(); ++x) {
            if ((row[x] & kColourBits) != kColourBits) {
                ink = ink.united(QRect(x / scale, y / scale, 1, 1));
            }
        }
    }
    if (ink.isEmpty()) return area;
    const QSize trialSize = trial.size() / scale;
    if (ink.left() < 2 || ink.top() < 2 || ink.right() >= trialSize.width() - 2 ||
        ink.bottom() >= trialSize.height() - 2) {
        return {};
    }
    return area.united(
        ink.translated(area.topLeft() - QPoint(margin, margin)).adjusted(-2, -2, 2, 2));
}

TableFonts::Drawn& TableFonts::drawn(const QString& text, const TextStyle& style, const QRect& area,
                                     int scale) {
    // Names, scores and counts at their places: a few hundred drawings at most
    // in a long session; past that the list starts again.
    constexpr std::size_t kMostDrawings = 256;
    DrawnTexts::Key key{text,         style.pointSize, style.bold, style.heiTi,
                        style.colour, area.topLeft(),  scale};
    const auto found = drawn_->texts.find(key);
    if (found != drawn_->texts.end()) return found->second;
    if (drawn_->drawings >= kMostDrawings) {
        drawn_->texts.clear();
        drawn_->drawings = 0;
    }
    Drawn fresh{inkPatch(text, style, area, scale), {}};
    return drawn_->texts.emplace(std::move(key), std::move(fresh)).first->second;
}

void TableFonts::keep(Drawn& drawn, QImage below, QImage with) {
    // A text over a few different backgrounds at most: the newest are kept.
    constexpr std::size_t kMostBackgrounds = 4;
    if (drawn.over.size() >= kMostBackgrounds) drawn.over.erase(drawn.over.begin());
    drawn.over.emplace_back(std::move(below), std::move(with));
    ++drawn_->drawings;
}

TableFonts::Face& TableFonts::face(const TextStyle& style) {
    for (const std::unique_ptr<Face>& face : faces_) {
        if (face->pointSize == style.pointSize && face->bold == style.bold &&
            face->heiTi == style.heiTi) {
            return *face;
        }
    }
    return *faces_.emplace_back(std::make_unique<Face>(style));
}

const QFont& TableFonts::font(const TextStyle& style) {
    return face(style).font;
}

int TableFonts::height(const TextStyle& style) {
    return face(style).height;
}

int TableFonts::width(const QString& text, const TextStyle& style) {
    // Names, numbers and the table's captions: few, but a long session sees
    // many scores, so the list starts again once it is long.
    constexpr qsizetype kMostWidths = 4096;
    Face& face = this->face(style);
    const auto found = face.widths.constFind(text);
    if (found != face.widths.cend()) return *found;
    if (face.widths.size() >= kMostWidths) face.widths.clear();
    const int width = face.metrics.horizontalAdvance(text);
    face.widths.insert(text, width);
    return width;
}

QFont TableFont(const TextStyle& style) {
    QFont font;
    font.setFamilies(TableFaces(style.heiTi));
    font.setPointSize(style.pointSize);
    font.setBold(style.bold);
    return font;
}

QPainter& TableCanvas::painter() {
    if (!painter_) painter_ = std::make_unique<QPainter>(&target_);
    return *painter_;
}

TableFonts& TableCanvas::fonts() {
    if (fonts_) return *fonts_;
    if (!ownFonts_) ownFonts_ = std::make_unique<TableFonts>();
    return *ownFonts_;
}

QRect TableCanvas::text(QPoint at, const QString& text, const TextStyle& style) {
    // No character is wider than twice the point size in pixels at 96 dpi:
    // text far from the repainted rectangles is skipped without measuring it.
    const int most = 2 * style.pointSize + 4;
    const QRect bound(at, QSize(most * (static_cast<int>(text.size()) + 1), most));
    if (!touches(bound)) return bound;
    TableFonts& fonts = this->fonts();
    const QRect area(at, QSize(fonts.width(text, style) + 1, fonts.height(style)));
    if (text.isEmpty() || !touches(area)) return area;
    TableFonts::Drawn& drawn = fonts.drawn(text, style, area, scale_);
    // The patch in the buffer's pixels; the painter takes the table's.
    const QRect patch = device(drawn.patch);
    const bool kept = !patch.isEmpty() && target_.rect().contains(patch);
    if (kept) {
        // Over the same pixels the same text lands as it did.
        for (const auto& [below, with] : drawn.over) {
            if (!samePixels(below, patch)) continue;
            copyText(with, patch, area);
            return area;
        }
    }
    QPainter& p = painter();
    p.setFont(fonts.font(style));
    p.setPen(QColor::fromRgb(style.colour));
    if (kept) {
        // Drawn once over the whole patch, kept, and put back outside the
        // rectangles being repainted.
        QImage below = target_.copy(patch);
        p.setClipRect(drawn.patch);
        p.drawText(area, kTextFlags, text);
        QImage with = target_.copy(patch);
        copyRows(below, patch, patch);
        copyText(with, patch, area);
        fonts.keep(drawn, std::move(below), std::move(with));
        return area;
    }
    // Clipped to one rectangle at a time, so the glyphs are blended exactly
    // as in a repaint of that rectangle alone.
    for (const QRect& part : tableParts_) {
        if (!overlaps(part, area)) continue;
        p.setClipRect(part);
        p.drawText(area, kTextFlags, text);
    }
    return area;
}

bool TableCanvas::samePixels(const QImage& picture, const QRect& patch) const {
    const auto bytes = static_cast<std::size_t>(patch.width()) * sizeof(QRgb);
    for (int y = 0; y < patch.height(); ++y) {
        if (std::memcmp(row(patch.top() + y) + patch.left(), picture.constScanLine(y), bytes) !=
            0) {
            return false;
        }
    }
    return true;
}

// Rows of picture (which covers patch) into the part `into` of the buffer.
void TableCanvas::copyRows(const QImage& picture, const QRect& patch, const QRect& into) {
    const auto bytes = static_cast<std::size_t>(into.width()) * sizeof(QRgb);
    for (int y = into.top(); y <= into.bottom(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(picture.constScanLine(y - patch.top()));
        std::memcpy(row(y) + into.left(), from + (into.left() - patch.left()), bytes);
    }
}

// The text as drawn, into the rectangles it is repainted in: those it touches.
// patch in the buffer's pixels, area in the table's.
void TableCanvas::copyText(const QImage& with, const QRect& patch, const QRect& area) {
    const QRect pixels = device(area);
    for (const QRect& part : parts_) {
        if (!overlaps(part, pixels)) continue;
        const QRect into = overlap(part, patch);
        if (!into.isEmpty()) copyRows(with, patch, into);
    }
}

}  // namespace krvo
