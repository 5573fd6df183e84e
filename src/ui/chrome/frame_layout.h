#pragma once
// The main window's geometry, apart from the widgets: where the caption
// buttons and the column's buttons stand, which zone of the frame the pointer
// is in, and how the window is divided between the table and the right column
// with its three splitters. Plain functions over numbers, so that every limit
// can be checked without a window.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <array>
#include <optional>
#include <utility>

namespace krvo {

inline constexpr int kCaptionBottom = 35;  // everything below the caption starts here
inline constexpr int kSysButtonSize = 21;
inline constexpr QSize kUserButtonSize(41, 25);
inline constexpr int kSplitterBarWidth = 12;
inline constexpr int kHorizontalSplitterHeight = 5;
inline constexpr int kUserButtonPaneHeight = 33;
inline constexpr int kAdvertisementHeight = 180;
// The least the pane keeps between the two horizontal splitters: the page's
// view is placed in a pane of at least this height.
inline constexpr int kAdvertisementMinHeight = 10;
inline constexpr int kListSplitterMinY = 200;
inline constexpr int kChatSplitterMinY = 380;
inline constexpr int kChatSplitterBottomMargin = 100;
inline constexpr int kSplitterMinX = 650;
inline constexpr int kSplitterRightMargin = 140;
inline constexpr int kSplitterMiddleZone = 60;
inline constexpr QSize kMinimumWindowSize(800, 570);

// ---- Frame -----------------------------------------------------------------

// Slot 0 minimise, 1 maximise or restore, 2 close.
std::array<QPoint, 3> SysButtonSlots(int clientWidth);
// The column's buttons on their pane: 0 user settings, 1 help, 2 props market
// (standing between the other two).
inline constexpr int kUserButtonCount = 3;
std::array<QPoint, kUserButtonCount> UserButtonPlaces(int paneWidth);
// The first button whose box holds the point strictly inside, or -1.
int SysButtonAt(const std::array<QPoint, 3>& buttons, QPoint point);
int UserButtonAt(const std::array<QPoint, kUserButtonCount>& places, QPoint point);

enum class FrameZone { None, LeftUp, RightDown, RightUp, LeftDown, Left, Right, Up, Down, Move };

// window: the window's rectangle on the screen; pointer: on the screen.
// overCaptionButton: the pointer is over one of the caption buttons.
FrameZone ClassifyFrameZone(const QRect& window, QPoint pointer, bool overCaptionButton);
// The edges a resize from the zone moves; none for Move and None.
Qt::Edges ResizeEdges(FrameZone zone);
Qt::CursorShape ZoneCursor(FrameZone zone);

// ---- Layout ----------------------------------------------------------------

struct SplitterPositions {
    int lngSplitterX = kSplitterMinX;
    int lngSplitterSavedX = kSplitterMinX;
    bool blnColumnCollapsed = false;
    int lngListSplitY = 0;
    int lngChatSplitY = 0;
    // The least width the column's content needs (the chat's input row); the
    // bar's right limit keeps it, where the window is wide enough for both
    // that and the bar's left limit.
    int columnMinimum = 0;
};

// How far the bar stays from the window's right edge at least: 140, or as
// far as the column's content needs.
int BarRightMargin(const SplitterPositions& positions);

// Where the splitters start on a screen of this size.
SplitterPositions InitialSplitters(QSize screen);

// One layout pass. A region without a value keeps the geometry it had: a
// computed height of zero or less is refused.
struct MainLayout {
    std::optional<QRect> splitterBar;  // picSplitter
    std::optional<QRect> gameBack;     // famGameBack; the table surface fills it
    bool columnShown = true;
    std::optional<QRect> userButtons;    // picUserButBk
    std::optional<QRect> userList;       // lstUser
    std::optional<QRect> listSplitter;   // HSplitterBar
    std::optional<QRect> advertisement;  // picAdvBack
    std::optional<QRect> chatSplitter;   // HSplitterBar1
    std::optional<QRect> chat;           // VexChat
};

// LayoutMainWindow over the client size; raises lngSplitterX to its minimum.
MainLayout LayoutMainWindow(SplitterPositions& positions, QSize client);
// Where the bar stands in a window of this width: its stored place, kept
// within the drag's limits (the right edge when collapsed) so that the caption
// and the column's buttons stay in the window.
int BarLeft(const SplitterPositions& positions, int clientWidth);
// The tops of the list's and the chat's splitters in a window of this height:
// their stored places, moved up as far as the chat needs to stay in it.
std::pair<int, int> SplitterTops(const SplitterPositions& positions, int clientHeight);

// The first horizontal splitter dropped at y: the list, the advertisement pane,
// the second splitter and the chat move with it, the pane staying 180 high.
// Only the dropped splitter's place is stored, unless the other one's stored
// place would leave the pane less than its minimum: then that one is stored
// where it is drawn. userList is the list's present geometry.
MainLayout DropListSplitter(SplitterPositions& positions, QSize client, const QRect& userList,
                            int y);
// The second one dropped at y.
MainLayout DropChatSplitter(SplitterPositions& positions, QSize client, const QRect& userList,
                            int y);

// The vertical bar: a press in its middle zone collapses or restores the
// column; a drag ends at x, kept between 650 and W - BarRightMargin.
void ToggleColumn(SplitterPositions& positions, int clientWidth);
void DropSplitterBar(SplitterPositions& positions, int clientWidth, int x);
// The bar's middle zone, from (Hb - 60) / 2 to (Hb + 60) / 2.
inline bool InMiddleZone(int y, int barHeight, bool boundsIncluded) {
    const int top = (barHeight - kSplitterMiddleZone) / 2;
    const int bottom = (barHeight + kSplitterMiddleZone) / 2;
    return boundsIncluded ? (y >= top && y <= bottom) : (y > top && y < bottom);
}
// Whether a ghost at x may be shown while the bar is dragged.
inline bool SplitterDragAllowed(int x, int clientWidth, int rightMargin = kSplitterRightMargin) {
    return x >= kSplitterMinX && x <= clientWidth - rightMargin;
}

}  // namespace krvo
