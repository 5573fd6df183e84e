#pragma once
// Level titles: the lobby hands over a list of "title_threshold" items, and a
// score shows as the title of the highest threshold it has reached.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace krvo {

struct LevelTitle {
    std::int32_t lngMinScore = 0;
    std::string strTitle;
};

using LevelTitleTable = std::vector<LevelTitle>;

LevelTitleTable ParseLevelTitles(std::string_view list);
std::string GetLevelTitle(const LevelTitleTable& table, std::int32_t score);

}  // namespace krvo
