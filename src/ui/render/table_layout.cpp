#include "render/table_layout.h"

#include <algorithm>

#include "core/cards.h"

namespace krvo {
namespace {

constexpr int W = lngPkWidth;
constexpr int H = lngPkHeight;

QPoint at(QPoint base, int dx, int dy) {
    return {base.x() + dx, base.y() + dy};
}

bool isPass(std::span<const std::uint8_t> play) {
    return play.size() == 1 && play[0] == kPassMarker;
}

// The nearest card left of k whose selection flag is `wanted`, or 0.
int nearestLeft(std::span<const std::uint8_t> selected, int k, bool wanted) {
    for (int i = k - 1; i >= 1; --i) {
        const std::size_t at = static_cast<std::size_t>(i - 1);
        const bool isSelected = at < selected.size() && selected[at] != 0;
        if (isSelected == wanted) return i;
    }
    return 0;
}

bool insideOpen(QPoint p, QRect box) {
    return p.x() > box.left() && p.x() < box.left() + box.width() && p.y() > box.top() &&
           p.y() < box.top() + box.height();
}

}  // namespace

int CardFaceNumber(std::uint8_t code) {
    int result = code;
    if (code == kRedAceSuit0) result = kPlainAceSuit0;
    if (code == kRedAceSuit3) result = kPlainAceSuit3;
    return result % kRanksPerSuit == kRankAce ? result - kRankAce : result + 2;
}

TableLayout ComputeTableLayout(QSize surface, bool smallScreen, bool backsShown) {
    TableLayout l;
    l.surface = surface;
    const int sw = surface.width();
    const int sh = surface.height();
    auto& f = l.ptUserFace;
    f[kTop] = {(sw - 32) / 2, 9};
    f[kLeft] = {9, (sh - 32) / 2 - 30};
    f[kBottom] = {f[kTop].x(), sh - 42};
    f[kRight] = {sw - 50, f[kLeft].y()};

    l.ptUserName = {at(f[0], 35, 8), at(f[1], 0, 35), at(f[2], 35, 8), at(f[3], -10, 35)};
    l.ptNetBreak = {at(f[0], -40, 0), at(f[1], 0, -40), at(f[2], -40, 0), at(f[3], 0, -40)};
    l.ptHandUp = {at(f[0], -16, 40), at(f[1], 50, 0), at(f[2], -16, -40), at(f[3], -100, 0)};
    l.ptLiang = {at(f[0], -42, 0), at(f[1], 0, 80), at(f[2], -42, 0), at(f[3], 0, 80)};
    l.ptHandCards = {at(f[0], 16, 54), at(f[1], 60, 16), at(f[2], 16, -H - 10),
                     at(f[3], -W - 25, 16)};

    const auto& p = l.ptHandCards;
    if (smallScreen && backsShown) {
        l.ptOutCards = {at(p[0], 0, H + 2), at(p[1], W + 2, 20), at(p[2], 0, -H - 26),
                        at(p[3], -3, 20)};
    } else if (smallScreen) {
        l.ptOutCards = {at(p[0], 0, H / 2), at(p[1], W / 2, 0), at(p[2], 0, -H - 26),
                        at(p[3], W / 2, 0)};
    } else if (backsShown) {
        l.ptOutCards = {at(p[0], 0, H + 20), at(p[1], W + 30, 0), at(p[2], 0, -H - 44),
                        at(p[3], -33, 0)};
    } else {
        l.ptOutCards = {at(p[0], 0, H / 2 + 20), at(p[1], W / 2 + 30, 0), at(p[2], 0, -H - 44),
                        at(p[3], W / 2 - 30, 0)};
    }
    l.toolColumnLeft = sw - kToolButtonWidth - 10;
    l.toolColumnTop = sh - kToolButtonCount * kToolButtonStep - 7;
    return l;
}

QPoint PlayOrigin(const TableLayout& layout, int position, int n) {
    const QPoint q = layout.ptOutCards[static_cast<std::size_t>(position & 3)];
    switch (position) {
        case kLeft:
            return {q.x(), q.y() - H / 2};
        case kRight:
            return {q.x() - RowWidth(n), q.y() - H / 2};
        default:
            return {q.x() - RowWidth(n) / 2, q.y()};
    }
}

QPoint PassMarkOrigin(const TableLayout& layout, int position) {
    const QPoint q = layout.ptOutCards[static_cast<std::size_t>(position & 3)];
    switch (position) {
        case kLeft:
            return {q.x() + (W - kPassMarkWidth) / 2 + 3, q.y() - kPassMarkHeight / 2};
        case kRight:
            return {q.x() - (W - kPassMarkWidth) / 2 - kPassMarkWidth - 3,
                    q.y() - kPassMarkHeight / 2};
        default:
            return {q.x() - kPassMarkWidth / 2, q.y() + (H - kPassMarkHeight) / 2};
    }
}

QRect PlayRect(const TableLayout& layout, int position, std::span<const std::uint8_t> play) {
    if (play.empty()) return {};
    if (isPass(play)) {
        return {PassMarkOrigin(layout, position), QSize(kPassMarkWidth, kPassMarkHeight)};
    }
    const int n = static_cast<int>(play.size());
    return {PlayOrigin(layout, position, n), QSize(RowWidth(n), H)};
}

QRect CentreRect(const TableLayout& layout) {
    const auto& q = layout.ptOutCards;
    return EraseRect(q[kLeft].x(), q[kTop].y(), q[kRight].x() - q[kLeft].x() + 1,
                     q[kBottom].y() + H - q[kTop].y() + 1);
}

QRect OwnHandEraseRect(const TableLayout& layout, int deckCount) {
    const QPoint p = layout.ptHandCards[kBottom];
    const int widest = RowWidth(13 * deckCount);
    return EraseRect(p.x() - widest / 2, p.y() - kRaise, widest + 1, H + 25);
}

int OwnCardLeft(const TableLayout& layout, int cardCount, int index) {
    return RowLeft(layout.ptHandCards[kBottom], cardCount) + (index - 1) * lngPkSpace;
}

QRect OtherHandEraseRect(const TableLayout& layout, int position, int deckCount) {
    const QPoint p = layout.ptHandCards[static_cast<std::size_t>(position & 3)];
    const int most = 13 * deckCount;
    if (position == kTop || position == kBottom) {
        return EraseRect(p.x() - RowWidth(most) / 2 - 1, p.y() - 1, RowWidth(most) + 2, H + 2);
    }
    return EraseRect(p.x() - 1, p.y() - ColumnHeight(most) / 2 - 1, W + 2, ColumnHeight(most) + 2);
}

QPoint RemainingCountPlace(const TableLayout& layout, int position) {
    static constexpr QPoint offsets[] = {{-16, 38}, {0, 63}, {136, 5}, {-20, 63}};
    return layout.ptUserFace[static_cast<std::size_t>(position & 3)] + offsets[position & 3];
}

int HitOwnHand(const TableLayout& layout, std::span<const std::uint8_t> selected, int cardCount,
               QPoint point) {
    const int n = cardCount;
    if (n < 1) return -1;
    const QPoint p = layout.ptHandCards[kBottom];
    const int left = RowLeft(p, n);
    const int top = p.y();
    const int x = point.x();
    const int y = point.y();
    if (x < left || x > left + RowWidth(n) || y < top - kRaise || y > top + H) return -1;
    const int k = std::min((x - left) / lngPkSpace + 1, n);
    const auto isSelected = [&](int card) {
        const std::size_t at = static_cast<std::size_t>(card - 1);
        return at < selected.size() && selected[at] != 0;
    };
    int i = 0;
    if (y < top) {
        // Only raised cards show in the band above the row.
        if (isSelected(k)) return k;
        i = nearestLeft(selected, k, true);
    } else if (y < top + H - kRaise) {
        return k;
    } else {
        // Only lowered cards reach the band at the bottom of the row.
        if (!isSelected(k)) return k;
        i = nearestLeft(selected, k, false);
    }
    if (i == 0) return -1;
    if (k - i >= W / lngPkSpace) return -1;  // the point lies right of card i's face
    return i;
}

QRect ToolButtonRect(const TableLayout& layout, int index) {
    return {layout.toolColumnLeft, layout.toolColumnTop + index * kToolButtonStep, kToolButtonWidth,
            kToolButtonHeight};
}

QRect PlayButtonRect(const TableLayout& layout, int count, int index) {
    const QPoint q = layout.ptOutCards[kBottom];
    return {q.x() - (count * kPlayButtonStep - 8) / 2 + index * kPlayButtonStep,
            q.y() + (H - kPlayButtonHeight) / 2, kPlayButtonWidth, kPlayButtonHeight};
}

QRect DecisionButtonRect(const TableLayout& layout, int index) {
    const QPoint q = layout.ptOutCards[kBottom];
    return {q.x() - 94 + index * kDecisionButtonStep, q.y() + (H - kDecisionButtonHeight) / 2,
            kDecisionButtonWidth, kDecisionButtonHeight};
}

QRect PlayButtonsArea(const TableLayout& layout) {
    const QPoint q = layout.ptOutCards[kBottom];
    return {q.x() - 99, q.y() + (H - kPlayButtonHeight) / 2, 199, 28};
}

QRect DecisionButtonsArea(const TableLayout& layout) {
    const QPoint q = layout.ptOutCards[kBottom];
    return {q.x() - 94, q.y() + (H - kDecisionButtonHeight) / 2, 189, 20};
}

namespace {

int firstHit(std::span<const std::uint8_t> states, int count, QPoint point, const auto& rectOf) {
    if (states.empty() || states[0] == 0) return -1;
    for (int i = 0; i < count; ++i) {
        if (insideOpen(point, rectOf(i))) return i;
    }
    return -1;
}

}  // namespace

int HitToolButton(const TableLayout& layout, std::span<const std::uint8_t> states, QPoint point) {
    return firstHit(states, static_cast<int>(states.size()), point,
                    [&](int i) { return ToolButtonRect(layout, i); });
}

int HitPlayButton(const TableLayout& layout, std::span<const std::uint8_t> states, int count,
                  QPoint point) {
    return firstHit(states, std::min<int>(count, static_cast<int>(states.size())), point,
                    [&](int i) { return PlayButtonRect(layout, count, i); });
}

int HitDecisionButton(const TableLayout& layout, std::span<const std::uint8_t> states,
                      QPoint point) {
    return firstHit(states, static_cast<int>(states.size()), point,
                    [&](int i) { return DecisionButtonRect(layout, i); });
}

QRect SeatNameArea(const TableLayout& layout, int position) {
    const std::size_t p = static_cast<std::size_t>(position & 3);
    const QPoint f = layout.ptUserFace[p];
    if (position == kTop || position == kBottom) return EraseRect(f.x() - 1, f.y() - 1, 150, 34);
    const int x0 = std::min(f.x(), layout.ptUserName[p].x());
    return EraseRect(x0 - 1, f.y() - 1, 52, 90);
}

QRect OfflineMarkRect(const TableLayout& layout, int position) {
    const QPoint m = layout.ptNetBreak[static_cast<std::size_t>(position & 3)];
    return EraseRect(m.x() - 1, m.y() - 1, 34, 34);
}

QRect ReadyMarkRect(const TableLayout& layout, int position) {
    const QPoint m = layout.ptHandUp[static_cast<std::size_t>(position & 3)];
    return EraseRect(m.x() - 1, m.y() - 1, 82, 37);
}

QRect DeclarationMarksRect(const TableLayout& layout, int position) {
    const QPoint l = layout.ptLiang[static_cast<std::size_t>(position & 3)];
    switch (position) {
        case kTop:
            return EraseRect(l.x() - 138, l.y(), 138, 36);
        case kLeft:
            return EraseRect(l.x(), l.y(), 37, 136);
        case kBottom:
            return EraseRect(l.x() - 138, l.y() - 4, 138, 36);
        default:
            return EraseRect(l.x() + 3, l.y(), 37, 136);
    }
}

QPoint PlaceMarkOrigin(const TableLayout& layout, int position) {
    static constexpr QPoint offsets[] = {{125, 3}, {0, -70}, {205, 3}, {-10, -70}};
    return layout.ptUserFace[static_cast<std::size_t>(position & 3)] + offsets[position & 3];
}

QPoint ClockOrigin(const TableLayout& layout, int position) {
    static constexpr QPoint offsets[] = {{125, 3}, {0, -80}, {205, -4}, {0, -80}};
    return layout.ptUserFace[static_cast<std::size_t>(position & 3)] + offsets[position & 3];
}

QRect ClockRect(const TableLayout& layout, int position) {
    const QPoint c = ClockOrigin(layout, position);
    return EraseRect(c.x(), c.y(), 32, 39);
}

QPoint FirstPlayerBubbleOrigin(const TableLayout& layout, int position) {
    const QPoint f = layout.ptUserFace[static_cast<std::size_t>(position & 3)];
    switch (position) {
        case kTop:
            return {f.x() - 111 / 2 + 40, f.y() + 35};
        case kLeft:
            return {f.x() + 30, f.y() - 96 / 2 - 20};
        default:
            return {f.x() - 111 - 10, f.y() - 96 / 2 - 20};
    }
}

QRect WaitingNoticeBox(const TableLayout& layout, int textWidth) {
    constexpr int statedTiles = 41;
    // The paper starts 4 pixels in; the text keeps the same margin on both sides.
    const int needed = 2 * (kNoticeTextInset - 4) + std::max(textWidth, 0);
    const int tiles = std::max(statedTiles, (needed + kNoticeTileWidth - 1) / kNoticeTileWidth);
    const int width = 250 + (tiles - statedTiles) * kNoticeTileWidth;
    return {(layout.surfaceWidth() - width) / 2, (layout.surfaceHeight() - 51) / 2 - 20, width, 51};
}

QRect WaitingNoticeArea(const TableLayout& layout, int textWidth) {
    const QRect box = WaitingNoticeBox(layout, textWidth);
    // The end pieces stand 5 pixels higher; the right one ends 16 pixels past the box.
    return {box.x(), box.y() - 5, box.width() + 17, box.height() + 5};
}

QRect ResultBox(const TableLayout& layout, bool draw) {
    const QSize size = draw ? QSize(240, 140) : QSize(340, 210);
    return {(layout.surfaceWidth() - size.width()) / 2,
            (layout.surfaceHeight() - size.height()) / 2, size.width(), size.height()};
}

QPoint ScorePanelOrigin(const TableLayout& layout) {
    return {layout.surfaceWidth() - 189 - 12, 12};
}

QPoint BombFrameOrigin(const TableLayout& layout, int position, int kind, QSize frame, int n) {
    const QPoint q = layout.ptOutCards[static_cast<std::size_t>(position & 3)];
    const int w = frame.width();
    const int row = RowWidth(n);
    if (position == kTop || position == kBottom) {
        return {q.x() - w / 2, kind == 1 ? q.y() - 10 : q.y()};
    }
    const int x = position == kLeft ? q.x() + row / 2 - w / 2 : q.x() - row / 2 - w / 2;
    return {x, kind == 1 ? q.y() - 40 - 20 : q.y() - 40};
}

std::vector<std::u16string> WrapByWidthUnits(std::u16string_view text, int maxUnits) {
    std::vector<std::u16string> lines;
    std::u16string line;
    int units = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::u16string character(1, text[i]);
        // A surrogate pair is one character.
        if (text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size()) {
            character.push_back(text[++i]);
        }
        const int width = character[0] < 0x80 ? 1 : 2;
        if (units + width > maxUnits && !line.empty()) {
            lines.push_back(std::move(line));
            line.clear();
            units = 0;
        }
        line += character;
        units += width;
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

}  // namespace krvo
