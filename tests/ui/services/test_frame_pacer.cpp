// A window is painted at most once per display frame.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPaintEvent>
#include <QWidget>

#include "services/frame_pacer.h"
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

}  // namespace
}  // namespace krvo
