// Geometry of the table: anchors in the four layout cases, odd sizes, the hit
// tests of the own hand and of the buttons, and name wrapping.

#include <gtest/gtest.h>

#include <vector>

#include "render/table_layout.h"

namespace krvo {
namespace {

TEST(TableLayout, PlaysSitCloserToTheHandsOnSmallScreens) {
    // 1001 x 701: the odd sizes drop the half pixel in every centred place.
    struct Case {
        bool small;
        bool backs;
        std::array<QPoint, 4> out;  // offsets from ptHandCards
    };
    const Case cases[] = {
        {true, true, {{{0, 107}, {82, 20}, {0, -131}, {-3, 20}}}},
        {true, false, {{{0, 52}, {40, 0}, {0, -131}, {40, 0}}}},
        {false, true, {{{0, 125}, {110, 0}, {0, -149}, {-33, 0}}}},
        {false, false, {{{0, 72}, {70, 0}, {0, -149}, {10, 0}}}},
    };
    for (const Case& c : cases) {
        const TableLayout l = ComputeTableLayout({1001, 701}, c.small, c.backs);
        EXPECT_EQ(l.ptUserFace[kTop], QPoint(484, 9));
        EXPECT_EQ(l.ptUserFace[kLeft], QPoint(9, 304));
        EXPECT_EQ(l.ptUserFace[kBottom], QPoint(484, 659));
        EXPECT_EQ(l.ptUserFace[kRight], QPoint(951, 304));
        EXPECT_EQ(l.ptHandCards[kTop], QPoint(500, 63));
        EXPECT_EQ(l.ptHandCards[kLeft], QPoint(69, 320));
        EXPECT_EQ(l.ptHandCards[kBottom], QPoint(500, 544));
        EXPECT_EQ(l.ptHandCards[kRight], QPoint(846, 320));
        for (int p = 0; p < 4; ++p) {
            EXPECT_EQ(l.ptOutCards[p] - l.ptHandCards[p], c.out[p])
                << "small " << c.small << " backs " << c.backs << " position " << p;
        }
        EXPECT_EQ(l.centrePicture(), QPoint(350, 235));
        EXPECT_EQ(ToolButtonRect(l, 1), QRect(947, 636 + 29, 44, 24));
    }
}

TEST(TableLayout, CardFacesFollowTheCodes) {
    const std::pair<int, int> faces[] = {{11, 0}, {63, 0}, {50, 39}, {76, 39}, {0, 2}, {12, 14}};
    for (const auto& [code, face] : faces) {
        EXPECT_EQ(CardFaceNumber(static_cast<std::uint8_t>(code)), face) << code;
    }
}

TEST(TableLayout, PlacesInTheCentre) {
    const TableLayout l = ComputeTableLayout({1000, 700}, false, true);
    const QPoint q0 = l.ptOutCards[kTop];
    // One card at the top is centred: it starts 40 pixels left of the anchor.
    EXPECT_EQ(PlayRect(l, kTop, std::vector<std::uint8_t>{5}), QRect(q0.x() - 40, q0.y(), 80, 105));
    const QPoint q3 = l.ptOutCards[kRight];
    EXPECT_EQ(PlayRect(l, kRight, std::vector<std::uint8_t>{1, 2, 3}),
              QRect(q3.x() - 116, q3.y() - 52, 116, 105));
    const QPoint q1 = l.ptOutCards[kLeft];
    EXPECT_EQ(PlayRect(l, kLeft, std::vector<std::uint8_t>{254}),
              QRect(q1.x() + 9, q1.y() - 17, 67, 34));
    EXPECT_TRUE(PlayRect(l, kLeft, std::vector<std::uint8_t>{}).isEmpty());
}

TEST(TableLayout, OwnHandHitTestByBands) {
    const TableLayout l = ComputeTableLayout({1000, 700}, false, true);
    const QPoint p = l.ptHandCards[kBottom];
    const int left = p.x() - RowWidth(6) / 2;
    const int top = p.y();
    // Cards 2 and 6 raised.
    const std::vector<std::uint8_t> selected = {0, 1, 0, 0, 0, 1};
    struct Case {
        int dx, dy, card;
        const char* why;
    };
    const Case cases[] = {
        {-1, 50, -1, "left of the row"},
        {RowWidth(6) + 1, 50, -1, "right of the row"},
        {10, -25, -1, "above the raised band"},
        {10, 106, -1, "below the row"},
        {18 + 5, -10, 2, "raised band over a raised card"},
        {36 + 5, -10, 2, "raised band over a lowered card: the raised one to its left"},
        {72 + 5, -10, 2, "a raised card whose face still reaches the point"},
        {5, -10, -1, "raised band with no raised card to the left"},
        {36 + 5, 40, 3, "middle band: the card whose strip is there"},
        {RowWidth(6), 40, 6, "the rightmost card's right part"},
        {18 + 5, 100, 1, "bottom band under a raised card: the lowered one to its left"},
        {36 + 5, 100, 3, "bottom band over a lowered card"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HitOwnHand(l, selected, 6, {left + c.dx, top + c.dy}), c.card) << c.why;
    }
    EXPECT_EQ(HitOwnHand(l, selected, 0, {left + 5, top + 5}), -1) << "no cards";
    // Bottom band under raised cards 2-6: card 1, the lowered one, is too far left to reach.
    const std::vector<std::uint8_t> mostRaised = {0, 1, 1, 1, 1, 1};
    EXPECT_EQ(HitOwnHand(l, mostRaised, 6, {left + 80, top + 100}), -1);
    EXPECT_EQ(HitOwnHand(l, mostRaised, 6, {left + 60, top + 100}), 1);
}

TEST(TableLayout, ButtonsHitInsideTheirOpenBoxesOnly) {
    const TableLayout l = ComputeTableLayout({1000, 700}, false, true);
    const std::array<std::uint8_t, 3> shown = {1, 1, 1};
    const std::array<std::uint8_t, 3> hidden = {0, 1, 1};
    const QRect lead = PlayButtonRect(l, 1, 0);
    EXPECT_EQ(lead.left(), l.ptOutCards[kBottom].x() - 30) << "one play button stands centred";
    const QRect pass = PlayButtonRect(l, 3, 1);
    EXPECT_EQ(HitPlayButton(l, shown, 3, pass.center()), 1);
    EXPECT_EQ(HitPlayButton(l, shown, 3, pass.topLeft()), -1) << "the edge is no hit";
    EXPECT_EQ(HitPlayButton(l, shown, 3, pass.topLeft() + QPoint(61, 1)), -1);
    EXPECT_EQ(HitPlayButton(l, shown, 3, pass.topLeft() + QPoint(60, 27)), 1);
    EXPECT_EQ(HitPlayButton(l, hidden, 3, pass.center()), -1) << "group hidden";
    const QRect no = DecisionButtonRect(l, 1);
    EXPECT_EQ(HitDecisionButton(l, std::array<std::uint8_t, 2>{1, 1}, no.center()), 1);
    EXPECT_EQ(HitDecisionButton(l, std::array<std::uint8_t, 2>{1, 1}, no.topLeft()), -1);
    const QRect sort = ToolButtonRect(l, 0);
    EXPECT_EQ(HitToolButton(l, std::array<std::uint8_t, 2>{2, 1}, sort.center()), 0);
    EXPECT_EQ(HitToolButton(l, std::array<std::uint8_t, 2>{0, 1}, sort.center()), -1);
}

TEST(TableLayout, SideNamesWrapByWidthUnits) {
    const auto lines = [](std::u16string_view name) { return WrapByWidthUnits(name, 8); };
    EXPECT_EQ(lines(u"五个汉字名"), (std::vector<std::u16string>{u"五个汉字", u"名"}));
    EXPECT_EQ(lines(u"abcdefghij"), (std::vector<std::u16string>{u"abcdefgh", u"ij"}));
    EXPECT_EQ(lines(u"abc汉字de"), (std::vector<std::u16string>{u"abc汉字d", u"e"}));
    EXPECT_TRUE(lines(u"").empty());
}

TEST(TableLayout, WaitingNoticeWidensOnlyForWideTexts) {
    const TableLayout l = ComputeTableLayout({1000, 700}, false, true);
    EXPECT_EQ(WaitingNoticeBox(l, 150), QRect(375, 304, 250, 51));
    const QRect wide = WaitingNoticeBox(l, 250);
    EXPECT_EQ(wide, QRect(348, 304, 304, 51)) << "298 pixels needed: 50 tiles, still centred";
}

}  // namespace
}  // namespace krvo
