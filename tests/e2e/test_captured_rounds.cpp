// The captured rounds that the benchmarks replay and the fuzz seeds are cut
// from: whole rounds, the reports that visitors get, the same bytes every
// time, and a replay through the client's handlers that ends where the
// engine ended.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "support/captured_rounds.h"
#include "support/quiet_table.h"

namespace krvo::testing {
namespace {

constexpr std::uint8_t kRoundStart = 17;
constexpr std::uint8_t kDeal = 19;
constexpr std::uint8_t kPlay = 21;
constexpr std::uint8_t kRoundEnd = 23;
constexpr std::uint8_t kReport = 109;

const CapturedRounds& twoRounds() {
    static const CapturedRounds captured = CaptureRounds({.seed = 7, .rounds = 2});
    return captured;
}

int countOf(const std::vector<Packet>& packets, std::uint8_t id) {
    return static_cast<int>(std::count_if(packets.begin(), packets.end(), [id](const Packet& p) {
        return !p.empty() && p[0] == id;
    }));
}

TEST(CapturedRounds, ThePlayerSeesEveryRoundFromStartToEnd) {
    const std::vector<Packet> mine = twoRounds().receivedBy(CapturedRounds::kMe);
    EXPECT_EQ(twoRounds().roundsPlayed, 2);
    EXPECT_EQ(countOf(mine, kRoundStart), 2);
    EXPECT_EQ(countOf(mine, kDeal), 2);
    EXPECT_EQ(countOf(mine, kRoundEnd), 2);
    // The capture ends with the last round over: no play after its end.
    const auto lastEnd =
        std::find_if(mine.rbegin(), mine.rend(), [](const Packet& p) { return p[0] == kRoundEnd; });
    EXPECT_EQ(countOf(std::vector<Packet>(mine.rbegin(), lastEnd), kPlay), 0);
}

// Every answer and play of the people is accepted in time, so the traffic
// is that of people playing, not of the engine's time-outs.
TEST(CapturedRounds, ThePeoplePlayEveryTurnThemselves) {
    constexpr std::uint8_t kRefused = 22;
    for (std::uint8_t chair = 0; chair < 3; ++chair) {
        EXPECT_EQ(twoRounds().finalView.autoPlays[chair], 0) << "chair " << +chair;
    }
    for (const ClientId person : {CapturedRounds::kNorth, CapturedRounds::kWest,
                                  CapturedRounds::kMe, CapturedRounds::kWestAgain}) {
        EXPECT_EQ(countOf(twoRounds().receivedBy(person), kRefused), 0) << "client " << person;
    }
}

// Each visitor arrives while cards are being played: the report is the only
// way it learns the table, and plays follow it.
TEST(CapturedRounds, VisitorsArriveDuringTrickPlayAndGetOneReport) {
    for (const ClientId visitor : {CapturedRounds::kLateOnlooker, CapturedRounds::kWestAgain}) {
        const std::vector<Packet> packets = twoRounds().receivedBy(visitor);
        EXPECT_EQ(countOf(packets, kReport), 1) << "client " << visitor;
        const auto report = std::find_if(packets.begin(), packets.end(),
                                         [](const Packet& p) { return p[0] == kReport; });
        ASSERT_NE(report, packets.end());
        EXPECT_GT(countOf(std::vector<Packet>(report, packets.end()), kPlay), 0);
        EXPECT_LT(countOf(packets, kPlay),
                  countOf(twoRounds().receivedBy(CapturedRounds::kMe), kPlay));
    }
}

TEST(CapturedRounds, TheSameSetupGivesTheSameBytes) {
    const CapturedRounds again = CaptureRounds({.seed = 7, .rounds = 2});
    ASSERT_EQ(again.events.size(), twoRounds().events.size());
    for (std::size_t i = 0; i < again.events.size(); ++i) {
        EXPECT_EQ(again.events[i].packet, twoRounds().events[i].packet) << "event " << i;
    }
}

// The client's table after the replay of everything a viewer received: its
// seat and view, and the totals the engine ended with.
TEST(QuietTable, AReplayEndsInTheEnginesScores) {
    const struct {
        ClientId client;
        const char* name;
        bool onlooker;
    } viewers[] = {{CapturedRounds::kMe, "me", false}, {CapturedRounds::kOnlooker, "玩家4", true}};
    for (const auto& viewer : viewers) {
        QuietTable table(viewer.name);
        for (const Packet& packet : twoRounds().receivedBy(viewer.client)) table.handle(packet);
        EXPECT_EQ(table.pub.blnIsOnlooker, viewer.onlooker) << viewer.name;
        if (!viewer.onlooker) {
            EXPECT_EQ(table.pub.bteMyChair, CapturedRounds::kMyChair);
        }
        EXPECT_EQ(table.table.lngTotalScore, twoRounds().finalView.totalScores) << viewer.name;
        EXPECT_EQ(table.closes, 0) << viewer.name;
    }
}

}  // namespace
}  // namespace krvo::testing
