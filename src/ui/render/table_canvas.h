#pragma once
// The drawing layer of the table: every operation the table's elements need,
// on a 32-bit back buffer, clipped to the rectangle being repainted and to the
// buffer. Bitwise AND and OR copies composite masked artwork (mask first,
// black where the element is; then the image, black around it); a negative
// width or height gives a mirrored copy extending left of, or above, the
// point; an erase fills with the table colour, both corners included.
//
// On a screen with more than one device pixel per pixel of the table the
// buffer holds two pixels for each: the operations keep taking the table's
// coordinates, pictures come from their twins at twice the resolution and
// texts are drawn at twice the resolution, so cards and text stay crisp.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QVarLengthArray>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class QPainter;

namespace krvo {

inline constexpr QRgb kTableColour = qRgb(8, 105, 165);

// Per row of a mask: the run [first, last) of its columns that are solid
// black, which no picture beneath can show through (first == last: none).
struct SolidRun {
    int first = 0;
    int last = 0;
};

// Decoded pictures by their relative names, kept once read so that no file
// is touched while painting. A missing or unreadable file stays a null image,
// which leaves its element undrawn.
class PictureCache {
public:
    PictureCache(std::string appPath, std::string platformPath);

    // Under the program's directory ("Res\...") or the platform directory above it.
    const QImage& app(std::string_view relativeName);
    const QImage& platform(std::string_view relativeName);
    // The solid runs of part of a mask, row by row; measured once.
    std::span<const SolidRun> solidRuns(const QImage& mask, const QRect& part);
    // How many pictures are held decoded.
    std::size_t size() const { return app_.size() + platform_.size(); }
    // Drops one picture; it is read again on its next use. For pictures
    // shown for a moment, which need not take memory for the rest of the game.
    void forget(std::string_view relativeName);
    // The picture at twice the resolution: its "@2x" twin when that file is
    // exactly twice the size, else the picture with every pixel doubled, so
    // that masks and faces always agree. Made once per picture.
    const QImage& twice(const QImage& picture);
    // Reads every file again on its next use.
    void clear() {
        app_.clear();
        platform_.clear();
        solidRuns_.clear();
        names_.clear();
        twins_.clear();
    }

private:
    // Looked up by the name as given: a lookup while painting builds no string.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>{}(name);
        }
    };
    using Pictures = std::unordered_map<std::string, QImage, NameHash, std::equal_to<>>;

    const QImage& find(bool platform, std::string_view relativeName);

    std::string appPath_;
    std::string platformPath_;
    Pictures app_;
    Pictures platform_;
    struct MaskRuns {
        qint64 mask;
        QRect part;
        std::vector<SolidRun> runs;
    };
    std::vector<MaskRuns> solidRuns_;
    // Where each picture read came from, by its cache key, for its twin.
    struct Source {
        bool platform;
        std::string name;
    };
    std::unordered_map<qint64, Source> names_;
    std::unordered_map<qint64, QImage> twins_;
};

// Every pixel of the picture as a square of two by two.
QImage DoubledPicture(const QImage& picture);

struct TextStyle {
    QRgb colour = qRgb(0, 0, 0);
    int pointSize = 9;
    bool bold = false;
    bool heiTi = false;  // "黑体" instead of the table's "宋体"
};

enum class BlitOp { Copy, And, Or };

// A card of a run: its face (or back; none leaves its place empty) and where it goes.
struct CardPlace {
    const QImage* face = nullptr;
    QPoint at;
};

// The table's fonts at the fixed 96 pixels per inch of the back buffer, each
// resolved once, with the widths of the texts measured in them and the texts
// as drawn: a repaint neither looks a font up nor shapes a text only to
// measure it, and a text drawn again at the same place over the same pixels
// is the copy of its first drawing. Widths and heights are in the table's
// pixels at every resolution, so the layout is the same on every screen.
class TableFonts {
public:
    TableFonts();
    ~TableFonts();
    TableFonts(const TableFonts&) = delete;
    TableFonts& operator=(const TableFonts&) = delete;

    const QFont& font(const TextStyle& style);
    int width(const QString& text, const TextStyle& style);
    int height(const TextStyle& style);

    // A text at a place: every pixel that drawing it can change (patch, in
    // the table's pixels; empty when that cannot be told), and the drawings
    // made so far at `scale` device pixels per pixel, each as the pixels
    // below it and the same pixels with the text.
    struct Drawn {
        QRect patch;
        std::vector<std::pair<QImage, QImage>> over;
    };
    Drawn& drawn(const QString& text, const TextStyle& style, const QRect& area, int scale = 1);
    void keep(Drawn& drawn, QImage below, QImage with);

private:
    struct Face;
    struct DrawnTexts;
    Face& face(const TextStyle& style);
    QRect inkPatch(const QString& text, const TextStyle& style, const QRect& area, int scale);

    std::vector<std::unique_ptr<Face>> faces_;
    std::unique_ptr<DrawnTexts> drawn_;
};

class TableCanvas {
public:
    // target must be Format_RGB32; it is drawn on only inside clip.
    TableCanvas(QImage& target, QRect clip);
    // Every rectangle of the region in one pass: each element is placed once
    // and lands in each rectangle exactly as a pass over that rectangle alone
    // would draw it, so a repaint of many scattered rectangles costs one walk
    // over the scene, not one per rectangle. Texts are drawn in `fonts` when
    // given; otherwise the canvas resolves fonts of its own.
    //
    // scale 2: target holds two by two pixels for each pixel of the table
    // (clip stays in the table's pixels); pictures are drawn from their twins
    // in `pictures` (doubled here when there is none).
    TableCanvas(QImage& target, const QRegion& clip, TableFonts* fonts = nullptr, int scale = 1,
                PictureCache* pictures = nullptr);
    ~TableCanvas();
    TableCanvas(const TableCanvas&) = delete;
    TableCanvas& operator=(const TableCanvas&) = delete;

    // The rectangle around everything being repainted.
    const QRect& clip() const { return clip_; }
    int scale() const { return scale_; }
    bool touches(const QRect& area) const;
    // The rectangle around what of area is being repainted; empty for nothing.
    QRect reach(const QRect& area) const;

    void fill(const QRect& area, QRgb colour);
    // area as an erase rectangle (EraseRect): filled with the table colour.
    void erase(const QRect& area) { fill(area, kTableColour); }
    // part of source at `to`, combined by op.
    void blit(const QImage& source, const QRect& part, QPoint to, BlitOp op = BlitOp::Copy);
    void copy(const QImage& source, QPoint to) { blit(source, source.rect(), to); }
    // The whole of source at natural size; a negative width or height mirrors it,
    // the copy then extending left of x (columns x + w + 1 .. x) or above y.
    void copyMirrored(const QImage& source, const QRect& part, int x, int y, int w, int h,
                      BlitOp op = BlitOp::Copy);
    // AND the mask cell, then OR the face cell, both of face's size.
    void masked(const QImage& source, const QRect& face, QPoint maskOrigin, QPoint to);
    // Card faces and backs: AND part of the shared mask, OR the same part of the face.
    void maskedBy(const QImage& face, const QImage& mask, const QRect& part, QPoint to);
    // Cards of one mask in drawing order, each drawn as maskedBy draws it. Where
    // the next card's mask is solid (solid: its runs for part) the card beneath
    // cannot show, and is not drawn there: a fanned hand costs about what its
    // visible strips do, not its cards one over another.
    void cards(std::span<const CardPlace> run, const QImage& mask, const QRect& part,
               std::span<const SolidRun> solid);
    // Every pixel of source except those exactly of the key colour.
    void colourKeyed(const QImage& source, QRgb key, QPoint to);

    // Text with its top-left corner at `at`; returns the area it covers.
    QRect text(QPoint at, const QString& text, const TextStyle& style);
    void line(QPoint from, QPoint to, QRgb colour);

private:
    void blitPixels(const QImage& source, const QRect& part, QPoint to, bool flipX, bool flipY,
                    BlitOp op, const QRgb* key);
    // The same in device pixels, source at the buffer's resolution.
    void blitScaled(const QImage& source, const QRect& part, QPoint to, bool flipX, bool flipY,
                    BlitOp op, const QRgb* key);
    void blitInto(const QImage& source, const QRect& part, const QRect& wanted,
                  const QRect& visible, bool flipX, bool flipY, BlitOp op, const QRgb* key);
    // In device pixels: the part of face and mask at `to`, the next card at `above`.
    void maskedUnder(const QImage& face, const QImage& mask, const QRect& part, QPoint to,
                     QPoint above, std::span<const SolidRun> solid);
    // The table's rectangle in device pixels, and a picture at the buffer's resolution.
    QRect device(const QRect& area) const;
    const QImage& atScale(const QImage& picture);
    // A picture's rows, read once per element rather than once per row.
    struct Pixels {
        explicit Pixels(const QImage& image);
        const uchar* bits;
        qsizetype stride;
        int width;
        int height;
    };
    // Columns [x, x + width) of row y, combined with source row v from column u.
    void rowOp(const Pixels& source, int u, int v, int x, int y, int width, BlitOp op);
    QRgb* row(int y) const { return reinterpret_cast<QRgb*>(bits_ + y * stride_); }
    QPainter& painter();
    TableFonts& fonts();
    bool samePixels(const QImage& picture, const QRect& patch) const;
    void copyRows(const QImage& picture, const QRect& patch, const QRect& into);
    void copyText(const QImage& with, const QRect& patch, const QRect& area);

    QImage& target_;
    int scale_ = 1;
    PictureCache* pictures_ = nullptr;
    // Pictures doubled by a canvas without a cache, for its own life.
    std::unordered_map<qint64, QImage> ownTwins_;
    QRect clip_;
    // The repainted rectangles, in device pixels (parts_) and in the table's (tableParts_).
    QRect deviceClip_;
    QVarLengthArray<QRect, 16> parts_;
    QVarLengthArray<QRect, 16> tableParts_;
    uchar* bits_ = nullptr;
    qsizetype stride_ = 0;
    TableFonts* fonts_ = nullptr;
    std::unique_ptr<TableFonts> ownFonts_;
    std::unique_ptr<QPainter> painter_;
};

// The table surface's font of a style, at the fixed 96 pixels per inch of the back buffer.
QFont TableFont(const TextStyle& style);
// A back buffer of the table: 32-bit, 96 dpi, so text sizes are fixed in pixels;
// at scale 2 it holds two by two device pixels for each pixel of size.
QImage NewTableImage(QSize size, int scale = 1);

// Transparent painting of an image without a mask of its own: each pixel of
// the image lands on the destination unless it is exactly the key colour.
// Pixels outside the image's rectangle, or outside the destination, are never
// touched.
void PaintImageByNullBack(QImage& destination, const QImage& image, QRgb key, QPoint at);

}  // namespace krvo
