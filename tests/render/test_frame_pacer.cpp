// The table's changes reach the screen at most once per display frame.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "render/frame_pacer.h"
#include "support/qt_test_application.h"

namespace krvo::testing {
namespace {

TEST(FramePacer, ShowsAtOnceAfterAQuietFrameAndGathersTheRest) {
    EnsureQtApplication();
    std::int64_t now = 100;
    std::vector<QRegion> shown;
    FramePacer pacer([&](const QRegion& area) { shown.push_back(area); }, [&] { return now; });
    const QRect a(0, 0, 10, 10), b(50, 0, 10, 10), c(0, 50, 10, 10), d(90, 90, 5, 5);

    pacer.mark(a);  // the first change ever
    EXPECT_EQ(shown, std::vector<QRegion>{QRegion(a)});
    now += 5;
    pacer.mark(b);  // within the frame: waits
    now += 1;
    pacer.mark(c);
    pacer.mark(QRect());
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_TRUE(pacer.pending());
    now = 116;
    pacer.showPending();  // the end of the frame
    EXPECT_EQ(shown.back(), QRegion(b) + c);
    EXPECT_FALSE(pacer.pending());
    now = 120;
    pacer.mark(d);
    EXPECT_EQ(shown.size(), 2u);
    pacer.showPending();
    now = 140;
    pacer.mark(a);  // a frame after the last picture
    EXPECT_EQ(shown, (std::vector<QRegion>{QRegion(a), QRegion(b) + c, QRegion(d), QRegion(a)}));
}

TEST(FramePacer, FrameFollowsTheScreensRefreshRate) {
    EnsureQtApplication();
    FramePacer pacer([](const QRegion&) {});
    const struct {
        double hertz;
        int frameMs;
    } rows[] = {{60, 16},
                {144, 6},
                {30, 33},
                {0, FramePacer::kDefaultFrameMs},
                {-60, FramePacer::kDefaultFrameMs},
                {1e6, FramePacer::kDefaultFrameMs},
                {std::numeric_limits<double>::quiet_NaN(), FramePacer::kDefaultFrameMs}};
    for (const auto& row : rows) {
        pacer.setRefreshRate(row.hertz);
        EXPECT_EQ(pacer.frameMs(), row.frameMs) << row.hertz;
    }
}

}  // namespace
}  // namespace krvo::testing
