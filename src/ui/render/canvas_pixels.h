#pragma once
// What the table canvas's files share: the colour bits of a pixel of the
// back buffer, and QRect's overlap tests inline.

#include <QRect>
#include <QRgb>
#include <algorithm>

namespace krvo::canvas {

// The bits of a pixel that are its colour; the rest is opaque alpha.
inline constexpr QRgb kColourBits = 0x00ffffffu;

// QRect::intersects and QRect::intersected, inline: they run for every element
// and rectangle of every repaint. As there, a rectangle of negative width or
// height spans the columns (rows) between its corners, as an erase of a
// table too small for its layout does.
struct PixelSpan {
    int first;
    int last;
};

inline PixelSpan columnsOf(const QRect& r) {
    return r.right() < r.left() - 1 ? PixelSpan{r.right() + 1, r.left() - 1}
                                    : PixelSpan{r.left(), r.right()};
}

inline PixelSpan rowsOf(const QRect& r) {
    return r.bottom() < r.top() - 1 ? PixelSpan{r.bottom() + 1, r.top() - 1}
                                    : PixelSpan{r.top(), r.bottom()};
}

inline bool overlaps(const QRect& a, const QRect& b) {
    if (a.isNull() || b.isNull()) return false;
    const PixelSpan ax = columnsOf(a);
    const PixelSpan bx = columnsOf(b);
    const PixelSpan ay = rowsOf(a);
    const PixelSpan by = rowsOf(b);
    return ax.first <= bx.last && bx.first <= ax.last && ay.first <= by.last && by.first <= ay.last;
}

// Empty when they do not overlap.
inline QRect overlap(const QRect& a, const QRect& b) {
    if (!overlaps(a, b)) return {};
    const PixelSpan ax = columnsOf(a);
    const PixelSpan bx = columnsOf(b);
    const PixelSpan ay = rowsOf(a);
    const PixelSpan by = rowsOf(b);
    return {QPoint(std::max(ax.first, bx.first), std::max(ay.first, by.first)),
            QPoint(std::min(ax.last, bx.last), std::min(ay.last, by.last))};
}

}  // namespace krvo::canvas
