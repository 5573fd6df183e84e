// The main window's geometry: where the splitters start and stop, how the
// column collapses and comes back, the zones of the frame and the buttons.

#include <gtest/gtest.h>

#include "chrome/frame_layout.h"

#include <vector>

namespace krvo {
namespace {

TEST(FrameLayout, SplittersStartByTheScreen) {
    const SplitterPositions wide = InitialSplitters({1024, 768});
    EXPECT_EQ(wide.lngSplitterX, 792);
    EXPECT_EQ(wide.lngListSplitY, 256);
    EXPECT_EQ(wide.lngChatSplitY, 5 + 256 + 180 + 4);
    SplitterPositions small = InitialSplitters({800, 600});
    EXPECT_EQ(small.lngSplitterX, 600);
    LayoutMainWindow(small, {800, 568});
    EXPECT_EQ(small.lngSplitterX, 650) << "the first layout raises it";
}

TEST(FrameLayout, RegionsFollowTheSplitters) {
    SplitterPositions p = InitialSplitters({1024, 768});
    const MainLayout l = LayoutMainWindow(p, {1024, 736});
    const int hc = 736 - 4 - 35 - 1;
    EXPECT_EQ(l.splitterBar, QRect(792, 35, 12, hc));
    EXPECT_EQ(l.gameBack, QRect(5, 35, 786, hc));
    const int r = 1024 - 792 - 12 - 2 - 6;
    EXPECT_EQ(l.userButtons, QRect(806, 35, r, 33));
    EXPECT_EQ(l.userList, QRect(806, 68, r, 256 - 68));
    EXPECT_EQ(l.listSplitter, QRect(806, 256, r, 5));
    EXPECT_EQ(l.advertisement, QRect(806, 261, r, 445 - 261));
    EXPECT_EQ(l.chatSplitter, QRect(806, 445, r, 5));
    EXPECT_EQ(l.chat, QRect(806, 450, r, 736 - 4 - 445 - 5 - 2));
    EXPECT_TRUE(l.columnShown);
}

TEST(FrameLayout, RegionsWithoutRoomKeepTheirPlace) {
    SplitterPositions p = InitialSplitters({1024, 768});
    p.lngListSplitY = 60;  // no room for the list
    p.lngChatSplitY = 40;  // above the first splitter: the pane would be negative
    const MainLayout l = LayoutMainWindow(p, {1024, 20});
    EXPECT_FALSE(l.userList);
    EXPECT_FALSE(l.advertisement);
    EXPECT_FALSE(l.chat);
    EXPECT_FALSE(l.splitterBar);
}

TEST(FrameLayout, VerticalBarStaysBetweenItsLimitsAndCollapses) {
    SplitterPositions p = InitialSplitters({1024, 768});
    DropSplitterBar(p, 1024, 2000);
    EXPECT_EQ(p.lngSplitterX, 1024 - 140);
    DropSplitterBar(p, 1024, 10);
    EXPECT_EQ(p.lngSplitterX, 650);
    DropSplitterBar(p, 1024, 700);
    ToggleColumn(p, 1024);
    EXPECT_TRUE(p.blnColumnCollapsed);
    EXPECT_EQ(p.lngSplitterX, 1024 - 14);
    const MainLayout collapsed = LayoutMainWindow(p, {1024, 736});
    EXPECT_FALSE(collapsed.columnShown) << "a column narrower than the bar is hidden";
    ToggleColumn(p, 1400);  // restored after the window grew: the saved place
    EXPECT_FALSE(p.blnColumnCollapsed);
    EXPECT_EQ(p.lngSplitterX, 700);
    // A window so narrow that the column has less than the bar's width.
    EXPECT_FALSE(LayoutMainWindow(p, {700 + 12 + 2 + 6 + 11, 736}).columnShown);
    EXPECT_TRUE(LayoutMainWindow(p, {700 + 12 + 2 + 6 + 12, 736}).columnShown);
    EXPECT_TRUE(SplitterDragAllowed(650, 1024));
    EXPECT_FALSE(SplitterDragAllowed(1024 - 139, 1024));
}

// The bar stays as far from the right edge as the column's content needs,
// wherever it is dropped; where the window is too narrow for that and the
// table's least width both, it stands at its left limit.
TEST(FrameLayout, TheColumnKeepsTheWidthItsContentNeeds) {
    struct Case {
        QSize client;
        int dropBarAt;  // 0: where it starts
        int barLeft;
    };
    const Case cases[] = {{{1024, 570}, 0, 1024 - 20 - 300},
                          {{1024, 570}, 5000, 1024 - 20 - 300},
                          {{1600, 768}, 0, 1224},
                          {{900, 570}, 0, 650}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.client.width() << " " << c.dropBarAt);
        SplitterPositions p = InitialSplitters({c.client.width(), 600});
        p.columnMinimum = 300;
        if (c.dropBarAt > 0) DropSplitterBar(p, c.client.width(), c.dropBarAt);
        const MainLayout l = LayoutMainWindow(p, c.client);
        ASSERT_TRUE(l.splitterBar && l.chat);
        EXPECT_EQ(l.splitterBar->left(), c.barLeft);
        if (c.barLeft > 650) {
            EXPECT_GE(l.chat->width(), 300);
        }
    }
}

TEST(FrameLayout, DroppedSplittersMoveTheOtherOneAndKeepThePane) {
    const QSize client(1024, 736);
    SplitterPositions p = InitialSplitters({1024, 768});
    const QRect list(806, 68, 198, 188);
    const MainLayout up = DropListSplitter(p, client, list, 100);
    EXPECT_EQ(p.lngListSplitY, 200);
    EXPECT_EQ(up.advertisement, QRect(806, 205, 198, 180));
    EXPECT_EQ(up.chatSplitter->top(), 385);
    EXPECT_EQ(p.lngChatSplitY, 445) << "only the dragged splitter's place is kept";
    DropListSplitter(p, client, list, 1000);
    EXPECT_EQ(p.lngListSplitY, 736 - 280);
    const MainLayout down = DropChatSplitter(p, client, list, 2000);
    EXPECT_EQ(p.lngChatSplitY, 636);
    EXPECT_EQ(down.advertisement, QRect(806, 456, 198, 180));
    EXPECT_EQ(down.listSplitter->top(), 451);
    DropChatSplitter(p, client, list, 0);
    EXPECT_EQ(p.lngChatSplitY, 380);
    // Dropped past the list splitter's stored place, the chat splitter takes
    // it along: the next layout finds them in order, the pane as drawn.
    EXPECT_EQ(p.lngListSplitY, 195);
    const MainLayout again = LayoutMainWindow(p, client);
    EXPECT_EQ(again.listSplitter->top(), 195);
    EXPECT_EQ(again.chatSplitter->top(), 380);
    EXPECT_EQ(again.advertisement, QRect(806, 200, 1024 - 792 - 20, 180));
}

// Whichever splitter is dropped wherever, the next layouts at any height keep
// the pane, of at least its minimum height, between them and the chat inside.
TEST(FrameLayout, DroppedSplittersStayInOrderAtEveryHeight) {
    struct Drop {
        bool list;
        int y;
    };
    const std::vector<std::vector<Drop>> sequences = {
        {{true, 2000}},  // the list splitter past the chat splitter
        {{true, 440}},   // onto it
        {{false, 0}, {true, 2000}},
        {{false, 2000}, {true, 2000}, {false, 0}},
    };
    const QSize client(1024, 736);
    const QRect list(806, 68, 198, 188);
    for (std::size_t i = 0; i < sequences.size(); ++i) {
        SplitterPositions p = InitialSplitters({1024, 768});
        for (const Drop& d : sequences[i]) {
            d.list ? DropListSplitter(p, client, list, d.y)
                   : DropChatSplitter(p, client, list, d.y);
        }
        for (int height : {736, 650, 570}) {
            SCOPED_TRACE(::testing::Message() << "sequence " << i << " at " << height);
            const MainLayout l = LayoutMainWindow(p, {1024, height});
            ASSERT_TRUE(l.advertisement && l.chat);
            EXPECT_GE(l.advertisement->height(), kAdvertisementMinHeight);
            EXPECT_LE(l.chat->bottom(), height - 4);
        }
    }
}

// Wherever the bar was left, on whatever screen, every size the window's
// minimum allows shows the caption, the column's three buttons and the chat.
TEST(FrameLayout, CaptionAndColumnStayInTheWindowAtEverySize) {
    struct Case {
        QSize screen;
        int dropBarAt;  // 0: the bar stays where it starts
        bool collapse;
    };
    const Case cases[] = {{{1920, 1080}, 5000, false},
                          {{2560, 1440}, 0, false},
                          {{1920, 1080}, 0, true},
                          {{1024, 768}, 5000, false}};
    for (const Case& c : cases) {
        SplitterPositions p = InitialSplitters(c.screen);
        const QSize full(c.screen.width(), c.screen.height() - 32);
        if (c.dropBarAt > 0) DropSplitterBar(p, full.width(), c.dropBarAt);
        if (c.collapse) ToggleColumn(p, full.width());
        for (const QSize client : {QSize(800, 570), QSize(1000, 900), full}) {
            SCOPED_TRACE(::testing::Message() << c.screen.width() << " " << c.dropBarAt << " in "
                                              << client.width() << "x" << client.height());
            const MainLayout l = LayoutMainWindow(p, client);
            ASSERT_TRUE(l.splitterBar);
            // The caption is drawn only while the bar ends inside the window.
            EXPECT_LT(l.splitterBar->right() + 1, client.width());
            if (c.collapse) continue;
            ASSERT_TRUE(l.columnShown && l.userButtons && l.chat);
            for (const QPoint place : UserButtonPlaces(l.userButtons->width())) {
                EXPECT_LE(place.x() + kUserButtonSize.width(), l.userButtons->width());
            }
            EXPECT_GE(l.chat->height(), 80);
            EXPECT_LE(l.chat->bottom(), client.height() - 4);
        }
        // A window that grows again finds the bar where it was left.
        EXPECT_EQ(LayoutMainWindow(p, full).splitterBar->left(), p.lngSplitterX);
    }
}

TEST(FrameLayout, ZonesAtTheirExactBoundaries) {
    const QRect window(100, 50, 800, 600);  // right 900, bottom 650
    struct Case {
        QPoint pointer;
        bool overButton;
        FrameZone zone;
    };
    const Case cases[] = {
        {{101, 54}, false, FrameZone::LeftUp},
        {{101, 55}, false, FrameZone::Left},
        {{105, 55}, false, FrameZone::None},  // y = top + 5: neither band
        {{105, 56}, false, FrameZone::Move},
        {{105, 84}, false, FrameZone::Move},
        {{105, 85}, false, FrameZone::None},
        {{500, 60}, true, FrameZone::None},
        {{896, 646}, false, FrameZone::RightDown},
        {{896, 60}, false, FrameZone::Right},
        {{895, 646}, false, FrameZone::Down},
        {{896, 52}, false, FrameZone::RightUp},
        {{102, 649}, false, FrameZone::LeftDown},
        {{500, 10}, false, FrameZone::Up},  // outside the window, above it
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClassifyFrameZone(window, c.pointer, c.overButton), c.zone)
            << c.pointer.x() << "," << c.pointer.y();
    }
    EXPECT_EQ(ResizeEdges(FrameZone::LeftUp), Qt::LeftEdge | Qt::TopEdge);
    EXPECT_EQ(ResizeEdges(FrameZone::Move), Qt::Edges());
}

TEST(FrameLayout, ButtonsHitStrictlyInside) {
    const auto slots_ = SysButtonSlots(1000);
    EXPECT_EQ(slots_[0], QPoint(900, 7));
    EXPECT_EQ(SysButtonAt(slots_, {927, 8}), 1);
    EXPECT_EQ(SysButtonAt(slots_, {926, 8}), -1) << "on the left edge";
    EXPECT_EQ(SysButtonAt(slots_, {946, 27}), 1);
    EXPECT_EQ(SysButtonAt(slots_, {946, 28}), -1);
    EXPECT_EQ(SysButtonAt(slots_, {947, 27}), -1);
    const auto places = UserButtonPlaces(300);
    EXPECT_EQ(places[0], QPoint(70, 4));
    EXPECT_EQ(places[1], QPoint(190, 4));
    EXPECT_EQ(places[2], QPoint(130, 4)) << "the market button stands between";
    EXPECT_EQ(UserButtonAt(places, {150, 15}), 2);
    EXPECT_EQ(UserButtonAt(places, {111, 15}), -1);
    // A column too narrow for the market between the two: three even places.
    const auto narrow = UserButtonPlaces(130);
    EXPECT_EQ(narrow[0], QPoint(1, 4));
    EXPECT_EQ(narrow[2], QPoint(44, 4));
    EXPECT_EQ(narrow[1], QPoint(87, 4));
}

}  // namespace
}  // namespace krvo
