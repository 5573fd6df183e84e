// Geometry of the table: anchors in the four layout cases, odd sizes, the hit
// tests of the own hand and of the buttons, name wrapping, and the least
// table that keeps a round apart.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "chrome/frame_layout.h"
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

// What a round of one deck shows on a table of this size, during the local
// player's turn: per seat its icon and name, declaration marks, place mark or
// clock, count of cards left and hand of 12; the panels, the time bar, the
// tool and play buttons. Plays in the centre are left out: long ones meet
// at any size.
std::vector<std::pair<std::string, QRect>> roundElements(QSize size) {
    const TableLayout l = ComputeTableLayout(size, false, true);
    std::vector<std::pair<std::string, QRect>> elements;
    for (int p = kTop; p <= kRight; ++p) {
        const std::string seat = "seat " + std::to_string(p) + " ";
        const QPoint count = RemainingCountPlace(l, p);
        const QPoint a = l.ptHandCards[static_cast<std::size_t>(p)];
        const QRect hand =
            p == kTop ? QRect(RowLeft(a, 12), a.y(), RowWidth(12), lngPkHeight)
            : p == kBottom
                ? QRect(RowLeft(a, 12), a.y() - kRaise, RowWidth(12), lngPkHeight + kRaise)
                : QRect(a.x(), a.y() - ColumnHeight(12) / 2, lngPkWidth, ColumnHeight(12));
        elements.insert(
            elements.end(),
            {{seat + "name", SeatNameArea(l, p)},
             {seat + "marks", DeclarationMarksRect(l, p)},
             {seat + "place", ClockRect(l, p).united({PlaceMarkOrigin(l, p), QSize(48, 46)})},
             {seat + "count", EraseRect(count.x(), count.y(), 63, 13)},
             {seat + "hand", hand}});
    }
    elements.insert(elements.end(),
                    {{"declaration panel", {10, 30, 78, 4 * 36}},
                     {"score panel", {ScorePanelOrigin(l), QSize(189, 99)}},
                     {"time bar", QRect(kTimeBarHead, kTimeBarEnd + QPoint(7, 14))},
                     {"tool buttons", ToolButtonRect(l, 0).united(ToolButtonRect(l, 1))}});
    for (int i = 0; i < 3; ++i) {
        elements.emplace_back("play button " + std::to_string(i), PlayButtonRect(l, 3, i));
    }
    return elements;
}

// The pairs a table with room to spare keeps apart, and those of them that
// meet on a table of this size.
std::vector<std::string> collisions(QSize size) {
    const auto roomy = roundElements({3000, 2000});
    const auto shown = roundElements(size);
    std::vector<std::string> met;
    for (std::size_t i = 0; i < roomy.size(); ++i) {
        for (std::size_t j = i + 1; j < roomy.size(); ++j) {
            if (roomy[i].second.intersects(roomy[j].second)) continue;
            if (shown[i].second.intersects(shown[j].second)) {
                met.push_back(shown[i].first + " / " + shown[j].first);
            }
        }
    }
    return met;
}

TEST(TableLayout, TheDesignSizeIsTheLeastThatKeepsARoundApart) {
    EXPECT_EQ(collisions(kTableDesignSize), std::vector<std::string>{});
    EXPECT_EQ(collisions(kTableDesignSize - QSize(1, 0)),
              std::vector<std::string>{"seat 0 marks / time bar"});
    EXPECT_EQ(collisions(kTableDesignSize - QSize(0, 1)),
              std::vector<std::string>{"seat 1 hand / declaration panel"});
}

// The table's place in a window on common small screens: laid out at least
// at the design size, it keeps the round apart, and shown scaled it fills
// the place to within a pixel.
TEST(TableLayout, SmallScreensShowTheDesignScaledDown) {
    for (const QSize screen : {QSize(1024, 600), QSize(1280, 800), QSize(1366, 768)}) {
        SCOPED_TRACE(::testing::Message() << screen.width() << "x" << screen.height());
        SplitterPositions splitters = InitialSplitters(screen);
        splitters.columnMinimum = 280;
        const QSize client =
            QSize(screen.width(), screen.height() - 32).expandedTo(kMinimumWindowSize);
        const std::optional<QRect> place = LayoutMainWindow(splitters, client).gameBack;
        ASSERT_TRUE(place);
        const TableFit fit = FitTable(place->size());
        EXPECT_LT(fit.scale, 1.0) << "lower than the design";
        EXPECT_GE(fit.table.width(), kTableDesignSize.width());
        EXPECT_GE(fit.table.height(), kTableDesignSize.height());
        EXPECT_EQ(collisions(fit.table), std::vector<std::string>{});
        const QSizeF shown = QSizeF(fit.table) * fit.scale;
        EXPECT_LE(shown.width(), place->width());
        EXPECT_LE(shown.height(), place->height());
        EXPECT_GT(shown.width() + 1, place->width());
        EXPECT_GT(shown.height() + 1, place->height());
    }
    EXPECT_EQ(FitTable({1200, 900}).table, QSize(1200, 900)) << "large enough: as it is";
    EXPECT_EQ(FitTable({1200, 900}).scale, 1.0);
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
