// The previous trick on view: what happens meanwhile shows at once, and the
// current trick comes back whole when the view ends.

#include <QPainter>

#include "ui/render/table_picture_fixture.h"

namespace krvo::testing {
namespace {

constexpr std::uint8_t kRight = 1;

class PreviousTrickTest : public TablePictureTest {
protected:
    PreviousTrickTest() {
        const CardList previous[] = {{1}, {2, 15}, {3, 16, 29}, {kPassMarker}};
        for (std::uint8_t chair = 0; chair < kChairCount; ++chair) {
            table.arrSeat[chair].bteLastOutPai = previous[chair];
        }
        table.arrSeat[0].bteOutPai = {20};
        repaint();
    }
    // The table as a renderer of its own draws it for the state as it is.
    QImage reference(TrickView view) {
        TableRenderer fresh(table, pub, loop.waiter());
        fresh.screenWidth = renderer.screenWidth;
        fresh.resize({1000, 700});
        fresh.invalidateTableCentre(view);
        return fresh.image().copy();
    }
    // Where a chair's plays of both tricks lie.
    QRect seatPlays(std::uint8_t chair) const {
        const SeatInfo& seat = table.arrSeat[chair];
        const int position = pub.bteViewPos[chair];
        return PlayRect(layout(), position, seat.bteOutPai)
            .united(PlayRect(layout(), position, seat.bteLastOutPai));
    }
};

// Another seat plays, the own seat's turn takes its play away, and the player
// plays: each shows as it comes, the other seats keep the previous trick.
TEST_F(PreviousTrickTest, PlaysMadeDuringTheViewShowAtOnce) {
    renderer.invalidateTableCentre(TrickView::Previous);
    renderer.image();  // each change shown before the next comes
    table.arrSeat[kRight].bteOutPai = {30, 31};
    renderer.invalidateSeatPlay(kRight);
    renderer.image();
    const QRect mine = seatPlays(kMe);
    renderer.eraseSeatPlay(kMe);
    table.arrSeat[kMe].bteLastOutPai.clear();
    EXPECT_TRUE(renderer.image().copy(mine) == reference(TrickView::Previous).copy(mine))
        << "the own seat's previous play left when its turn came";
    table.arrSeat[kMe].bteOutPai = {40};
    renderer.invalidateSeatPlay(kMe);

    QImage expected = reference(TrickView::Previous);
    const QImage current = reference(TrickView::Current);
    QPainter painter(&expected);
    for (const QRect& area : {seatPlays(kRight), mine.united(seatPlays(kMe))}) {
        painter.drawImage(area.topLeft(), current, area);
    }
    painter.end();
    EXPECT_TRUE(renderer.image() == expected);
}

// The previous trick covers the play buttons; drawn again (a turn comes) they
// show over it, and when the view ends the current trick and the buttons are back.
TEST_F(PreviousTrickTest, PlayButtonsShowOnlyWhenDrawnOverTheView) {
    table.bteOutBut.fill(kButtonShown);
    repaint();
    renderer.invalidateTableCentre(TrickView::Previous);
    table.bteOutBut.fill(kButtonHidden);
    const QImage covered = reference(TrickView::Previous);
    table.bteOutBut.fill(kButtonShown);
    EXPECT_TRUE(renderer.image() == covered) << "no buttons over the previous trick";

    renderer.invalidatePlayButtons();
    const QImage buttons = Artwork("Res/UserOutBut.bmp");
    for (int i = 0; i < 3; ++i) {
        const QRect button = PlayButtonRect(layout(), 3, i);
        for (int v = 0; v < button.height(); ++v) {
            for (int u = 0; u < button.width(); ++u) {
                const QPoint p = button.topLeft() + QPoint(u, v);
                ASSERT_EQ(Rgb(renderer.image().pixel(p)),
                          Composite(covered.pixel(p), buttons.pixel(366 + u, v),
                                    buttons.pixel(i * 61 + u, v)))
                    << "button " << i << " at " << u << "," << v;
            }
        }
    }

    renderer.invalidateTableCentre(TrickView::Current);
    renderer.invalidatePlayButtons();
    EXPECT_TRUE(renderer.image() == reference(TrickView::Current));
}

}  // namespace
}  // namespace krvo::testing
