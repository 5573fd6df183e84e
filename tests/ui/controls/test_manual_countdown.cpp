// The countdown bar that code without Qt uses (the fuzz targets) against the
// real time bar: the same starts and listeners give the same reports, second
// by second, so what runs on the double could happen in the program.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/clock.h"
#include "controls/ko_clock.h"
#include "support/manual_countdown.h"
#include "support/qt_test_application.h"

namespace krvo::testing {
namespace {

// What a listener does to the bar it hears.
enum class Listener { Quiet, StopOnWarning, RestartOnSecondTick, StopOnTimeOut };

struct Scenario {
    const char* what;
    int warning;
    int total;
    Listener listener;
    int seconds;
};

// One letter per report (t tick, w warning, o time-out), "|" after each second.
std::string Reports(CountdownBar& bar, ManualClock& clock, const Scenario& s) {
    std::string log;
    int ticks = 0;
    bar.setEvents({[&] {
                       log += 't';
                       if (++ticks == 2 && s.listener == Listener::RestartOnSecondTick) {
                           bar.start(1, 3);
                       }
                   },
                   [&] {
                       log += 'w';
                       if (s.listener == Listener::StopOnWarning) bar.stop();
                   },
                   [&] {
                       log += 'o';
                       if (s.listener == Listener::StopOnTimeOut) bar.stop();
                   }});
    bar.start(s.warning, s.total);
    for (int second = 0; second < s.seconds; ++second) {
        clock.advance(1000);
        log += '|';
    }
    return log;
}

TEST(ManualCountdown, ReportsAsTheRealTimeBarDoes) {
    EnsureQtApplication();
    const Scenario scenarios[] = {
        {"counts down, warns, times out, then rests", 2, 4, Listener::Quiet, 6},
        {"warning from the first tick", 9, 3, Listener::Quiet, 4},
        {"no warning on the last tick", 0, 2, Listener::Quiet, 3},
        {"nothing to count", 3, 0, Listener::Quiet, 2},
        {"a negative count is none", 3, -4, Listener::Quiet, 2},
        {"stopped by its warning", 3, 5, Listener::StopOnWarning, 6},
        {"restarted by a tick", 1, 4, Listener::RestartOnSecondTick, 6},
        {"stopped by its time-out", 1, 2, Listener::StopOnTimeOut, 4},
    };
    for (const Scenario& s : scenarios) {
        ManualClock realClock;
        KoClock real(realClock);
        ManualClock doubleClock;
        ManualCountdown countdown(doubleClock);
        const std::string expected = Reports(real, realClock, s);
        EXPECT_EQ(Reports(countdown, doubleClock, s), expected) << s.what;
        EXPECT_NE(expected.find('t'), std::string::npos) << s.what;
    }
}

}  // namespace
}  // namespace krvo::testing
