#include "room/leave_table.h"

#include <string>

#include "core/packet.h"
#include "ports/message_boxes.h"
#include "ports/packet_sender.h"
#include "ports/room_controls.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "wire/game_protocol.h"

namespace krvo {
void LeaveTable::askToLeave() {
    LeaveAnswer& answer = links_.boxes.leaveAnswer();
    answer.bteMsgResult = 2;
    const TableState& table = links_.table;
    const std::string allowed = std::to_string(table.bteMaxLeaveRequests);
    links_.boxes.showMessageBox(
        0, MsgType::Reason,
        "游戏正在进行中，强退会被加倍扣分，如果您想征求大家的同意，请在下面输入理由（最多50个汉字，"
        "每局只能请求" +
            allowed + "次）",
        "系统提示", 20, "", "", true);
    if (links_.pub.blnEndRequested) return;
    if (answer.bteMsgResult != 0 || links_.pub.blnIsOnlooker) return;
    if (table.bteLeaveRequestsUsed < table.bteMaxLeaveRequests) {
        links_.chat.showSystemLine("系统提示：每人每局最多可请求离开" + allowed + "次，这是您第" +
                                   std::to_string(table.bteLeaveRequestsUsed + 1) +
                                   "次请求离开...");
        links_.sender.sendPacket(LeaveRequestPacket(links_.pub.bteMyChair, answer.strLeaveReason));
        return;
    }
    links_.boxes.showMessageBox(
        0, MsgType::OneButton,
        "系统规定每局游戏中您最多可以请求离开" + allowed + "次，您已达到规定次数！无法请求离开！",
        "系统提示", 5, "", "", true);
}

}  // namespace krvo
