#include "market/market_layout.h"

#include <algorithm>
#include <utility>

namespace krvo {
namespace {

constexpr int kCellColumnStep = 279;
constexpr int kCellRowStep = 159;
constexpr MarketPoint kFirstCell{15, 68};
constexpr int kTabStep = 85;
constexpr int kOwnedSlotStep = 90;
constexpr std::int32_t kPageStep = 2;

// The byte length of the UTF-8 sequence starting at text[at] and its code.
// A byte that starts no valid sequence stands for itself.
std::pair<std::size_t, char32_t> nextCharacter(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 1;
    char32_t code = lead;
    if (lead >= 0xF0 && lead < 0xF8) {
        length = 4;
        code = lead & 0x07;
    } else if (lead >= 0xE0) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xC0) {
        length = 2;
        code = lead & 0x1F;
    }
    if (lead < 0x80 || lead >= 0xF8 || at + length > text.size()) return {1, lead};
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return {1, lead};
        code = (code << 6) | (next & 0x3F);
    }
    return {length, code};
}

// Tabs exist for the catalogue's types only; a selection beyond them finds none.
template <typename Tabs>
auto selectedTab(Tabs& tabs, std::int32_t types, std::size_t tab) -> decltype(&tabs[0]) {
    if (types < 1 || tab < 1 || tab >= tabs.size()) return nullptr;
    return &tabs[tab];
}

std::string number(std::int64_t value) {
    return std::to_string(value);
}

}  // namespace

PropTab* SelectedPropTab(PropsData& props) {
    return selectedTab(props.arrPropTabs, props.typeCount(), props.bteCurPropTab);
}

const PropTab* SelectedPropTab(const PropsData& props) {
    return selectedTab(props.arrPropTabs, props.typeCount(), props.bteCurPropTab);
}

OwnedTab* SelectedOwnedTab(PropsData& props) {
    return selectedTab(props.arrOwnedTabs, props.typeCount(), props.bteCurOwnedTab);
}

const OwnedTab* SelectedOwnedTab(const PropsData& props) {
    return selectedTab(props.arrOwnedTabs, props.typeCount(), props.bteCurOwnedTab);
}

MarketPoint SysButtonPlace(int index) {
    return {index == 0 ? 689 : 710, 2};
}

MarketPoint ScrollButtonPlace(int index) {
    return {index == 0 ? 6 : 688, 447};
}

MarketPoint BuyButtonPlace(int cell) {
    return {cell % 2 == 0 ? 227 : 506, cell / 2 == 0 ? 190 : 348};
}

MarketPoint PageLabelPlace(int index) {
    static constexpr std::array<int, kPageLabelCount> kLeft{11, 370, 420, 470, 520};
    return {kLeft[static_cast<std::size_t>(std::clamp(index, 0, kPageLabelCount - 1))], 385};
}

MarketPoint OwnedSlotPlace(int slot) {
    return {56 + kOwnedSlotStep * slot, 454};
}

MarketPoint TabPlace(bool ownedRow, int tab) {
    return {10 + kTabStep * (tab - 1), ownedRow ? 427 : 38};
}

MarketPoint CellOrigin(int cell) {
    return {kFirstCell.x + kCellColumnStep * (cell % 2), kFirstCell.y + kCellRowStep * (cell / 2)};
}

int CellAt(int x, int y) {
    if (x < 15 || x > 573 || y < 68 || y > 386) return -1;
    return (x > 294 ? 1 : 0) + (y > 227 ? 2 : 0);
}

std::int32_t PagedFirstShown(PageLink link, std::int32_t firstShown, std::int32_t count) {
    switch (link) {
        case PageLink::First:
            return 1;
        case PageLink::Previous:
            return std::max(1, firstShown - kPageStep);
        case PageLink::Next:
            return count >= firstShown + 2 * kPageStep ? firstShown + kPageStep : firstShown;
        case PageLink::Last:
            return std::max(1, count % 2 != 0 ? count - 2 : count - 3);
    }
    return firstShown;
}

std::int32_t ScrolledFirstShown(int button, std::int32_t firstShown, std::int32_t count) {
    if (button == 0) return firstShown > 1 ? firstShown - 1 : firstShown;
    if (button == 1 && firstShown + kOwnedSlots - 1 < count) return firstShown + 1;
    return firstShown;
}

std::vector<std::string> WrapTextLines(std::string_view text, int maxUnits) {
    std::vector<std::string> lines;
    std::size_t lineStart = 0;
    int units = 0;
    for (std::size_t at = 0; at < text.size();) {
        const auto [length, code] = nextCharacter(text, at);
        at += length;
        units += code >= 0x100 ? 2 : 1;
        if (units >= maxUnits) {
            lines.emplace_back(text.substr(lineStart, at - lineStart));
            lineStart = at;
            units = 0;
        }
    }
    if (lineStart < text.size()) lines.emplace_back(text.substr(lineStart));
    return lines;
}

std::string ValidityText(std::int32_t hours) {
    if (hours < 24) return "有效期限：" + number(hours) + "小时";
    return "有效期限：" + number(hours / 24) + "天";
}

std::array<CellLine, 7> CatalogueCellLines(const PropItem& item) {
    std::string name = item.strName;
    if (item.lngCount >= 2) {
        // Appended piece by piece: GCC 12 misreads a literal + temporary
        // string as an overlapping copy and warns at -O2.
        name += "(";
        name += number(item.lngCount);
        name += "个)";
    }
    return {{
        {name},
        {ValidityText(item.lngHours)},
        {"普通原价：" + number(item.lngPrice), false, true},
        {"普通现价：" + number(item.lngPriceNow), true, false},
        {"会员原价：" + number(item.lngMemberPrice), false, true},
        {"会员现价：" + number(item.lngMemberPriceNow), true, false},
        {item.bteTarget != 0 ? "使用对象：自己" : "使用对象：别人"},
    }};
}

std::string PropCountText(std::int32_t count) {
    return "共 " + number(count) + " 个";
}

std::string OwnedPropToolTip(const OwnedProp& prop) {
    return prop.strName + "  剩" + number(prop.lngLeft) + "个  " + number(prop.lngYear) + "年" +
           number(prop.lngMonth) + "月" + number(prop.lngDay) + "日" + number(prop.lngHour) +
           "时到期" + (prop.bteTarget != 0 ? " 对自己使用" : " 对别人使用");
}

std::string MarketTitleText(std::string_view gameTitle) {
    return std::string(gameTitle) + " 的道具商城";
}

std::string MarketNoticeText(std::string_view gameTitle) {
    return "注意：本商城里陈列的所有道具都是" + std::string(gameTitle) + "道具。";
}

std::string PropNoteText(const PropItem& item) {
    return item.strNote.empty() ? "暂无说明。" : "说明：" + item.strNote;
}

}  // namespace krvo
