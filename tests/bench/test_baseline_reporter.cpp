// Which baseline each benchmark is compared with, and by which figures.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "baseline_reporter.h"

namespace krvo::bench {
namespace {

std::vector<std::string> Lines(const std::vector<Ratio>& ratios) {
    std::vector<std::string> lines;
    for (const Ratio& r : ratios) {
        lines.push_back(r.name + " " + r.what + " " + std::to_string(r.value) + " " + r.baseline);
    }
    return lines;
}

TEST(BaselineReporter, ComparesWithTheRightBaseline) {
    const struct {
        const char* what;
        std::vector<Measured> runs;
        std::vector<std::string> expected;
    } cases[] = {
        {"the last baseline before",
         {{"BM_CopyBaseline", 2, {}},
          {"BM_Paint", 10, {}},
          {"BM_OtherBaseline", 5, {}},
          {"BM_Toggle", 1, {}}},
         {"BM_Paint time 5.000000 BM_CopyBaseline", "BM_Toggle time 0.200000 BM_OtherBaseline"}},
        {"the baseline of the same argument",
         {{"BM_SortBaseline/12", 1, {}},
          {"BM_SortBaseline/48", 4, {}},
          {"BM_Hint/12", 3, {}},
          {"BM_Hint/48", 8, {}}},
         {"BM_Hint/12 time 3.000000 BM_SortBaseline/12",
          "BM_Hint/48 time 2.000000 BM_SortBaseline/48"}},
        {"nothing before the first baseline",
         {{"BM_Early", 1, {}}, {"BM_LateBaseline", 1, {}}},
         {}},
        {"counters both runs have",
         {{"BM_BareBaseline/iterations:7/manual_time", 100, {{"rss_MiB", 40}, {"other", 1}}},
          {"BM_ClientStart/iterations:7/manual_time", 150, {{"rss_MiB", 50}, {"mine", 3}}}},
         {"BM_ClientStart/iterations:7/manual_time time 1.500000 "
          "BM_BareBaseline/iterations:7/manual_time",
          "BM_ClientStart/iterations:7/manual_time rss_MiB 1.250000 "
          "BM_BareBaseline/iterations:7/manual_time"}},
        {"no ratio to a zero",
         {{"BM_ZeroBaseline", 0, {{"rss_MiB", 0}}}, {"BM_Any", 4, {{"rss_MiB", 9}}}},
         {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Lines(CompareWithBaselines(c.runs)), c.expected) << c.what;
    }
}

}  // namespace
}  // namespace krvo::bench
