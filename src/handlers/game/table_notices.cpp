#include "game/table_notices.h"

#include <optional>
#include <string>

#include "core/packet.h"
#include "ports/message_boxes.h"
#include "ports/packet_sender.h"
#include "ports/room_controls.h"
#include "ports/system_alerts.h"
#include "ports/table_scene.h"
#include "props/props_data.h"
#include "state/command_line.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "wire/game_protocol.h"
#include "wire/props_protocol.h"

namespace krvo {
namespace {

constexpr std::int32_t kTableGroup = 0;

}  // namespace

void TableNotices::handleMessage(std::span<const std::uint8_t> packet) {
    if (packet.empty()) return;
    switch (packet[0]) {
        case GMSG_LEAVE:
            onLeave(packet);
            return;
        case GMSG_CANNOT_GO_ON:
            onCannotGoOn(packet);
            return;
        case GMSG_DAOJU:
            onDaoJu(packet);
            return;
        default:
            return;
    }
}

void TableNotices::onLeave(std::span<const std::uint8_t> packet) {
    const std::optional<LeaveMessage> leave = ParseLeaveMessage(packet);
    if (!leave || links_.pub.blnIsOnlooker) return;
    switch (leave->step) {
        case LeaveSub::kAsk:
            leaveRequested(leave->chair, leave->reason);
            return;
        case LeaveSub::kAgree:
            leaveAnswered(leave->chair, leave->requester, true);
            return;
        case LeaveSub::kRefuse:
            leaveAnswered(leave->chair, leave->requester, false);
            return;
        case LeaveSub::kGranted:
            leaveGranted(leave->chair);
            return;
        default:
            return;
    }
}

void TableNotices::leaveRequested(std::uint8_t requester, const std::string& reason) {
    TableState& table = links_.table;
    if (requester == links_.pub.bteMyChair) {
        // The server echoes our own request: it counts against this round's
        // allowance, and offline players cannot vote, so we agree for them.
        if (table.bteLeaveRequestsUsed < 255) ++table.bteLeaveRequestsUsed;
        for (std::uint8_t chair = 0; chair < kChairCount; ++chair) {
            if (!table.arrSeat[chair].blnOffline) continue;
            sendVote(LeaveSub::kAgreeForOffline, chair, requester);
        }
        return;
    }
    const std::string question =
        reason == "null" ? nameOf(requester) + "请求离开！您是否同意？"
                         : nameOf(requester) + "请求离开，理由是：" + reason + "！您是否同意？";
    const bool agreed = links_.boxes.showMessageBox(kTableGroup, MsgType::TwoButtons, question,
                                                    "系统提示", 10, "同意", "拒绝", true);
    // The box ran a nested loop: the program may be ending, and the chair
    // may have changed meanwhile. A box closed by a reset or an agreement
    // was never answered, and a vote would speak for the player.
    if (links_.pub.blnEndRequested || !links_.boxes.lastBoxAnswered()) return;
    sendVote(agreed ? LeaveSub::kAgree : LeaveSub::kRefuse, links_.pub.bteMyChair, requester);
}

void TableNotices::leaveAnswered(std::uint8_t answerer, std::uint8_t requester, bool agreed) {
    if (requester != links_.pub.bteMyChair) return;
    links_.chat.showSystemLine(nameOf(answerer) + (agreed ? " 同意您离开！" : " 不同意您离开！"));
}

void TableNotices::leaveGranted(std::uint8_t requester) {
    if (requester != links_.pub.bteMyChair) {
        // The table is dissolved; the room decides what happens to us.
        links_.boxes.showMessageBox(kTableGroup, MsgType::OneButton,
                                    "大家都同意 " + nameOf(requester) + " 离开，本桌解散！", "系统",
                                    5, "", "", true);
        return;
    }
    links_.boxes.showMessageBox(kTableGroup, MsgType::OneButton, "大家都同意您离开，本桌解散！",
                                "系统", 5, "", "", true);
    if (links_.pub.blnEndRequested) return;
    if (links_.closeMainWindow) links_.closeMainWindow(ExitReason::TableDissolved);
}

void TableNotices::onCannotGoOn(std::span<const std::uint8_t> packet) {
    // Without the chair byte we cannot tell whom it concerns; closing our own
    // window on a guessed chair 0 would be worse than showing nothing.
    const std::optional<CannotGoOn> notice = ParseCannotGoOn(packet);
    if (!notice) return;
    const std::uint8_t chair = notice->chair;
    links_.boxes.showMessageBox(kTableGroup, MsgType::OneButton,
                                nameOf(chair) + " 不能继续玩下去，原因：" + notice->reason,
                                links_.launch.strGameTitle + "系统提示", 10, "确定", "", true);
    if (links_.pub.blnEndRequested) return;
    if (chair != links_.pub.bteMyChair || links_.pub.blnIsOnlooker) return;
    if (links_.closeMainWindow) links_.closeMainWindow(ExitReason::CannotGoOn);
}

void TableNotices::onDaoJu(std::span<const std::uint8_t> packet) {
    if (packet.size() < 2) return;
    switch (packet[1]) {
        case DaoJuSub::kCatalogue:
            links_.props.readCatalogue(PacketToString(packet, 2));
            return;
        case DaoJuSub::kOwned:
            links_.props.readOwnedProps(PacketToString(packet, 2));
            return;
        case DaoJuSub::kNotice:
            links_.boxes.showMessageBox(kTableGroup, MsgType::OneButton, PacketToString(packet, 2),
                                        links_.launch.strGameTitle + "提示", 10, "确定", "", true);
            return;
        case DaoJuSub::kUsed:
            onPropUsed(packet);
            return;
        default:
            return;
    }
}

// The box tells in numbers and leaves the table working; the picture over the
// target's seat and the chat line say the same with names.
void TableNotices::onPropUsed(std::span<const std::uint8_t> packet) {
    const std::optional<PropUsed> used = ParsePropUsed(packet);
    if (!used) return;
    links_.alerts.notify("道具演示",
                         std::to_string(used->fromUser) + " 号用户对 " +
                             std::to_string(used->toUser) + " 号用户使用ID号为 " +
                             std::to_string(used->propId) + " 的道具",
                         nullptr);
    links_.chat.showSystemLine(userCalled(used->fromUser) + " 对 " + userCalled(used->toUser) +
                               " 使用了" + propCalled(used->propId));
    if (used->toUser < kChairCount && !nameOf(used->toUser).empty()) {
        links_.scene.showPropUsed(used->toUser, used->propId);
    }
}

// The server numbers the users of a prop message by their chairs.
std::string TableNotices::userCalled(std::uint8_t number) const {
    const std::string name = nameOf(number);
    return name.empty() ? std::to_string(number) + " 号用户" : name;
}

std::string TableNotices::propCalled(std::int32_t id) const {
    for (const PropTab& tab : links_.props.arrPropTabs) {
        for (const PropItem& item : tab.arrItems) {
            if (item.lngID == id && id != 0 && !item.strName.empty())
                return "道具“" + item.strName + "”";
        }
    }
    return "ID号为 " + std::to_string(id) + " 的道具";
}

void TableNotices::sendVote(std::uint8_t answer, std::uint8_t answeringChair,
                            std::uint8_t requester) {
    links_.sender.sendPacket(LeaveVotePacket(answer, answeringChair, requester));
}

std::string TableNotices::nameOf(std::uint8_t chair) const {
    if (chair >= kChairCount) return {};
    return links_.table.arrSeat[chair].strUserName;
}

}  // namespace krvo
