// A prop used at the table: its picture, framed, over the face of the player
// it was used on, for a moment, while everything else goes on.

#include <algorithm>

#include "render/prop_show.h"
#include "ui/render/table_picture_fixture.h"

namespace krvo::testing {
namespace {

TEST_F(TablePictureTest, AUsedPropShowsOverItsTargetForAMomentWithoutWaiting) {
    renderer.setClock(loop.clock());
    const QImage before = repaint().copy();
    const std::int64_t start = loop.clock().nowMs();
    renderer.showPropUsed(99, 3);  // no such chair
    renderer.showPropUsed(3, 99);  // no such picture
    EXPECT_TRUE(renderer.image() == before);

    renderer.showPropUsed(1, 3);  // chair 1 sits on the right
    EXPECT_EQ(loop.clock().nowMs(), start) << "it returns at once";
    // Centred on the face, kept inside the table, in a frame.
    const QImage picture = Artwork("Res/DaoJu/DaoJuInfo_3.bmp");
    ASSERT_EQ(picture.size(), QSize(kPropPictureSize, kPropPictureSize));
    const int side = kPropPictureSize + 2 * kPropFrameWidth;
    const QPoint face = layout().ptUserFace[static_cast<std::size_t>(pub.bteViewPos[1])];
    // Clear of the edge pieces: 12 pixels from the table's edge.
    const QPoint corner(std::min(face.x() + 16 - side / 2, 1000 - side - 12),
                        std::clamp(face.y() + 16 - side / 2, 12, 700 - side - 12));
    const QPoint inside = corner + QPoint(kPropFrameWidth, kPropFrameWidth);
    const auto expectShown = [&](const char* when) {
        const QImage& now = renderer.image();
        EXPECT_EQ(Rgb(now.pixel(corner)), Rgb(kPropFrameColour)) << when;
        for (int y = 0; y < picture.height(); y += 7) {
            for (int x = 0; x < picture.width(); x += 7) {
                ASSERT_EQ(Rgb(now.pixel(inside + QPoint(x, y))), Rgb(picture.pixel(x, y)))
                    << when << " " << x << "," << y;
            }
        }
    };
    expectShown("shown");
    repaint();
    expectShown("after a full repaint");

    loop.clock().advance(kPropShowMs - 1);
    expectShown("just before its time is up");
    loop.clock().advance(1);
    EXPECT_TRUE(renderer.image() == before) << "the table as it was";
}

}  // namespace
}  // namespace krvo::testing
