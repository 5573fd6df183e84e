#pragma once
// The market window's places, its paging and scrolling steps and the texts it
// prints, apart from any drawing: pixel positions in the window's client
// area, texts as UTF-8.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "props/props_data.h"

namespace krvo {

struct MarketPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const MarketPoint&, const MarketPoint&) = default;
};

inline constexpr int kMarketWidth = 727;
inline constexpr int kMarketHeight = 541;
// A press this close to the top moves the window.
inline constexpr int kMarketDragBand = 32;

inline constexpr int kCatalogueCells = 4;
inline constexpr int kOwnedSlots = 7;
inline constexpr int kMarketSysButtonSize = 17;
inline constexpr int kTabWidth = 85;
inline constexpr int kTabHeight = 20;
inline constexpr int kBuyButtonWidth = 55;
inline constexpr int kBuyButtonHeight = 23;
inline constexpr int kScrollButtonWidth = 38;
inline constexpr int kScrollButtonHeight = 94;
inline constexpr int kOwnedSlotWidth = 79;
inline constexpr int kOwnedSlotHeight = 81;
inline constexpr int kPageLabelCount = 5;

inline constexpr MarketPoint kTitleText{40, 10};
inline constexpr MarketPoint kCatalogueBack{10, 63};
inline constexpr MarketPoint kTabText{10, 5};
inline constexpr int kCellTextLeft = 126;
inline constexpr int kCellTextTop = 2;
inline constexpr int kCellLineStep = 17;
// A cell's text runs from kCellTextLeft to the cell's panel edge.
inline constexpr int kCellTextWidth = 150;

// The detail panel: its filled area, the two outlines of the picture, the
// picture, the note and the notice under it.
inline constexpr MarketPoint kDetailTopLeft{585, 69};
inline constexpr MarketPoint kDetailBottomRight{715, 406};
inline constexpr MarketPoint kDetailPicture{594, 78};
inline constexpr MarketPoint kDetailNote{589, 210};
inline constexpr MarketPoint kDetailNotice{589, 350};
inline constexpr int kDetailUnitsPerLine = 20;
inline constexpr int kWrappedLineStep = 15;

enum class PageLink : int { First = 1, Previous = 2, Next = 3, Last = 4 };

// The tab selected in the catalogue row or in the owned row; null while the
// catalogue has no types.
PropTab* SelectedPropTab(PropsData& props);
const PropTab* SelectedPropTab(const PropsData& props);
OwnedTab* SelectedOwnedTab(PropsData& props);
const OwnedTab* SelectedOwnedTab(const PropsData& props);
// The number of props a tab holds, which is also the index of its last one.
template <typename Tab>
std::int32_t PropCount(const Tab& tab) {
    return static_cast<std::int32_t>(tab.arrItems.size()) - 1;
}

// Where the elements stand.
MarketPoint SysButtonPlace(int index);     // 0 minimise, 1 close
MarketPoint ScrollButtonPlace(int index);  // 0 back, 1 forward
MarketPoint BuyButtonPlace(int cell);
MarketPoint PageLabelPlace(int index);  // 0 the count, then the four links
MarketPoint OwnedSlotPlace(int slot);
// Tab b (1..n) of the catalogue row or of the owned row.
MarketPoint TabPlace(bool ownedRow, int tab);
// The top-left corner of catalogue cell 0..3.
MarketPoint CellOrigin(int cell);
// The catalogue cell under a point of the window, or -1.
int CellAt(int x, int y);
// Tabs are shown only when there is a choice to make.
inline bool TabsShown(std::int32_t typeCount) {
    return typeCount >= 2;
}

// The first shown prop after a paging link, for a tab holding count props: a
// step moves one row of two cells and the last position shows the last rows.
std::int32_t PagedFirstShown(PageLink link, std::int32_t firstShown, std::int32_t count);
// The first shown owned prop after scroll button 0 (back) or 1 (forward); the
// strip never scrolls past a full row of seven.
std::int32_t ScrolledFirstShown(int button, std::int32_t firstShown, std::int32_t count);

// Lines of at most about maxUnits units: a character counts 1, and 2 from
// code U+0100 on; a line closes once it holds maxUnits or more.
std::vector<std::string> WrapTextLines(std::string_view text, int maxUnits);

// The seven lines of a catalogue cell, top down.
struct CellLine {
    std::string text;
    bool red = false;     // a current price
    bool struck = false;  // a list price
};
std::array<CellLine, 7> CatalogueCellLines(const PropItem& item);
std::string ValidityText(std::int32_t hours);
std::string PropCountText(std::int32_t count);
std::string OwnedPropToolTip(const OwnedProp& prop);
std::string MarketTitleText(std::string_view gameTitle);
std::string MarketNoticeText(std::string_view gameTitle);
std::string PropNoteText(const PropItem& item);

}  // namespace krvo
