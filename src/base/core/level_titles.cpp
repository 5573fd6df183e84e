#include "core/level_titles.h"

#include "core/packet.h"

namespace krvo {

LevelTitleTable ParseLevelTitles(std::string_view list) {
    LevelTitleTable table;
    for (const std::string& item : SplitFields(list)) {
        const std::size_t underscore = item.find('_');
        LevelTitle title;
        title.strTitle = item.substr(0, underscore);
        if (underscore != std::string::npos) {
            title.lngMinScore = LeadingInt32(std::string_view(item).substr(underscore + 1));
        }
        table.push_back(std::move(title));
    }
    return table;
}

std::string GetLevelTitle(const LevelTitleTable& table, std::int32_t score) {
    if (table.empty()) return "未知级别";
    if (score <= table.front().lngMinScore) return table.front().strTitle;
    if (score >= table.back().lngMinScore) return table.back().strTitle;
    for (std::size_t j = 1; j < table.size(); ++j) {
        if (table[j].lngMinScore > score) return table[j - 1].strTitle;
    }
    return table.back().strTitle;
}

}  // namespace krvo
