// The table's pictures pixel by pixel against the artwork and the geometry.

#include <random>

#include "ui/render/table_picture_fixture.h"

namespace krvo::testing {
namespace {

TEST_F(TablePictureTest, ToggledCardRepaintEqualsAFullRepaint) {
    std::mt19937 random(2024);
    for (int round = 0; round < 12; ++round) {
        const std::size_t n = 1 + random() % 24;
        table.bteDeckCount = 2;
        table.bteMyPai.clear();
        for (std::size_t i = 0; i < n; ++i) table.bteMyPai.push_back(random() % 52);
        table.bteSelected.assign(n, 0);
        for (auto& flag : table.bteSelected) flag = random() % 3 == 0 ? 1 : 0;
        repaint();
        for (int toggle = 0; toggle < 6; ++toggle) {
            const std::size_t k = 1 + random() % n;
            table.bteSelected[k - 1] ^= 1;
            renderer.invalidateToggledCard(k);
        }
        const QImage toggled = renderer.image().copy();
        TableRenderer fresh(table, pub, loop.waiter());
        fresh.screenWidth = renderer.screenWidth;
        fresh.resize({1000, 700});
        ASSERT_TRUE(toggled == fresh.image()) << "round " << round << " with " << n << " cards";
    }
}

TEST_F(TablePictureTest, OwnCardStandsUpWhenRaised) {
    table.bteMyPai = {12};  // the ace of hearts' neighbour: face 14
    table.bteSelected = {0};
    repaint();
    const QImage face = Artwork("Res/ResPk/Pk14.bmp");
    const QImage mask = Artwork("Res/ResPk/PkMask.bmp");
    const QPoint p = layout().ptHandCards[kBottom];
    const QPoint lowered(p.x() - 40, p.y());
    const auto cardAt = [&](QPoint corner) {
        for (const QPoint inside : {QPoint(40, 10), QPoint(5, 90), QPoint(70, 50)}) {
            const QRgb expected = Composite(kTableColour, mask.pixel(inside), face.pixel(inside));
            if (Rgb(renderer.image().pixel(corner + inside)) != expected) return false;
        }
        return true;
    };
    EXPECT_TRUE(cardAt(lowered));
    EXPECT_EQ(Rgb(renderer.image().pixel(lowered + QPoint(40, -10))), Rgb(kTableColour));
    table.bteSelected[0] = 1;
    renderer.invalidateToggledCard(1);
    EXPECT_TRUE(cardAt(lowered - QPoint(0, 24)));
    EXPECT_EQ(Rgb(renderer.image().pixel(lowered + QPoint(40, 100))), Rgb(kTableColour))
        << "the band the card left is table again";
}

TEST_F(TablePictureTest, RevealedSideHandsSpreadTwentyNinePixelsApart) {
    table.arrSeat[3].bteLeftPai = {0, 1, 2};  // the left seat: faces 2, 3, 4
    repaint();
    const QPoint p = layout().ptHandCards[kLeft];
    const int top = p.y() - ColumnHeight(3) / 2;
    const QImage mask = Artwork("Res/ResPk/PkMask.bmp");
    for (int card = 0; card < 3; ++card) {
        const QImage face = Artwork(QString("Res/ResPk/Pk%1.bmp").arg(card + 2));
        const QPoint inside(40, 15);
        EXPECT_EQ(Rgb(renderer.image().pixel(p.x() + 40, top + card * 29 + 15)),
                  Composite(kTableColour, mask.pixel(inside), face.pixel(inside)))
            << "card " << card;
    }
}

TEST_F(TablePictureTest, AMissingBackOrMaskHidesTheOtherHandsOnly) {
    table.bteMyPai = {5, 6, 7};
    table.bteSelected = {0, 0, 0};
    struct Case {
        const char* missing;
        bool ownHandDrawn;
    };
    for (const Case c : {Case{"PkBack.bmp", true}, Case{"ResPk/PkMask.bmp", false}}) {
        QTemporaryDir copy;
        ASSERT_TRUE(QDir().mkpath(copy.path() + "/Res/ResPk"));
        for (const QString& name :
             QDir(QString::fromStdString(kAppDir) + "Res/ResPk").entryList(QDir::Files)) {
            QFile::copy(QString::fromStdString(kAppDir) + "Res/ResPk/" + name,
                        copy.path() + "/Res/ResPk/" + name);
        }
        QFile::copy(QString::fromStdString(kAppDir) + "Res/PkBack.bmp",
                    copy.path() + "/Res/PkBack.bmp");
        ASSERT_TRUE(QFile::remove(copy.path() + "/Res/" + c.missing));
        pub.strAppPath = copy.path().toStdString() + "/";
        renderer.reloadPictures();
        repaint();
        const QPoint top = layout().ptHandCards[kTop];
        EXPECT_EQ(Rgb(renderer.image().pixel(top + QPoint(0, 50))), Rgb(kTableColour)) << c.missing;
        const QPoint own = layout().ptHandCards[kBottom] + QPoint(30, 50);
        EXPECT_EQ(Rgb(renderer.image().pixel(own)) != Rgb(kTableColour), c.ownHandDrawn)
            << c.missing;
    }
}

TEST_F(TablePictureTest, BombFramesShowOverTheTableAndLeaveItAsItWas) {
    table.arrSeat[0].bteOutPai = {3, 16, 29, 42};
    const QImage before = repaint().copy();
    QImage during;
    BombFrame shown;
    loop.onStep = [&] {
        if (!during.isNull() || !renderer.overlays().bomb) return;
        shown = *renderer.overlays().bomb;
        during = renderer.image().copy();
    };
    const std::int64_t start = loop.clock().nowMs();
    renderer.playBombAnimation(0, 1);
    EXPECT_EQ(loop.clock().nowMs() - start, 9 * 30) << "nine frames, 30 ms each";
    EXPECT_TRUE(renderer.image() == before);
    ASSERT_FALSE(during.isNull());
    const QImage frame = Artwork("Res/Bomb/b1/Blast001.jpg");
    const QPoint q = layout().ptOutCards[kTop];
    ASSERT_EQ(shown.origin, QPoint(q.x() - 90, q.y() - 10));
    int keyed = 0;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const QPoint at = shown.origin + QPoint(x, y);
            const QRgb pixel = Rgb(frame.pixel(x, y));
            const QRgb expected = pixel == 0 ? Rgb(before.pixel(at)) : pixel;
            keyed += pixel == 0;
            ASSERT_EQ(Rgb(during.pixel(at)), expected) << x << "," << y;
        }
    }
    EXPECT_GT(keyed, 0);
}

TEST_F(TablePictureTest, BehindABacklogTheBombTakesNoTimeAndLeavesTheTableAsItWas) {
    table.arrSeat[0].bteOutPai = {3, 16, 29, 42};
    const QImage before = repaint().copy();
    loop.waiter().setFallenBehind([] { return true; });
    const std::int64_t start = loop.clock().nowMs();
    renderer.playBombAnimation(0, 1);
    EXPECT_EQ(loop.clock().nowMs(), start);
    EXPECT_FALSE(renderer.overlays().bomb);
    EXPECT_TRUE(repaint() == before);
}

TEST(ColourKeyPainter, OnlyTheExactKeyLetsTheDestinationThrough) {
    EnsureQtApplication();
    QImage destination(4, 3, QImage::Format_RGB32);
    destination.fill(qRgb(10, 20, 30));
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 255));
    image.setPixel(1, 0, qRgb(254, 255, 255));  // one step from the key: image
    image.setPixel(2, 1, qRgb(7, 7, 7));
    PaintImageByNullBack(destination, image, qRgb(255, 255, 255), {2, 1});
    const QRgb d = qRgb(10, 20, 30);
    const QRgb expected[3][4] = {{d, d, d, d}, {d, d, d, qRgb(254, 255, 255)}, {d, d, d, d}};
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Rgb(destination.pixel(x, y)), Rgb(expected[y][x])) << x << "," << y;
    }
    // Partly left of the destination: only the visible column lands.
    PaintImageByNullBack(destination, image, qRgb(1, 1, 1), {-2, 2});
    EXPECT_EQ(Rgb(destination.pixel(0, 2)), Rgb(qRgb(255, 255, 255)));
    EXPECT_EQ(Rgb(destination.pixel(1, 2)), Rgb(d));
}

TEST_F(TablePictureTest, BordersAreTheEdgePiecesMirrored) {
    const QImage& image = repaint();
    const QImage side = Artwork("Res/GameBackVsBian.bmp");
    const QImage top = Artwork("Res/GameBackHsBian.bmp");
    const QImage corner = Artwork("Res/GameBackJiao.bmp");
    const int sw = 1000;
    const int sh = 700;
    for (int v = 0; v < side.height(); ++v) {
        for (int u = 0; u < side.width(); ++u) {
            EXPECT_EQ(Rgb(image.pixel(7 - u, 300 + v)), Rgb(side.pixel(u, v)));
            EXPECT_EQ(Rgb(image.pixel(sw - 8 + u, 300 + v)), Rgb(side.pixel(u, v)));
        }
    }
    for (int v = 0; v < top.height(); ++v) {
        for (int u = 0; u < top.width(); ++u) {
            EXPECT_EQ(Rgb(image.pixel(500 + u, v)), Rgb(top.pixel(u, v)));
            EXPECT_EQ(Rgb(image.pixel(500 + u, sh - 1 - v)), Rgb(top.pixel(u, v)));
        }
    }
    for (int v = 0; v < 18; ++v) {
        for (int u = 0; u < 18; ++u) {
            EXPECT_EQ(Rgb(image.pixel(18 - u, sh - 1 - v)), Rgb(corner.pixel(u, v)));
            EXPECT_EQ(Rgb(image.pixel(sw - 19 + u, sh - 1 - v)), Rgb(corner.pixel(u, v)));
        }
    }
}

TEST_F(TablePictureTest, ClockFaceTurnsWithTheTicksAndGoesWithTheClock) {
    const QImage before = repaint().copy();
    const QImage clock = Artwork("Res/Clock.bmp");
    const QPoint at = ClockOrigin(layout(), kRight);  // chair 1 sits on the right
    for (const int ticks : {1, 9, 14}) {
        renderer.invalidateClock(1, ticks);
        const int face = ticks % 8;
        for (const QPoint inside : {QPoint(15, 20), QPoint(3, 30)}) {
            const QRgb expected =
                Composite(before.pixel(at + inside), clock.pixel(inside + QPoint(248, 0)),
                          clock.pixel(inside + QPoint(face * 31, 0)));
            EXPECT_EQ(Rgb(renderer.image().pixel(at + inside)), expected) << ticks;
        }
    }
    renderer.eraseClock(1);
    EXPECT_TRUE(renderer.image() == before);
}

TEST_F(TablePictureTest, ResultBoxIsTheDrawBoxWhenTheFirstScoreIsNothing) {
    repaint();
    for (const auto& [scores, size] :
         {std::pair{std::array<std::int32_t, 4>{0, 5, -5, 0}, QSize(240, 140)},
          std::pair{std::array<std::int32_t, 4>{10, -10, 10, -10}, QSize(340, 210)}}) {
        renderer.invalidateRoundResult(scores);
        const QPoint corner((1000 - size.width()) / 2, (700 - size.height()) / 2);
        const QPoint inside = corner + QPoint(size.width() - 19, size.height() - 29);
        EXPECT_EQ(Rgb(renderer.image().pixel(inside)), Rgb(qRgb(247, 207, 156)));
        renderer.invalidateTable();
    }
}

}  // namespace
}  // namespace krvo::testing

namespace krvo::testing {
namespace {

TEST_F(TablePictureTest, TheScreenOfEightHundredPixelsIsTheSmallOne) {
    for (const auto& [screen, gap] : {std::pair{800, 2}, std::pair{801, 20}}) {
        renderer.screenWidth = [screen = screen] { return screen; };
        renderer.layoutTable();
        const QPoint hand = layout().ptHandCards[kTop];
        EXPECT_EQ(layout().ptOutCards[kTop], hand + QPoint(0, lngPkHeight + gap)) << screen;
    }
}

}  // namespace
}  // namespace krvo::testing
