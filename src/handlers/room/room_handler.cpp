#include "room/room_handler.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/packet.h"
#include "ports/message_boxes.h"
#include "ports/packet_sender.h"
#include "ports/room_controls.h"
#include "ports/sound_player.h"
#include "ports/table_flow.h"
#include "ports/table_scene.h"
#include "room/room_requests.h"
#include "state/command_line.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "wire/game_protocol.h"
#include "wire/message_ids.h"
#include "wire/room_protocol.h"
#include "wire/table_snapshot.h"
#include "core/user_row.h"

namespace krvo {
namespace {

constexpr int kSoundOnlookerIn = 8;
constexpr int kSoundOnlookerOut = 9;

// A row without a name would announce nobody and, for a player, empty the
// chair it names.
std::optional<UserRow> namedUserRow(std::string_view body) {
    std::optional<UserRow> row = ParseUserRow(body);
    if (row && TrimBlanks(row->userName).empty()) return std::nullopt;
    return row;
}

}  // namespace

void RoomHandler::handleRoomMessage(std::span<const std::uint8_t> packet) {
    if (packet.size() < 2) return;
    const std::uint8_t mainId = packet[0];
    const std::uint8_t subId = packet[1];
    const std::string body = PacketToString(packet, 2);
    switch (mainId) {
        case RoomMsg::kLogin:
            switch (subId) {
                case LoginSub::kOnlookerArrives:
                    return onlookerArrives(body);
                case LoginSub::kTableReset:
                    return tableReset();
                case LoginSub::kUserList:
                    links_.users.clearUsers();
                    links_.users.loadUsers(body);
                    return;
                case LoginSub::kIdentity:
                    return ownNames(body);
                case LoginSub::kPlayerArrives:
                    return userArrives(body);
                case LoginSub::kHideWindow:
                    if (packet.size() > 2 && links_.hideMainWindow) {
                        links_.hideMainWindow(packet[2] != 0);
                    }
                    return;
                default:
                    return;
            }
        case RoomMsg::kUser:
            switch (subId) {
                case UserSub::kOnline:
                    return offlineChanged(body, false);
                case UserSub::kOffline:
                    return offlineChanged(body, true);
                case UserSub::kOnlookerLeaves:
                    return onlookerLeaves(body);
                case UserSub::kUpdate:
                    return links_.users.updateUser(body);
                default:
                    return;
            }
        case RoomMsg::kLeave:
            if (subId == kOnlySub) userLeaves(body);
            return;
        case RoomMsg::kSettings:
            return settingsAnnounced(body);
        case RoomMsg::kAgree:
            return settingsAgreed(subId, body);
        case RoomMsg::kChatText: {
            // A three-byte header; byte 2 says nothing the table shows.
            const std::string text = PacketToString(packet, 3);
            if (!text.empty()) links_.chat.showChatText(text);
            return;
        }
        case RoomMsg::kSnapshot:
            return roundSnapshot(packet);
        default:
            return;
    }
}

void RoomHandler::sendLeaveTable() {
    RoomRequests({.launch = links_.launch, .sender = links_.sender}).leaveTable();
}

void RoomHandler::resetStartButtonState() {
    links_.flow.stopClock();
    links_.pub.blnCanStart = false;
    links_.flow.refreshStartButton();
}

int RoomHandler::seatOf(std::string_view name) const {
    if (name.empty()) return -1;  // an empty chair is nobody's seat
    for (int chair = 0; chair < 4; ++chair) {
        if (links_.table.arrSeat[chair].strUserName == name) return chair;
    }
    return -1;
}

void RoomHandler::onlookerArrives(std::string_view body) {
    const std::optional<UserRow> row = namedUserRow(body);
    if (!row || !row->isOnlooker()) return;
    if (!links_.users.findUser(row->userName).empty()) return;
    links_.users.addUser(body);
    links_.chat.showSystemLine(row->userName + " 进来了，正在旁观 " + row->watchedUser +
                               " 游戏...");
    links_.chat.updateRecipient(row->userName, true);
    links_.sound.playGameSound(kSoundOnlookerIn);
}

void RoomHandler::tableReset() {
    InitPublicDefine(links_.pub, links_.launch, links_.pub.strAppPath);
    links_.boxes.closeMessageBoxes(0);
    links_.boxes.closeAllBoxes();
    ResetAll(links_.table);
    resetStartButtonState();
    links_.scene.invalidateTable();
    links_.users.clearUsers();
    links_.chat.clearRecipients();
    links_.chat.setCurrentRecipient(kEverybody);
}

void RoomHandler::ownNames(std::string_view body) {
    std::optional<Identity> identity = ParseIdentity(body);
    if (!identity) return;
    links_.launch.strMyUserName = identity->myUserName;
    links_.pub.strViewUserName = std::move(identity->viewUserName);
    links_.users.setOwnName(identity->myUserName);
    links_.chat.setOwnName(identity->myUserName);
}

void RoomHandler::userArrives(std::string_view body) {
    const std::optional<UserRow> row = namedUserRow(body);
    if (!row || !links_.users.findUser(row->userName).empty()) return;
    links_.users.addUser(body);
    links_.chat.showSystemLine(row->userName + " 进来了...");
    links_.chat.updateRecipient(row->userName, true);
    if (row->isOnlooker()) return;
    const std::optional<std::uint8_t> chair = row->seatChair();
    if (!chair) return;
    SeatInfo& seat = links_.table.arrSeat[*chair];
    seat.strUserName = row->userName;
    seat.lngIconNo = row->iconNo();
    links_.scene.invalidateSeat(*chair);
}

void RoomHandler::offlineChanged(std::string_view name, bool offline) {
    const int chair = seatOf(name);
    if (chair < 0) return;
    links_.table.arrSeat[chair].blnOffline = offline;
    links_.scene.invalidateOfflineMark(static_cast<std::uint8_t>(chair));
    const std::string who(name);
    links_.chat.showSystemLine(offline ? "不好，" + who + " 掉线了..."
                                       : "哈哈，" + who + " 终于上线了...");
}

void RoomHandler::onlookerLeaves(std::string_view name) {
    if (name.empty() || links_.users.findUser(name).empty()) return;
    links_.users.removeUser(name);
    links_.chat.showSystemLine("旁观用户 " + std::string(name) + " 走了...");
    links_.chat.updateRecipient(name, false);
    links_.sound.playGameSound(kSoundOnlookerOut);
}

void RoomHandler::userLeaves(std::string_view name) {
    if (name.empty() || links_.users.findUser(name).empty()) return;
    links_.users.removeUser(name);
    links_.chat.showSystemLine(std::string(name) + " 走了...");
    links_.chat.updateRecipient(name, false);
    const int chair = seatOf(name);
    if (chair < 0) return;
    SeatInfo& seat = links_.table.arrSeat[chair];
    seat.strUserName.clear();
    seat.lngIconNo = 0;
    seat.blnReady = false;
    seat.blnOffline = false;
    const auto c = static_cast<std::uint8_t>(chair);
    links_.scene.invalidateSeat(c);
    links_.scene.invalidateReadyMark(c);
    links_.scene.invalidateOfflineMark(c);
}

bool RoomHandler::openSettings(bool owner, std::string_view settings) {
    if (links_.dialogs.openTableSettings(owner, settings)) return true;
    sendLeaveTable();
    return false;
}

void RoomHandler::settingsAnnounced(std::string_view body) {
    const std::optional<SettingsAnnouncement> announcement = ParseSettingsAnnouncement(body);
    if (!announcement) return;
    if (!announcement->settingsRound) {
        links_.pub.bteGameState = 0;
        links_.pub.blnCanStart = true;
        links_.flow.refreshStartButton();
        return;
    }
    const std::string& settings = announcement->settings;
    if (announcement->owner) {
        openSettings(true, settings);
    } else if (!announcement->agreeNow) {
        links_.boxes.showMessageBox(0, MsgType::Notice, "等待桌主进行本桌游戏设置...", "", 0, "",
                                    "", true);
    } else {
        openSettings(false, settings);
    }
}

void RoomHandler::settingsAgreed(std::uint8_t subId, std::string_view body) {
    const std::optional<Agreement> agreement = ParseAgreement(body);
    if (!agreement) return;
    const int chair = seatOf(agreement->name);
    if (chair < 0) return;
    links_.table.arrSeat[chair].blnReady = true;
    links_.scene.invalidateReadyMark(static_cast<std::uint8_t>(chair));
    links_.boxes.closeMessageBoxes(0);
    if (agreement->name != links_.launch.strMyUserName && agreement->settings) {
        if (!openSettings(false, *agreement->settings)) return;
    }
    if (subId <= AgreeSub::kAgreed) return;
    for (std::uint8_t c = 0; c < 4; ++c) {
        links_.table.arrSeat[c].blnReady = false;
        links_.scene.invalidateReadyMark(c);
    }
}

void RoomHandler::roundSnapshot(std::span<const std::uint8_t> packet) {
    // A report that does not hold what it announces changes nothing at all,
    // so the table never shows half a round.
    std::optional<TableSnapshot> report = ParseTableSnapshot(packet);
    if (!report) return;
    TableState loaded = links_.table;
    ResetRound(loaded, true);
    ApplyTableSnapshot(loaded, std::move(*report), links_.pub.blnIsOnlooker);
    links_.pub.bteGameState = 1;
    links_.table = std::move(loaded);
    resetStartButtonState();
    links_.scene.layoutTable();
    links_.scene.invalidateTable();
    links_.flow.refreshAction();
}

}  // namespace krvo
