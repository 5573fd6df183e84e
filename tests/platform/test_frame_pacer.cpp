// A window is painted at most once per display frame.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPaintEvent>
#include <QWidget>
#include <cmath>
#include <limits>

#include "platform/frame_pacer.h"
#include "support/qt_test_application.h"

namespace krvo {
namespace {

class PaintCounter final : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

TEST(FramePacer, PaintsAtOnceAfterAQuietFrameAndGathersTheRest) {
    testing::EnsureQtApplication();
    PaintCounter window;
    std::int64_t now = 0;
    auto* pacer = new FramePacer(&window, [&] { return now; });
    window.resize(100, 100);
    window.show();
    QCoreApplication::processEvents();
    const auto paintsAfter = [&](std::int64_t at) {
        now = at;
        const int before = window.paints;
        window.update();
        QCoreApplication::processEvents();
        return window.paints - before;
    };

    ASSERT_EQ(paintsAfter(1000), 1);
    EXPECT_EQ(paintsAfter(1005), 0);  // the same frame: held back
    EXPECT_EQ(paintsAfter(1010), 0);
    EXPECT_TRUE(pacer->pending());
    const int held = window.paints;
    pacer->endFrame();
    QCoreApplication::processEvents();
    EXPECT_EQ(window.paints, held + 1);  // both changes in one picture
    EXPECT_FALSE(pacer->pending());
    EXPECT_EQ(paintsAfter(1040), 1);  // a frame later: at once
}

TEST(FramePacer, FrameFollowsTheScreensRefreshRate) {
    testing::EnsureQtApplication();
    QWidget window;
    FramePacer pacer(&window);
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
}  // namespace krvo
