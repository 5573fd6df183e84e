#pragma once
// The drawing layer of the table: every operation the table's elements need,
// on a 32-bit back buffer, clipped to the rectangle being repainted and to the
// buffer. Bitwise AND and OR copies composite masked artwork (mask first,
// black where the element is; then the image, black around it); a negative
// width or height gives a mirrored copy extending left of, or above, the
// point; an erase fills with the table colour, both corners included.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

class QPainter;

namespace krvo {

inline constexpr QRgb kTableColour = qRgb(8, 105, 165);

// Decoded pictures by their relative names, kept once read so that no file
// is touched while painting. A missing or unreadable file stays a null image,
// which leaves its element undrawn.
class PictureCache {
public:
    PictureCache(std::string appPath, std::string platformPath);

    // Under the program's directory ("Res\...") or the platform directory above it.
    const QImage& app(std::string_view relativeName);
    const QImage& platform(std::string_view relativeName);
    // Reads every file again on its next use.
    void clear() { pictures_.clear(); }

private:
    const QImage& find(bool platform, std::string_view relativeName);

    std::string appPath_;
    std::string platformPath_;
    std::unordered_map<std::string, QImage> pictures_;
};

struct TextStyle {
    QRgb colour = qRgb(0, 0, 0);
    int pointSize = 9;
    bool bold = false;
    bool heiTi = false;  // "黑体" instead of the table's "宋体"
};

enum class BlitOp { Copy, And, Or };

class TableCanvas {
public:
    // target must be Format_RGB32; it is drawn on only inside clip.
    TableCanvas(QImage& target, QRect clip);
    ~TableCanvas();
    TableCanvas(const TableCanvas&) = delete;
    TableCanvas& operator=(const TableCanvas&) = delete;

    const QRect& clip() const { return clip_; }
    bool touches(const QRect& area) const { return clip_.intersects(area); }

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
    // Every pixel of source except those exactly of the key colour.
    void colourKeyed(const QImage& source, QRgb key, QPoint to);

    // Text with its top-left corner at `at`; returns the area it covers.
    QRect text(QPoint at, const QString& text, const TextStyle& style);
    void line(QPoint from, QPoint to, QRgb colour);

private:
    void blitPixels(const QImage& source, const QRect& part, QPoint to, bool flipX, bool flipY,
                    BlitOp op, const QRgb* key);
    QPainter& painter();

    QImage& target_;
    QRect clip_;
    std::unique_ptr<QPainter> painter_;
};

// The table surface's fonts at the fixed 96 pixels per inch of the back buffer.
QFont TableFont(const TextStyle& style);
int TextWidth(const QString& text, const TextStyle& style);
// A back buffer of the table: 32-bit, 96 dpi, so text sizes are fixed in pixels.
QImage NewTableImage(QSize size);

// Transparent painting of an image without a mask of its own: each pixel of
// the image lands on the destination unless it is exactly the key colour.
// Pixels outside the image's rectangle, or outside the destination, are never
// touched.
void PaintImageByNullBack(QImage& destination, const QImage& image, QRgb key, QPoint at);

}  // namespace krvo
