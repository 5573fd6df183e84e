#include <gtest/gtest.h>

#include "core/level_titles.h"

namespace krvo {
namespace {

const char* kList = "长工_100`短工_200`佃农_500`贫农_1000`中农_2000`富农_4000`地主_8000`恶霸_12000";

TEST(LevelTitles, ThresholdsPickTheLastReachedTitle) {
    const LevelTitleTable table = ParseLevelTitles(kList);
    ASSERT_EQ(table.size(), 8u);
    EXPECT_EQ(GetLevelTitle(table, -5), "长工");
    EXPECT_EQ(GetLevelTitle(table, 50), "长工");
    EXPECT_EQ(GetLevelTitle(table, 100), "长工");
    EXPECT_EQ(GetLevelTitle(table, 150), "长工");
    EXPECT_EQ(GetLevelTitle(table, 199), "长工");
    EXPECT_EQ(GetLevelTitle(table, 200), "短工");
    EXPECT_EQ(GetLevelTitle(table, 7999), "富农");
    EXPECT_EQ(GetLevelTitle(table, 12000), "恶霸");
    EXPECT_EQ(GetLevelTitle(table, 20000), "恶霸");
}

TEST(LevelTitles, EmptyListAndItemsWithoutThreshold) {
    EXPECT_EQ(GetLevelTitle(ParseLevelTitles(""), 50), "未知级别");
    const LevelTitleTable table = ParseLevelTitles("新手`老手_x`高手_300_9");
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0].lngMinScore, 0);
    EXPECT_EQ(table[1].lngMinScore, 0);
    EXPECT_EQ(table[1].strTitle, "老手");
    EXPECT_EQ(table[2].lngMinScore, 300);
    EXPECT_EQ(GetLevelTitle(table, 0), "新手");
    EXPECT_EQ(GetLevelTitle(table, 299), "老手");
    EXPECT_EQ(GetLevelTitle(table, 300), "高手");
}

}  // namespace
}  // namespace krvo
