#include "chrome/frame_layout.h"

#include <algorithm>

namespace krvo {
namespace {

constexpr int kZoneBand = 5;

bool strictlyInside(QPoint point, QPoint corner, QSize size) {
    return point.x() > corner.x() && point.x() < corner.x() + size.width() &&
           point.y() > corner.y() && point.y() < corner.y() + size.height();
}

}  // namespace

std::array<QPoint, 3> SysButtonSlots(int clientWidth) {
    return {QPoint(clientWidth - 100, 7), QPoint(clientWidth - 74, 7), QPoint(clientWidth - 48, 7)};
}

std::array<QPoint, kUserButtonCount> UserButtonPlaces(int paneWidth) {
    const int p = paneWidth / 3;
    const QPoint settings(p - 30, 4);
    const QPoint help(2 * p - 10, 4);
    const int width = kUserButtonSize.width();
    // The market button stands halfway between the two where it fits there;
    // a narrow column spreads the three evenly instead of overlapping them.
    if (help.x() - (settings.x() + width) >= width + 4) {
        return {settings, help, QPoint((settings.x() + help.x()) / 2, 4)};
    }
    // The narrowest column (the bar at its right limit) is a little narrower
    // than the three pictures: the last ones stop at the pane's right edge.
    const int margin = std::max(0, (p - width) / 2);
    const int last = std::max(0, paneWidth - width);
    const auto place = [last](int x) { return QPoint(std::min(x, last), 4); };
    return {place(margin), place(2 * p + margin), place(p + margin)};
}

int SysButtonAt(const std::array<QPoint, 3>& buttons, QPoint point) {
    for (int i = 0; i < 3; ++i) {
        if (strictlyInside(point, buttons[static_cast<std::size_t>(i)],
                           QSize(kSysButtonSize, kSysButtonSize))) {
            return i;
        }
    }
    return -1;
}

int UserButtonAt(const std::array<QPoint, kUserButtonCount>& places, QPoint point) {
    for (int i = 0; i < kUserButtonCount; ++i) {
        if (strictlyInside(point, places[static_cast<std::size_t>(i)], kUserButtonSize)) return i;
    }
    return -1;
}

FrameZone ClassifyFrameZone(const QRect& window, QPoint pointer, bool overCaptionButton) {
    // The window's right and bottom are the first pixels outside it.
    const int right = window.x() + window.width();
    const int bottom = window.y() + window.height();
    const bool l = pointer.x() < window.x() + kZoneBand;
    const bool t = pointer.y() < window.y() + kZoneBand;
    const bool r = pointer.x() > right - kZoneBand;
    const bool b = pointer.y() > bottom - kZoneBand;
    if (l && t) return FrameZone::LeftUp;
    if (r && b) return FrameZone::RightDown;
    if (t && r) return FrameZone::RightUp;
    if (l && b) return FrameZone::LeftDown;
    if (l) return FrameZone::Left;
    if (r) return FrameZone::Right;
    if (t) return FrameZone::Up;
    if (b) return FrameZone::Down;
    const bool captionBand =
        pointer.y() > window.y() + kZoneBand && pointer.y() < window.y() + kCaptionBottom;
    return captionBand && !overCaptionButton ? FrameZone::Move : FrameZone::None;
}

Qt::Edges ResizeEdges(FrameZone zone) {
    switch (zone) {
        case FrameZone::LeftUp:
            return Qt::LeftEdge | Qt::TopEdge;
        case FrameZone::RightDown:
            return Qt::RightEdge | Qt::BottomEdge;
        case FrameZone::RightUp:
            return Qt::RightEdge | Qt::TopEdge;
        case FrameZone::LeftDown:
            return Qt::LeftEdge | Qt::BottomEdge;
        case FrameZone::Left:
            return Qt::LeftEdge;
        case FrameZone::Right:
            return Qt::RightEdge;
        case FrameZone::Up:
            return Qt::TopEdge;
        case FrameZone::Down:
            return Qt::BottomEdge;
        default:
            return {};
    }
}

Qt::CursorShape ZoneCursor(FrameZone zone) {
    switch (zone) {
        case FrameZone::LeftUp:
        case FrameZone::RightDown:
            return Qt::SizeFDiagCursor;
        case FrameZone::RightUp:
        case FrameZone::LeftDown:
            return Qt::SizeBDiagCursor;
        case FrameZone::Left:
        case FrameZone::Right:
            return Qt::SizeHorCursor;
        case FrameZone::Up:
        case FrameZone::Down:
            return Qt::SizeVerCursor;
        default:
            return Qt::ArrowCursor;
    }
}

int BarRightMargin(const SplitterPositions& positions) {
    // Right of the bar: 2 pixels, the column, and 6 pixels to the window's edge.
    return std::max(kSplitterRightMargin, kSplitterBarWidth + 2 + positions.columnMinimum + 6);
}

int BarLeft(const SplitterPositions& positions, int clientWidth) {
    const int stored = std::max(positions.lngSplitterX, kSplitterMinX);
    // A collapsed bar stands at the right edge of the window it was collapsed
    // in; a narrower window would push it, and the caption with it, out of sight.
    if (positions.blnColumnCollapsed) {
        return std::max(std::min(stored, clientWidth - kSplitterBarWidth - 2), kSplitterMinX);
    }
    // The drag's right limit holds at every width, so the column keeps its
    // buttons and the caption its end. The stored place is kept for a window
    // that grows again. A window narrower than both limits allow (below the
    // minimum size) leaves the bar where it is.
    const int rightLimit = clientWidth - BarRightMargin(positions);
    if (rightLimit >= kSplitterMinX) return std::min(stored, rightLimit);
    // Too narrow for both the column's content and the table's least width:
    // the bar stands at its left limit, leaving the column what there is.
    return clientWidth - kSplitterRightMargin >= kSplitterMinX ? kSplitterMinX : stored;
}

std::pair<int, int> SplitterTops(const SplitterPositions& positions, int clientHeight) {
    int listY = positions.lngListSplitY;
    int chatY = positions.lngChatSplitY;
    // As with the bar: in a window lower than the chat splitter's drop limit
    // allows, the chat keeps its room and the list splitter moves up with it,
    // the pane keeping at least its minimum height between them.
    const int lowest = clientHeight - kChatSplitterBottomMargin;
    if (lowest >= kChatSplitterMinY && chatY > lowest) {
        chatY = lowest;
        listY = std::min(listY, chatY - kHorizontalSplitterHeight - kAdvertisementMinHeight);
    }
    return {listY, chatY};
}

SplitterPositions InitialSplitters(QSize screen) {
    SplitterPositions p;
    p.lngSplitterX = screen.width() * 3 / 4 + (screen.width() > 800 ? 24 : 0);
    p.lngSplitterSavedX = p.lngSplitterX;
    p.blnColumnCollapsed = false;
    p.lngListSplitY = screen.height() / 3;
    p.lngChatSplitY = kHorizontalSplitterHeight + p.lngListSplitY + kAdvertisementHeight + 4;
    return p;
}

MainLayout LayoutMainWindow(SplitterPositions& positions, QSize client) {
    MainLayout layout;
    const int w = client.width();
    const int h = client.height();
    const int hc = h - 4 - kCaptionBottom - 1;
    positions.lngSplitterX = std::max(positions.lngSplitterX, kSplitterMinX);
    const int barLeft = BarLeft(positions, w);
    const int barTop = kCaptionBottom;
    if (hc > 0) layout.splitterBar = QRect(barLeft, barTop, kSplitterBarWidth, hc);
    // A negative height is refused like any other; the frame keeps its place.
    if (hc > 0 && barLeft - 6 > 0) layout.gameBack = QRect(5, barTop, barLeft - 6, hc);
    const int r = w - barLeft - kSplitterBarWidth - 2 - 6;
    const int xc = barLeft + kSplitterBarWidth + 2;
    if (kSplitterBarWidth > r) {
        layout.columnShown = false;
        return layout;
    }
    layout.userButtons = QRect(xc, kCaptionBottom, r, kUserButtonPaneHeight);
    const auto [listY, chatY] = SplitterTops(positions, h);
    const int hl = listY - kCaptionBottom - 25 - 8;
    if (hl > 0) layout.userList = QRect(xc, barTop + kUserButtonPaneHeight, r, hl);
    layout.listSplitter = QRect(xc, listY, r, kHorizontalSplitterHeight);
    const int advTop = listY + kHorizontalSplitterHeight;
    const int advHeight = chatY - advTop;
    if (advHeight >= 0) layout.advertisement = QRect(xc, advTop, r, advHeight);
    layout.chatSplitter = QRect(xc, chatY, r, kHorizontalSplitterHeight);
    const int hchat = h - 4 - chatY - kHorizontalSplitterHeight - 2;
    if (hchat > 0) layout.chat = QRect(xc, chatY + kHorizontalSplitterHeight, r, hchat);
    return layout;
}

MainLayout DropListSplitter(SplitterPositions& positions, QSize client, const QRect& userList,
                            int y) {
    const int h = client.height();
    y = std::min(std::max(y, kListSplitterMinY),
                 h - kAdvertisementHeight - kChatSplitterBottomMargin);
    positions.lngListSplitY = y;
    MainLayout layout;
    const int left = userList.x();
    const int width = userList.width();
    layout.listSplitter = QRect(left, y, width, kHorizontalSplitterHeight);
    if (y - userList.y() > 0) layout.userList = QRect(left, userList.y(), width, y - userList.y());
    layout.advertisement = QRect(left, y + kHorizontalSplitterHeight, width, kAdvertisementHeight);
    const int chatSplitTop = y + kHorizontalSplitterHeight + kAdvertisementHeight;
    // Dropped on or past the other splitter's place, it takes that splitter
    // along to where it is drawn now: the next layout would otherwise find
    // the two crossed and the pane with a negative height.
    if (positions.lngChatSplitY - y - kHorizontalSplitterHeight < kAdvertisementMinHeight) {
        positions.lngChatSplitY = chatSplitTop;
    }
    layout.chatSplitter = QRect(left, chatSplitTop, width, kHorizontalSplitterHeight);
    const int chatHeight = h - chatSplitTop - kHorizontalSplitterHeight - 5;
    if (chatHeight > 0) {
        layout.chat = QRect(left, chatSplitTop + kHorizontalSplitterHeight, width, chatHeight);
    }
    return layout;
}

MainLayout DropChatSplitter(SplitterPositions& positions, QSize client, const QRect& userList,
                            int y) {
    const int h = client.height();
    y = std::min(std::max(y, kChatSplitterMinY), h - kChatSplitterBottomMargin);
    positions.lngChatSplitY = y;
    MainLayout layout;
    const int left = userList.x();
    const int width = userList.width();
    layout.chatSplitter = QRect(left, y, width, kHorizontalSplitterHeight);
    const int chatHeight = h - y - kHorizontalSplitterHeight - 2 - 4;
    if (chatHeight > 0) {
        layout.chat = QRect(left, y + kHorizontalSplitterHeight, width, chatHeight);
    }
    layout.advertisement = QRect(left, y - kAdvertisementHeight, width, kAdvertisementHeight);
    const int listSplitTop = y - kAdvertisementHeight - kHorizontalSplitterHeight;
    if (y - positions.lngListSplitY - kHorizontalSplitterHeight < kAdvertisementMinHeight) {
        positions.lngListSplitY = listSplitTop;
    }
    layout.listSplitter = QRect(left, listSplitTop, width, kHorizontalSplitterHeight);
    if (listSplitTop - userList.y() > 0) {
        layout.userList = QRect(left, userList.y(), width, listSplitTop - userList.y());
    }
    return layout;
}

void ToggleColumn(SplitterPositions& positions, int clientWidth) {
    if (positions.blnColumnCollapsed) {
        positions.lngSplitterX = positions.lngSplitterSavedX;
        positions.blnColumnCollapsed = false;
        return;
    }
    positions.lngSplitterSavedX = positions.lngSplitterX;
    positions.lngSplitterX = clientWidth - kSplitterBarWidth - 2;
    positions.blnColumnCollapsed = true;
}

void DropSplitterBar(SplitterPositions& positions, int clientWidth, int x) {
    x = std::min(x, clientWidth - BarRightMargin(positions));
    positions.lngSplitterX = std::max(x, kSplitterMinX);
}

}  // namespace krvo
