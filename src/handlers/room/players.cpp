#include "room/players.h"

#include <algorithm>
#include <utility>

#include "core/level_titles.h"
#include "ports/table_scene.h"
#include "wire/user_row.h"

namespace krvo {

namespace {

constexpr std::size_t kWatchedField = 4;
constexpr std::size_t kIconField = 12;
constexpr std::size_t kChairField = 13;
constexpr std::size_t kHandField = 14;
constexpr std::size_t kOfflineField = 15;
constexpr std::int32_t kIconsPerMemberLevel = 1000;
constexpr std::size_t kChatFields = 10;
constexpr std::size_t kFirstShownChatField = 2;
constexpr std::size_t kShownChatFields = 8;

std::string_view trimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The chair a row names, or -1 when the value modulo 4 falls outside 0-3
// (a negative chair keeps its sign).
int chairOf(std::string_view field) {
    return LeadingInt32(field) % 4;
}

// Puts a player of the freshly loaded list into the seat of its chair.
void seatPlayer(const std::vector<std::string>& row, TableState& table, const PublicState& pub) {
    if (row.size() != kUserRowFields || !trimBlanks(row[kWatchedField]).empty()) return;
    const int chair = chairOf(row[kChairField]);
    if (chair < 0 || chair >= static_cast<int>(kChairCount)) return;
    SeatInfo& seat = table.arrSeat[static_cast<std::size_t>(chair)];
    seat.strUserName = row[0];
    seat.lngIconNo = LeadingInt32(row[kIconField]);
    // A round in progress shows no raised hands, whatever the list says.
    seat.blnReady = LeadingNumber(row[kHandField]) > 0 && pub.bteGameState != 1;
    seat.blnOffline = LeadingNumber(row[kOfflineField]) > 0;
}

std::string memberIdentity(const PublicState& pub, std::string_view iconField) {
    // Integer division truncates toward zero: icon -1 is still an ordinary user.
    const std::int32_t level = LeadingInt32(iconField) / kIconsPerMemberLevel;
    if (level < 0 || level >= static_cast<std::int32_t>(pub.strMemberLevels.size())) {
        return "未知身份";
    }
    return pub.strMemberLevels[static_cast<std::size_t>(level)];
}

}  // namespace

void FillSeatsFromList(std::string_view names, TableState& table, PublicState& pub,
                       UserListOps& users, ChatOps& chat, TableScene& scene,
                       std::string_view myUserName) {
    const std::vector<std::string> list = SplitFields(names);
    for (const std::string& name : list) chat.UpdateRecipient(name, true);
    for (const std::string& name : list) {
        const std::string row = users.FindUser(name);
        if (!row.empty()) seatPlayer(SplitFields(row), table, pub);
    }

    std::array<std::string, kChairCount> seatNames;
    for (std::size_t chair = 0; chair < kChairCount; ++chair) {
        seatNames[chair] = table.arrSeat[chair].strUserName;
    }
    ComputeViewPositions(pub, seatNames, myUserName);

    // The view may have turned: erase every seat's old drawing before drawing it afresh.
    for (std::uint8_t chair = 0; chair < kChairCount; ++chair) {
        SeatInfo& seat = table.arrSeat[chair];
        std::string name = std::exchange(seat.strUserName, std::string());
        scene.paintSeat(chair);
        seat.strUserName = std::move(name);
        scene.paintSeat(chair);
        scene.paintOfflineMark(chair);
        scene.paintReadyMark(chair);
    }
}

std::optional<UserMenuItems> BuildUserMenu(std::string_view row, const PublicState& pub,
                                           std::uint8_t bteUseScore) {
    if (row.empty()) return std::nullopt;
    const std::vector<std::string> f = SplitFields(row);
    if (f.size() != kUserRowFields) return std::nullopt;

    const std::string& name = f[0];
    const std::string title = GetLevelTitle(pub.levelTitles, LeadingInt32(f[3]));
    const std::string score = bteUseScore == 0 ? "经验:" : "积分:";
    const std::string gap = "   ";
    UserMenuItems items;
    items[0].caption = name + "   身份：" + memberIdentity(pub, f[kIconField]);
    items[1].caption = "游戏ID：" + f[1];
    items[2].caption = "旁观对象：" + f[kWatchedField];
    items[3].caption = "-";
    items[4].caption = "与他（她）交谈";
    items[5].caption = "-";
    items[6].caption = "级别:" + title + gap + "胜率:" + f[6] + "%" + gap + "逃跑率:" + f[7] + "%";
    items[7].caption = score + f[2] + gap + "胜:" + f[8] + gap + "输:" + f[9] + gap +
                       "和:" + f[10] + gap + "总局数:" + f[5];
    for (UserMenuItem& item : items) item.tag = name;
    return items;
}

Packet BuildChatPacket(std::span<const std::string> tenTexts) {
    if (tenTexts.size() != kChatFields) return {};
    std::vector<std::string> fields(tenTexts.begin(), tenTexts.end());
    for (std::string& field : fields)
        std::replace(field.begin(), field.end(), kFieldSeparator, '\'');
    Packet packet;
    const std::array<std::uint8_t, 1> header{kChatMessageId};
    BuildPacket(JoinFields(fields), packet, 1, header);
    return packet;
}

bool HandleChatMessage(std::span<const std::uint8_t> packet, ChatOps& chat) {
    if (packet.size() < 2) return false;
    const std::vector<std::string> fields = SplitFields(PacketToString(packet, 1));
    if (fields.size() < kChatFields) return false;
    std::array<std::string, kShownChatFields> shown;
    std::copy_n(fields.begin() + kFirstShownChatField, kShownChatFields, shown.begin());
    chat.ShowChatMessage(shown);
    return true;
}

}  // namespace krvo
