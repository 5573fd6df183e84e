#include "room/players.h"

#include <algorithm>
#include <utility>

#include "core/level_titles.h"
#include "ports/table_scene.h"
#include "wire/game_protocol.h"
#include "core/user_row.h"

namespace krvo {

namespace {

constexpr std::int32_t kIconsPerMemberLevel = 1000;
constexpr std::size_t kFirstShownChatField = 2;
constexpr std::size_t kShownChatFields = 8;

// Puts a player of the freshly loaded list into the seat of its chair.
void seatPlayer(const UserRow& row, TableState& table, const PublicState& pub) {
    if (row.isOnlooker()) return;
    const std::optional<std::uint8_t> chair = row.seatChair();
    if (!chair || *chair >= kChairCount) return;
    SeatInfo& seat = table.arrSeat[*chair];
    seat.strUserName = row.userName;
    seat.lngIconNo = row.iconNo();
    // A round in progress shows no raised hands, whatever the list says.
    seat.blnReady = row.isHandRaised() && pub.bteGameState != 1;
    seat.blnOffline = row.isOffline();
}

std::string memberIdentity(const PublicState& pub, const UserRow& row) {
    // Integer division truncates toward zero: icon -1 is still an ordinary user.
    const std::int32_t level = row.iconNo() / kIconsPerMemberLevel;
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
    for (const std::string& name : list) chat.updateRecipient(name, true);
    for (const std::string& name : list) {
        if (const std::optional<UserRow> row = ParseUserRow(users.findUser(name))) {
            seatPlayer(*row, table, pub);
        }
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
        scene.invalidateSeat(chair);
        seat.strUserName = std::move(name);
        scene.invalidateSeat(chair);
        scene.invalidateOfflineMark(chair);
        scene.invalidateReadyMark(chair);
    }
}

std::optional<UserMenuItems> BuildUserMenu(std::string_view row, const PublicState& pub,
                                           std::uint8_t bteUseScore) {
    const std::optional<UserRow> user = ParseUserRow(row);
    if (!user) return std::nullopt;

    const std::string& name = user->userName;
    const std::string title = GetLevelTitle(pub.levelTitles, LeadingInt32(user->level));
    const std::string score = bteUseScore == 0 ? "经验:" : "积分:";
    const std::string gap = "   ";
    UserMenuItems items;
    items[0].caption = name + "   身份：" + memberIdentity(pub, *user);
    items[1].caption = "游戏ID：" + user->userId;
    items[2].caption = "旁观对象：" + user->watchedUser;
    items[3].caption = "-";
    items[4].caption = "与他（她）交谈";
    items[5].caption = "-";
    items[6].caption = "级别:" + title + gap + "胜率:" + user->winRate + "%" + gap +
                       "逃跑率:" + user->runAwayRate + "%";
    items[7].caption = score + user->score + gap + "胜:" + user->wins + gap + "输:" + user->losses +
                       gap + "和:" + user->draws + gap + "总局数:" + user->rounds;
    for (UserMenuItem& item : items) item.tag = name;
    return items;
}

bool HandleChatMessage(std::span<const std::uint8_t> packet, ChatOps& chat) {
    const std::optional<std::vector<std::string>> fields = ParseChatLine(packet);
    if (!fields) return false;
    std::array<std::string, kShownChatFields> shown;
    std::copy_n(fields->begin() + kFirstShownChatField, kShownChatFields, shown.begin());
    chat.showChatMessage(shown);
    return true;
}

}  // namespace krvo
