#include "room/room_handler.h"

#include <string>
#include <vector>

#include "core/packet.h"
#include "ports/message_boxes.h"
#include "ports/packet_sender.h"
#include "ports/room_controls.h"
#include "ports/sound_player.h"
#include "ports/table_flow.h"
#include "ports/table_scene.h"
#include "state/command_line.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "wire/user_row.h"

namespace krvo {
namespace {

constexpr int kSoundOnlookerIn = 8;
constexpr int kSoundOnlookerOut = 9;

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// The chair of a user row's field 13; -1 when the remainder falls outside 0-3
// (a negative number keeps its sign through the modulo).
int chairOf(std::string_view field) {
    const int chair = LeadingInt32(field) % 4;
    return chair >= 0 ? chair : -1;
}

// A row without a name would announce nobody and, for a player, empty the
// chair it names.
bool isUserRow(const std::vector<std::string>& row) {
    return row.size() == kUserRowFields && !trimBlanks(row[0]).empty();
}

}  // namespace

void RoomHandler::OnRoomMessage(std::span<const std::uint8_t> packet) {
    if (packet.size() < 2) return;
    const std::uint8_t mainId = packet[0];
    const std::uint8_t subId = packet[1];
    const std::string body = PacketToString(packet, 2);
    switch (mainId) {
        case 130:
            switch (subId) {
                case 0:
                    return onlookerArrives(body);
                case 1:
                    return tableReset();
                case 2:
                    links_.users.ClearUsers();
                    links_.users.LoadUsers(body);
                    return;
                case 3:
                    return ownNames(body);
                case 4:
                    return userArrives(body);
                case 5:
                    if (packet.size() > 2 && links_.hideMainWindow) {
                        links_.hideMainWindow(packet[2] != 0);
                    }
                    return;
                default:
                    return;
            }
        case 108:
            switch (subId) {
                case 0:
                    return offlineChanged(body, false);
                case 3:
                    return offlineChanged(body, true);
                case 4:
                    return onlookerLeaves(body);
                case 6:
                    return links_.users.UpdateUser(body);
                default:
                    return;
            }
        case 110:
            if (subId == 0) userLeaves(body);
            return;
        case 111:
            return settingsAnnounced(body);
        case 112:
            return settingsAgreed(subId, body);
        case 105: {
            const std::string text = PacketToString(packet, 3);
            if (!text.empty()) links_.chat.ShowChatText(text);
            return;
        }
        case 109:
            return roundSnapshot(packet);
        default:
            return;
    }
}

void RoomHandler::SendLeaveTable() {
    const std::uint8_t header[] = {110, 0};
    Packet packet;
    if (BuildPacket(links_.launch.strMyUserName, packet, 2, header)) {
        links_.sender.SendPacket(packet);
    }
}

void RoomHandler::ResetStartButtonState() {
    links_.flow.StopClock();
    links_.pub.blnCanStart = false;
    links_.flow.RefreshStartButton();
}

int RoomHandler::seatOf(std::string_view name) const {
    if (name.empty()) return -1;  // an empty chair is nobody's seat
    for (int chair = 0; chair < 4; ++chair) {
        if (links_.table.arrSeat[chair].strUserName == name) return chair;
    }
    return -1;
}

void RoomHandler::onlookerArrives(std::string_view body) {
    const std::vector<std::string> row = SplitFields(body);
    if (!isUserRow(row) || trimBlanks(row[4]).empty()) return;
    if (!links_.users.FindUser(row[0]).empty()) return;
    links_.users.AddUser(body);
    links_.chat.ShowSystemLine(row[0] + " 进来了，正在旁观 " + row[4] + " 游戏...");
    links_.chat.UpdateRecipient(row[0], true);
    links_.sound.PlayGameSound(kSoundOnlookerIn);
}

void RoomHandler::tableReset() {
    InitPublicDefine(links_.pub, links_.launch, links_.pub.strAppPath);
    links_.boxes.CloseMessageBoxes(0);
    links_.boxes.InitMsgObjects();
    ResetAll(links_.table);
    ResetStartButtonState();
    links_.scene.paintTable();
    links_.users.ClearUsers();
    links_.chat.ClearRecipients();
    links_.chat.SetCurrentRecipient(kEverybody);
}

void RoomHandler::ownNames(std::string_view body) {
    const std::vector<std::string> fields = SplitFields(body);
    if (fields.size() != 2) return;
    links_.launch.strMyUserName = fields[0];
    links_.pub.strViewUserName = fields[1];
    links_.users.SetOwnName(fields[0]);
    links_.chat.SetOwnName(fields[0]);
}

void RoomHandler::userArrives(std::string_view body) {
    const std::vector<std::string> row = SplitFields(body);
    if (!isUserRow(row) || !links_.users.FindUser(row[0]).empty()) return;
    links_.users.AddUser(body);
    links_.chat.ShowSystemLine(row[0] + " 进来了...");
    links_.chat.UpdateRecipient(row[0], true);
    if (!trimBlanks(row[4]).empty()) return;
    const int chair = chairOf(row[13]);
    if (chair < 0) return;
    SeatInfo& seat = links_.table.arrSeat[chair];
    seat.strUserName = row[0];
    seat.lngIconNo = LeadingInt32(row[12]);
    links_.scene.paintSeat(static_cast<std::uint8_t>(chair));
}

void RoomHandler::offlineChanged(std::string_view name, bool offline) {
    const int chair = seatOf(name);
    if (chair < 0) return;
    links_.table.arrSeat[chair].blnOffline = offline;
    links_.scene.paintOfflineMark(static_cast<std::uint8_t>(chair));
    const std::string who(name);
    links_.chat.ShowSystemLine(offline ? "不好，" + who + " 掉线了..."
                                       : "哈哈，" + who + " 终于上线了...");
}

void RoomHandler::onlookerLeaves(std::string_view name) {
    if (name.empty() || links_.users.FindUser(name).empty()) return;
    links_.users.RemoveUser(name);
    links_.chat.ShowSystemLine("旁观用户 " + std::string(name) + " 走了...");
    links_.chat.UpdateRecipient(name, false);
    links_.sound.PlayGameSound(kSoundOnlookerOut);
}

void RoomHandler::userLeaves(std::string_view name) {
    if (name.empty() || links_.users.FindUser(name).empty()) return;
    links_.users.RemoveUser(name);
    links_.chat.ShowSystemLine(std::string(name) + " 走了...");
    links_.chat.UpdateRecipient(name, false);
    const int chair = seatOf(name);
    if (chair < 0) return;
    SeatInfo& seat = links_.table.arrSeat[chair];
    seat.strUserName.clear();
    seat.lngIconNo = 0;
    seat.blnReady = false;
    seat.blnOffline = false;
    const auto c = static_cast<std::uint8_t>(chair);
    links_.scene.paintSeat(c);
    links_.scene.paintReadyMark(c);
    links_.scene.paintOfflineMark(c);
}

bool RoomHandler::openSettings(bool owner, std::string_view settings) {
    if (links_.dialogs.OpenGameSet(owner, settings)) return true;
    SendLeaveTable();
    return false;
}

void RoomHandler::settingsAnnounced(std::string_view body) {
    const std::vector<std::string> fields = SplitFields(body);
    if (fields.size() < 6) return;
    // Field 6 may be missing from a six-field announcement; it then reads as 0.
    const auto number = [&](std::size_t i) {
        return i < fields.size() ? LeadingNumber(fields[i]) : 0.0;
    };
    if (number(5) <= 0) {
        links_.pub.bteGameState = 0;
        links_.pub.blnCanStart = true;
        links_.flow.RefreshStartButton();
        return;
    }
    const std::string settings = JoinFieldsFrom(fields, 7);
    if (number(3) > 0) {
        openSettings(true, settings);
    } else if (number(6) == 0) {
        links_.boxes.ShowMessageBox(0, MsgType::Notice, "等待桌主进行本桌游戏设置...", "", 0, "",
                                    "", true);
    } else {
        openSettings(false, settings);
    }
}

void RoomHandler::settingsAgreed(std::uint8_t subId, std::string_view body) {
    const std::vector<std::string> fields = SplitFields(body);
    if (fields.empty()) return;
    const int chair = seatOf(fields[0]);
    if (chair < 0) return;
    links_.table.arrSeat[chair].blnReady = true;
    links_.scene.paintReadyMark(static_cast<std::uint8_t>(chair));
    links_.boxes.CloseMessageBoxes(0);
    if (fields[0] != links_.launch.strMyUserName && fields.size() > 1) {
        if (!openSettings(false, JoinFieldsFrom(fields, 1))) return;
    }
    if (subId <= 1) return;
    for (std::uint8_t c = 0; c < 4; ++c) {
        links_.table.arrSeat[c].blnReady = false;
        links_.scene.paintReadyMark(c);
    }
}

void RoomHandler::roundSnapshot(std::span<const std::uint8_t> packet) {
    // A report that does not hold what it announces changes nothing at all,
    // so the table never shows half a round.
    TableState loaded = links_.table;
    ResetRound(loaded, true);
    if (!LoadTableState(loaded, packet, links_.pub.blnIsOnlooker)) return;
    links_.pub.bteGameState = 1;
    links_.table = std::move(loaded);
    ResetStartButtonState();
    links_.scene.layoutTable();
    links_.scene.paintTable();
    links_.flow.RefreshAction();
}

}  // namespace krvo
