#include "game/table_notices.h"

#include <string>

#include "core/packet.h"
#include "ports/message_boxes.h"
#include "ports/packet_sender.h"
#include "ports/room_controls.h"
#include "ports/system_alerts.h"
#include "props/props_data.h"
#include "state/command_line.h"
#include "state/public_state.h"
#include "state/table_state.h"

namespace krvo {
namespace {

constexpr std::int32_t kTableGroup = 0;

enum LeaveStep : std::uint8_t {
    kLeaveAsked = 0,
    kLeaveAgreed = 1,
    kLeaveRefused = 2,
    kLeaveGranted = 3,
};

enum LeaveVote : std::uint8_t {
    kVoteAgree = 1,
    kVoteRefuse = 2,
    kVoteForOffline = 3,
};

enum DaoJuStep : std::uint8_t {
    kDaoJuCatalogue = 0,
    kDaoJuOwned = 1,
    kDaoJuNotice = 2,
    kDaoJuUsed = 3,
};

}  // namespace

void TableNotices::Handle(std::span<const std::uint8_t> packet) {
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
    if (packet.size() < 4 || links_.pub.blnIsOnlooker) return;
    switch (packet[1]) {
        case kLeaveAsked:
            leaveRequested(packet[2], packet);
            return;
        case kLeaveAgreed:
            leaveAnswered(packet[2], packet[3], true);
            return;
        case kLeaveRefused:
            leaveAnswered(packet[2], packet[3], false);
            return;
        case kLeaveGranted:
            leaveGranted(packet[2]);
            return;
        default:
            return;
    }
}

void TableNotices::leaveRequested(std::uint8_t requester, std::span<const std::uint8_t> packet) {
    TableState& table = links_.table;
    if (requester == links_.pub.bteMyChair) {
        // The server echoes our own request: it counts against this round's
        // allowance, and offline players cannot vote, so we agree for them.
        if (table.bteLeaveRequestsUsed < 255) ++table.bteLeaveRequestsUsed;
        for (std::uint8_t chair = 0; chair < kChairCount; ++chair) {
            if (table.arrSeat[chair].blnOffline) sendVote(kVoteForOffline, chair, requester);
        }
        return;
    }
    const std::string reason = PacketToString(packet, 3);
    const std::string question =
        reason == "null" ? nameOf(requester) + "请求离开！您是否同意？"
                         : nameOf(requester) + "请求离开，理由是：" + reason + "！您是否同意？";
    const bool agreed = links_.boxes.ShowMessageBox(kTableGroup, MsgType::TwoButtons, question,
                                                    "系统提示", 10, "同意", "拒绝", true);
    // The box ran a nested loop: the program may be ending, and the chair
    // may have changed meanwhile.
    if (links_.pub.blnEndRequested) return;
    sendVote(agreed ? kVoteAgree : kVoteRefuse, links_.pub.bteMyChair, requester);
}

void TableNotices::leaveAnswered(std::uint8_t answerer, std::uint8_t requester, bool agreed) {
    if (requester != links_.pub.bteMyChair) return;
    links_.chat.ShowSystemLine(nameOf(answerer) + (agreed ? " 同意您离开！" : " 不同意您离开！"));
}

void TableNotices::leaveGranted(std::uint8_t requester) {
    if (requester != links_.pub.bteMyChair) {
        // The table is dissolved; the room decides what happens to us.
        links_.boxes.ShowMessageBox(kTableGroup, MsgType::OneButton,
                                    "大家都同意 " + nameOf(requester) + " 离开，本桌解散！", "系统",
                                    5, "", "", true);
        return;
    }
    links_.boxes.ShowMessageBox(kTableGroup, MsgType::OneButton, "大家都同意您离开，本桌解散！",
                                "系统", 5, "", "", true);
    if (links_.pub.blnEndRequested) return;
    if (links_.closeMainWindow) links_.closeMainWindow();
}

void TableNotices::onCannotGoOn(std::span<const std::uint8_t> packet) {
    // Without the chair byte we cannot tell whom it concerns; closing our own
    // window on a guessed chair 0 would be worse than showing nothing.
    if (packet.size() < 3) return;
    const std::uint8_t chair = packet[2];
    links_.boxes.ShowMessageBox(
        kTableGroup, MsgType::OneButton,
        nameOf(chair) + " 不能继续玩下去，原因：" + PacketToString(packet, 3),
        links_.launch.strGameTitle + "系统提示", 10, "确定", "", true);
    if (links_.pub.blnEndRequested) return;
    if (chair != links_.pub.bteMyChair || links_.pub.blnIsOnlooker) return;
    if (links_.closeMainWindow) links_.closeMainWindow();
}

void TableNotices::onDaoJu(std::span<const std::uint8_t> packet) {
    if (packet.size() < 2) return;
    switch (packet[1]) {
        case kDaoJuCatalogue:
            links_.props.OnPropCatalogue(PacketToString(packet, 2));
            return;
        case kDaoJuOwned:
            links_.props.OnOwnedProps(PacketToString(packet, 2));
            return;
        case kDaoJuNotice:
            links_.boxes.ShowMessageBox(kTableGroup, MsgType::OneButton, PacketToString(packet, 2),
                                        links_.launch.strGameTitle + "提示", 10, "确定", "", true);
            return;
        case kDaoJuUsed: {
            std::int32_t prop = 0;
            if (!ReadLongBE(prop, packet, 4)) return;
            links_.alerts.warning("道具演示",
                                  std::to_string(packet[2]) + " 号用户对 " +
                                      std::to_string(packet[3]) + " 号用户使用ID号为 " +
                                      std::to_string(prop) + " 的道具",
                                  nullptr);
            return;
        }
        default:
            return;
    }
}

void TableNotices::sendVote(std::uint8_t answer, std::uint8_t answeringChair,
                            std::uint8_t requester) {
    const std::uint8_t vote[] = {GMSG_LEAVE, answer, answeringChair, requester};
    links_.sender.SendPacket(vote);
}

std::string TableNotices::nameOf(std::uint8_t chair) const {
    if (chair >= kChairCount) return {};
    return links_.table.arrSeat[chair].strUserName;
}

}  // namespace krvo
