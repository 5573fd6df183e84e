#include "market/market_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace krvo {
namespace {

using Lines = std::vector<std::string>;

TEST(MarketPaging, LinksMoveOneRowAndStopAtTheLastTwoRows) {
    struct Case {
        PageLink link;
        std::int32_t first, count, expected;
    };
    const Case cases[] = {
        {PageLink::Next, 1, 5, 3},      // props 3-6 shown, of which 3, 4 and 5 exist
        {PageLink::Last, 1, 5, 3},      // the same place
        {PageLink::Previous, 3, 5, 1},  // back to the start
        {PageLink::Next, 3, 5, 3},      // nothing further down
        {PageLink::Next, 1, 4, 1},      // one page holds all four
        {PageLink::Last, 1, 4, 1},     {PageLink::Last, 1, 8, 5},     {PageLink::Last, 1, 1, 1},
        {PageLink::Last, 1, 0, 1},     {PageLink::Previous, 2, 9, 1}, {PageLink::First, 7, 9, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PagedFirstShown(c.link, c.first, c.count), c.expected)
            << "link " << static_cast<int>(c.link) << " from " << c.first << " of " << c.count;
    }
}

TEST(MarketPaging, OwnedStripScrollsOnlyWhilePropsAreHidden) {
    EXPECT_EQ(ScrolledFirstShown(1, 1, 7), 1);  // seven fit in the strip
    EXPECT_EQ(ScrolledFirstShown(1, 1, 8), 2);
    EXPECT_EQ(ScrolledFirstShown(1, 2, 8), 2);
    EXPECT_EQ(ScrolledFirstShown(0, 2, 8), 1);
    EXPECT_EQ(ScrolledFirstShown(0, 1, 8), 1);
    EXPECT_EQ(ScrolledFirstShown(0, 1, 0), 1);
}

TEST(MarketGeometry, CellAtSplitsTheCatalogueAtItsBoundaries) {
    struct Case {
        int x, y, cell;
    };
    const Case cases[] = {
        {294, 227, 0}, {295, 228, 3}, {295, 227, 1},  {294, 228, 2}, {15, 68, 0},
        {573, 386, 3}, {14, 100, -1}, {574, 100, -1}, {100, 67, -1}, {100, 387, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CellAt(c.x, c.y), c.cell) << c.x << ", " << c.y;
    }
    // A cell's first column and row still belong to the cell before it.
    for (int cell = 0; cell < kCatalogueCells; ++cell) {
        EXPECT_EQ(CellAt(CellOrigin(cell).x + 1, CellOrigin(cell).y + 1), cell);
    }
}

TEST(MarketText, WrapsByWidthUnits) {
    const std::string wide = "一二三四五六七八九十甲乙丙丁戊己庚辛壬癸子丑";
    EXPECT_EQ(WrapTextLines(wide, 20),
              (Lines{"一二三四五六七八九十", "甲乙丙丁戊己庚辛壬癸", "子丑"}));
    // "说明：" takes six units of the first line.
    EXPECT_EQ(WrapTextLines("说明：" + wide, 20),
              (Lines{"说明：一二三四五六七", "八九十甲乙丙丁戊己庚", "辛壬癸子丑"}));
    // A wide character after 19 units closes a line of 21.
    EXPECT_EQ(WrapTextLines("abcdefghijklmnopqrs宽x", 20), (Lines{"abcdefghijklmnopqrs宽", "x"}));
    EXPECT_EQ(WrapTextLines("é", 20), (Lines{"é"}));  // U+00E9 counts one
    EXPECT_EQ(WrapTextLines("ĀĀĀ", 4), (Lines{"ĀĀ", "Ā"}));
    EXPECT_EQ(WrapTextLines("", 20), Lines{});
    // A broken sequence is kept byte by byte, one unit each.
    EXPECT_EQ(WrapTextLines("\xE4\xB8x", 2), (Lines{"\xE4\xB8", "x"}));
}

TEST(MarketText, ValidityCountsDaysFromADay) {
    EXPECT_EQ(ValidityText(72), "有效期限：3天");
    EXPECT_EQ(ValidityText(5), "有效期限：5小时");
    EXPECT_EQ(ValidityText(25), "有效期限：1天");
    EXPECT_EQ(ValidityText(24), "有效期限：1天");
    EXPECT_EQ(ValidityText(23), "有效期限：23小时");
}

TEST(MarketText, CellLinesShowPricesAndTarget) {
    PropItem bundle{3, "红包", 5, 0, 24, 50, 40, 40, 30, ""};
    const auto lines = CatalogueCellLines(bundle);
    const std::string texts[] = {"红包(5个)",    "有效期限：1天", "普通原价：50",  "普通现价：40",
                                 "会员原价：40", "会员现价：30",  "使用对象：别人"};
    const bool red[] = {false, false, false, true, false, true, false};
    const bool struck[] = {false, false, true, false, true, false, false};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].text, texts[i]) << "line " << i + 1;
        EXPECT_EQ(lines[i].red, red[i]) << "line " << i + 1;
        EXPECT_EQ(lines[i].struck, struck[i]) << "line " << i + 1;
    }
    PropItem single{7, "幸运星", 1, 1, 168, 60, 48, 48, 36, ""};
    EXPECT_EQ(CatalogueCellLines(single)[0].text, "幸运星");
    EXPECT_EQ(CatalogueCellLines(single)[6].text, "使用对象：自己");
}

TEST(MarketText, NotesToolTipsAndCaptions) {
    PropItem item;
    EXPECT_EQ(PropNoteText(item), "暂无说明。");
    item.strNote = "好运";
    EXPECT_EQ(PropNoteText(item), "说明：好运");
    const OwnedProp prop{7, "幸运星", 3, 1, 2031, 12, 31, 18};
    EXPECT_EQ(OwnedPropToolTip(prop), "幸运星  剩3个  2031年12月31日18时到期 对自己使用");
    EXPECT_EQ(OwnedPropToolTip(OwnedProp{1, "鲜花", 5, 0, 2024, 1, 2, 3}),
              "鲜花  剩5个  2024年1月2日3时到期 对别人使用");
    EXPECT_EQ(PropCountText(12), "共 12 个");
    EXPECT_EQ(MarketTitleText("升级"), "升级 的道具商城");
    EXPECT_EQ(MarketNoticeText("升级"), "注意：本商城里陈列的所有道具都是升级道具。");
}

}  // namespace
}  // namespace krvo
