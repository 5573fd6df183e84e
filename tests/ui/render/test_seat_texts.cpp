// The table's texts read from across the table: the seconds beside the
// turn's clock, the cards left over a dark shadow, captions inside their
// buttons.

#include "render/scene_paint.h"
#include "ui/render/table_picture_fixture.h"

namespace krvo::testing {
namespace {

int pixelsWhere(const QImage& image, const QRect& area, const auto& wanted) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) count += wanted(image.pixel(x, y));
    }
    return count;
}
// The shadow's colour, or mostly it where its edge blends with the table.
bool shadow(QRgb pixel) {
    return qRed(pixel) < 40 && qGreen(pixel) < 60 && qBlue(pixel) < 100;
}

TEST_F(TablePictureTest, SeatClockShowsTheSecondsLeftBesideItWarmerInTheLastFive) {
    table.btePlayTime = 30;
    const QImage before = repaint().copy();
    const QRgb yellow = qRgb(255, 255, 0);
    const QRgb warm = qRgb(255, 120, 80);
    for (const std::uint8_t chair : {0, 1, 2, 3}) {
        const int position = pub.bteViewPos[chair];
        const QPoint clock = ClockOrigin(layout(), position);
        // Right of the clock; left of it for the seat by the table's right edge.
        const QRect beside(clock.x() + (position == kRight ? -45 : 32), clock.y() + 8, 44, 34);
        for (const auto& [ticks, ink, other] : {std::tuple{3, yellow, warm}, {27, warm, yellow}}) {
            renderer.invalidateClock(chair, ticks);
            const QImage& image = renderer.image();
            const auto is = [](QRgb colour) {
                return [colour](QRgb p) { return Rgb(p) == Rgb(colour); };
            };
            EXPECT_GT(pixelsWhere(image, beside, is(ink)), 8) << int(chair) << " at " << ticks;
            EXPECT_EQ(pixelsWhere(image, beside, is(other)), 0) << int(chair) << " at " << ticks;
            EXPECT_GT(pixelsWhere(image, beside, shadow), 8) << int(chair) << " at " << ticks;
        }
        renderer.eraseClock(chair);
        EXPECT_TRUE(renderer.image() == before) << int(chair);
    }
}

TEST_F(TablePictureTest, CardsLeftStandOnADarkShadow) {
    const QImage& image = repaint();
    for (const int position : {kTop, kLeft, kBottom, kRight}) {
        const QPoint place = RemainingCountPlace(layout(), position);
        EXPECT_GT(pixelsWhere(image, QRect(place, QSize(40, 20)), shadow), 8) << position;
        EXPECT_GT(pixelsWhere(image, QRect(place + QPoint(40, -3), QSize(30, 24)), shadow), 8)
            << position;
    }
}

// The table's face keeps the proportions its fixed places are laid out for:
// a taller face pushes a caption out through its button's bottom edge.
TEST_F(TablePictureTest, DecisionCaptionsStayInsideTheirButtons) {
    table.bteRoundState = kRoundShowRedAces;
    const QImage bare = repaint().copy();
    table.bteLiangBut = {1, 1};
    repaint();
    for (const int button : {0, 1}) {
        const QRect box = DecisionButtonRect(layout(), button);
        const QRect below(box.left(), box.bottom() + 1, box.width(), 6);
        EXPECT_TRUE(renderer.image().copy(below) == bare.copy(below)) << button;
    }
}

}  // namespace
}  // namespace krvo::testing
