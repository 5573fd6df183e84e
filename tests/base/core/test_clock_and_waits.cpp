#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "core/clock.h"
#include "core/waits.h"

namespace krvo {
namespace {

TEST(ManualClock, TimersFireInDueOrderAndRepeat) {
    ManualClock clock;
    std::vector<std::pair<char, std::int64_t>> fired;
    auto a = clock.createTimer([&] { fired.emplace_back('a', clock.nowMs()); });
    auto b = clock.createTimer([&] { fired.emplace_back('b', clock.nowMs()); });
    a->start(1000);
    b->start(1500, true);
    clock.advance(3100);
    EXPECT_EQ(fired, (std::vector<std::pair<char, std::int64_t>>{
                         {'a', 1000}, {'b', 1500}, {'a', 2000}, {'a', 3000}}));
    EXPECT_TRUE(a->isActive());
    EXPECT_FALSE(b->isActive());
    EXPECT_EQ(clock.nowMs(), 3100);
}

TEST(ManualClock, CallbackMayStopRestartOrDestroyTimers) {
    ManualClock clock;
    int ticks = 0;
    std::unique_ptr<Timer> self;
    self = clock.createTimer([&] {
        if (++ticks == 2) self.reset();  // destroyed from inside its own callback
    });
    self->start(10);
    clock.advance(100);
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(clock.activeTimers(), 0u);

    int restarts = 0;
    std::unique_ptr<Timer> restarting;
    restarting = clock.createTimer([&] {
        if (++restarts < 3) restarting->start(50, true);
    });
    restarting->start(50, true);
    clock.advance(1000);
    EXPECT_EQ(restarts, 3);
}

TEST(ManualClock, NestedAdvanceNeverRunsTimeBackwards) {
    ManualClock clock;
    std::vector<std::int64_t> seen;
    auto late = clock.createTimer([&] { seen.push_back(clock.nowMs()); });
    late->start(300, true);
    auto nesting = clock.createTimer([&] {
        clock.advance(500);  // a wait inside a timer callback
        seen.push_back(clock.nowMs());
    });
    nesting->start(100, true);
    clock.advance(200);
    EXPECT_EQ(seen, (std::vector<std::int64_t>{300, 600}));
    EXPECT_EQ(clock.nowMs(), 600);
}

TEST(ManualClock, TimerOutlivingItsClockIsHarmless) {
    std::unique_ptr<Timer> orphan;
    {
        ManualClock clock;
        orphan = clock.createTimer([] {});
        orphan->start(10);
    }
    EXPECT_FALSE(orphan->isActive());
    orphan->start(10);
    orphan->stop();
}

struct WaitFixture : ::testing::Test {
    ManualClock clock;
    int pumps = 0;
    bool endRequested = false;
    int endings = 0;
    std::function<void()> onPump;
    Waiter waiter{clock,
                  [this](std::int64_t maxMs) {
                      ++pumps;
                      if (onPump) onPump();
                      clock.advance(std::min<std::int64_t>(maxMs, 100));
                  },
                  [this] { return endRequested; }, [this] { ++endings; }};
};

TEST_F(WaitFixture, WaitPumpsUntilTheTimeHasPassed) {
    int fired = 0;
    auto timer = clock.createTimer([&] { ++fired; });
    timer->start(500);
    EXPECT_TRUE(waiter.waitMilliseconds(2000));
    EXPECT_EQ(clock.nowMs(), 2000);
    EXPECT_EQ(pumps, 20);
    EXPECT_EQ(fired, 4);  // timers keep running inside the wait
    EXPECT_TRUE(waiter.waitMilliseconds(0));
    EXPECT_EQ(pumps, 20);
}

TEST_F(WaitFixture, EndRequestedInsideAWaitEndsOnceAndReturnsAtOnce) {
    onPump = [this] {
        if (clock.nowMs() >= 300) endRequested = true;
    };
    EXPECT_FALSE(waiter.waitMilliseconds(5000));
    EXPECT_LT(clock.nowMs(), 1000);
    EXPECT_EQ(endings, 1);
    EXPECT_FALSE(waiter.pumpEvents());
    EXPECT_FALSE(waiter.waitMilliseconds(2000));
    EXPECT_EQ(endings, 1);
    EXPECT_TRUE(waiter.ending());
}

TEST_F(WaitFixture, NestedWaitEndsTheOuterOneToo) {
    bool innerResult = true;
    bool nested = false;
    onPump = [&] {
        if (nested) return;
        nested = true;
        endRequested = true;
        innerResult = waiter.waitMilliseconds(1000);
    };
    EXPECT_FALSE(waiter.waitMilliseconds(2000));
    EXPECT_FALSE(innerResult);
    EXPECT_EQ(endings, 1);
}

TEST_F(WaitFixture, PacketHoldsNestAndOnlyTheOutermostEndReleases) {
    int releases = 0;
    waiter.setPacketsReleased([&] {
        ++releases;
        EXPECT_FALSE(waiter.holdingPackets());
    });
    {
        const Waiter::PacketHold outer(waiter);
        { const Waiter::PacketHold inner(waiter); }
        EXPECT_TRUE(waiter.holdingPackets());
        EXPECT_TRUE(waiter.waitMilliseconds(500));  // a held wait still pumps
        EXPECT_EQ(pumps, 5);
    }
    EXPECT_FALSE(waiter.holdingPackets());
    EXPECT_EQ(releases, 1);
}

// Each kind of loop counts one level however many steps it takes; past the
// limit packets are held, and released once, as the loops unwind below it.
TEST_F(WaitFixture, PacketsAreHeldWhileLoopsNestPastTheLimit) {
    const std::function<bool()> loops[] = {
        [this] { return waiter.waitMilliseconds(300); },
        [this] {
            int steps = 0;
            return waiter.waitUntil([&steps] { return ++steps > 3; }, 100);
        },
        [this] { return waiter.waitForEvents(100); },
        [this] { return waiter.pumpEvents(); },
    };
    constexpr int kDeepest = Waiter::kMaxNestedLoops + 2;
    for (std::size_t kind = 0; kind < std::size(loops); ++kind) {
        SCOPED_TRACE(kind);
        std::vector<bool> heldAtDepth;
        int releases = 0;
        waiter.setPacketsReleased([&] { ++releases; });
        // Every level opens the next one at its first step.
        onPump = [&] {
            const int depth = waiter.nestedLoops();
            if (static_cast<int>(heldAtDepth.size()) >= depth) return;
            heldAtDepth.push_back(waiter.holdingPackets());
            if (depth < kDeepest) loops[kind]();
        };
        EXPECT_TRUE(loops[kind]());
        EXPECT_EQ(heldAtDepth, (std::vector<bool>{false, false, false, true, true, true}));
        EXPECT_EQ(releases, 1);
        EXPECT_EQ(waiter.nestedLoops(), 0);
        EXPECT_FALSE(waiter.holdingPackets());
    }
}

// A pause runs its length unless the program falls behind the packets
// waiting for it: then it ends after the step it is in, or at once.
TEST_F(WaitFixture, PauseEndsOnceThePacketsWaitingForItPileUp) {
    const struct {
        std::int64_t behindFromMs;  // -1: never behind
        std::int64_t endsAtMs;
    } cases[] = {{-1, 2000}, {0, 0}, {450, 500}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.behindFromMs);
        const std::int64_t start = clock.nowMs();
        waiter.setFallenBehind(
            [&] { return c.behindFromMs >= 0 && clock.nowMs() - start >= c.behindFromMs; });
        EXPECT_TRUE(waiter.pause(2000));
        EXPECT_EQ(clock.nowMs() - start, c.endsAtMs);
    }
}

}  // namespace
}  // namespace krvo
