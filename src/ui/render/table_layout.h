#pragma once
// Where everything stands on the table surface: the seat anchors of the four
// screen positions, the card sizes, the places of the played cards, buttons,
// clock and panels, and the hit tests that turn a point into a card or a
// button. Pure geometry over the table state; nothing here draws.
//
// Screen positions: 0 top (opposite), 1 left, 2 bottom (the viewed chair),
// 3 right. Integer divisions drop the remainder throughout: the table's
// places are defined that way, so an odd surface size drops the half pixel.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace krvo {

enum ScreenPosition : std::uint8_t { kTop = 0, kLeft = 1, kBottom = 2, kRight = 3 };

inline constexpr int lngPkWidth = 80;
inline constexpr int lngPkHeight = 105;
inline constexpr int lngPkSpace = 18;
inline constexpr int lngPkVSpace = 24;
inline constexpr int kRaise = 24;             // a selected card of the own hand stands up
inline constexpr int kRevealedSideStep = 29;  // revealed side-seat cards, centred as for 24
inline constexpr int lngBackMidWidth = 300;
inline constexpr int lngBackMidHeight = 230;
inline constexpr int kPassMarkWidth = 67;
inline constexpr int kPassMarkHeight = 34;
inline constexpr int kToolButtonCount = 2;
inline constexpr int kToolButtonWidth = 44;
inline constexpr int kToolButtonHeight = 24;
inline constexpr int kToolButtonStep = 29;
inline constexpr int kPlayButtonWidth = 61;
inline constexpr int kPlayButtonHeight = 28;
inline constexpr int kPlayButtonStep = 69;
inline constexpr int kDecisionButtonWidth = 90;
inline constexpr int kDecisionButtonHeight = 20;
inline constexpr int kDecisionButtonStep = 98;
inline constexpr int kClockFaceWidth = 31;
inline constexpr int kClockFaceHeight = 38;
inline constexpr QPoint kTimeBarHead{15, 12};
inline constexpr QPoint kTimeBarEnd{15 + 52 + 120, 12};
inline constexpr QRect kKoClockGeometry{15 + 52, 12, 120, 15};
inline constexpr QPoint kSecondsText{100, 27};

// A row of n cards, left edge to right edge, and a column of n cards.
constexpr int RowWidth(int n) {
    return (n - 1) * lngPkSpace + lngPkWidth;
}
constexpr int ColumnHeight(int n) {
    return (n - 1) * lngPkVSpace + lngPkHeight;
}

// The face file number n of `Res\ResPk\Pk<n>.bmp` for a card code.
int CardFaceNumber(std::uint8_t code);

// The rectangle an erase of (x, y, w, h) fills: both corners included.
constexpr QRect EraseRect(int x, int y, int w, int h) {
    return QRect(x, y, w + 1, h + 1);
}

struct TableLayout {
    QSize surface;  // SW x SH
    std::array<QPoint, 4> ptUserFace{};
    std::array<QPoint, 4> ptUserName{};
    std::array<QPoint, 4> ptNetBreak{};
    std::array<QPoint, 4> ptHandUp{};
    std::array<QPoint, 4> ptLiang{};
    std::array<QPoint, 4> ptHandCards{};
    std::array<QPoint, 4> ptOutCards{};
    int toolColumnLeft = 0;
    int toolColumnTop = 0;

    int surfaceWidth() const { return surface.width(); }
    int surfaceHeight() const { return surface.height(); }
    QPoint centrePicture() const {
        return {(surfaceWidth() - lngBackMidWidth) / 2, (surfaceHeight() - lngBackMidHeight) / 2};
    }
    QRect centrePictureRect() const {
        return {centrePicture(), QSize(lngBackMidWidth, lngBackMidHeight)};
    }
};

// smallScreen: the screen the window is on is at most 800 pixels wide.
// backsShown: the other players' hands are shown as card backs.
TableLayout ComputeTableLayout(QSize surface, bool smallScreen, bool backsShown);

// ---- Cards ---------------------------------------------------------------

// Left edge of a top or bottom row of n cards centred on the anchor.
inline int RowLeft(QPoint anchor, int n) {
    return anchor.x() - RowWidth(n) / 2;
}

// Where a seat's play of n cards (or its pass mark) starts in the centre.
QPoint PlayOrigin(const TableLayout& layout, int position, int n);
QPoint PassMarkOrigin(const TableLayout& layout, int position);
// The rectangle a seat's play covers; empty for an empty play.
QRect PlayRect(const TableLayout& layout, int position, std::span<const std::uint8_t> play);
// The centre erase: from the left seat's play place to the right one's, and
// from the top one's to the bottom of the bottom one's.
QRect CentreRect(const TableLayout& layout);

// Own hand: the area erased before it is drawn (the widest hand a seat can
// hold, 13 per deck, with the raised band) and the card k's left edge.
QRect OwnHandEraseRect(const TableLayout& layout, int deckCount);
int OwnCardLeft(const TableLayout& layout, int cardCount, int index);
// Other seats: the area erased before backs are drawn.
QRect OtherHandEraseRect(const TableLayout& layout, int position, int deckCount);
QPoint RemainingCountPlace(const TableLayout& layout, int position);

// The card (1..n) of the own hand under the point, or -1. selected[i] is the
// flag of card i + 1; missing flags count as not selected.
int HitOwnHand(const TableLayout& layout, std::span<const std::uint8_t> selected, int cardCount,
               QPoint point);

// ---- Buttons and marks ---------------------------------------------------

QRect ToolButtonRect(const TableLayout& layout, int index);
// count: 1 while leading, 3 while following.
QRect PlayButtonRect(const TableLayout& layout, int count, int index);
QRect DecisionButtonRect(const TableLayout& layout, int index);
// The area the play buttons and the decision buttons leave when taken down.
QRect PlayButtonsArea(const TableLayout& layout);
QRect DecisionButtonsArea(const TableLayout& layout);

// Hit tests with open bounds: a point on an edge is no hit. -1 when button 0
// of the group is not shown or no button holds the point.
int HitToolButton(const TableLayout& layout, std::span<const std::uint8_t> states, QPoint point);
int HitPlayButton(const TableLayout& layout, std::span<const std::uint8_t> states, int count,
                  QPoint point);
int HitDecisionButton(const TableLayout& layout, std::span<const std::uint8_t> states,
                      QPoint point);

QRect SeatNameArea(const TableLayout& layout, int position);
QRect OfflineMarkRect(const TableLayout& layout, int position);
QRect ReadyMarkRect(const TableLayout& layout, int position);
QRect DeclarationMarksRect(const TableLayout& layout, int position);
QPoint PlaceMarkOrigin(const TableLayout& layout, int position);
QPoint ClockOrigin(const TableLayout& layout, int position);
QRect ClockRect(const TableLayout& layout, int position);
// The first-player bubble; none at the bottom.
QPoint FirstPlayerBubbleOrigin(const TableLayout& layout, int position);

// ---- Panels --------------------------------------------------------------

// The waiting notice's box, 250 wide; a text wider than the box leaves room
// for widens it by whole 6-pixel tiles, keeping it centred.
QRect WaitingNoticeBox(const TableLayout& layout, int textWidth);
// The whole area the notice paints, its two end pieces included.
QRect WaitingNoticeArea(const TableLayout& layout, int textWidth);
inline constexpr int kNoticeTileWidth = 6;
inline constexpr int kNoticeTextInset = 28;
// The result box: the draw box when the first score is 0, else the game-over box.
QRect ResultBox(const TableLayout& layout, bool draw);
QPoint ScorePanelOrigin(const TableLayout& layout);

// The top-left corner of a bomb frame of the given size over a seat's play of
// n cards; kind 1 sits 10 (top, bottom) or 20 (sides) pixels higher than kind 2.
QPoint BombFrameOrigin(const TableLayout& layout, int position, int kind, QSize frame, int n);

// ---- Names ---------------------------------------------------------------

// A side seat's name in lines of at most maxUnits width units: a character
// that takes two bytes in the Chinese code page counts 2, any other 1.
std::vector<std::u16string> WrapByWidthUnits(std::u16string_view text, int maxUnits);

}  // namespace krvo
