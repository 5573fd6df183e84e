#include <gtest/gtest.h>

#include "room/leave_table.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "support/recording_room.h"
#include "support/recording_sender.h"

namespace krvo {
namespace {

using testing::CallLog;

struct LeaveTableTest : ::testing::Test {
    LeaveTableTest() {
        pub.bteMyChair = 2;
        table.bteMaxLeaveRequests = 2;
        table.bteLeaveRequestsUsed = 1;
    }

    CallLog log;
    PublicState pub;
    TableState table;
    testing::RecordingBoxes boxes{log};
    testing::RecordingChat chat{log};
    testing::RecordingSender sender;
    LeaveTable leave{{pub, table, boxes, chat, sender}};
};

TEST_F(LeaveTableTest, AskingSendsTheReasonAndCountsTheRequest) {
    boxes.nextLeave = {0, "有事"};
    leave.askToLeave();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0],
              "box.3 g0 系统提示 20 游戏正在进行中，强退会被加倍扣分，如果您想征求大家的同意，"
              "请在下面输入理由（最多50个汉字，每局只能请求2次）");
    EXPECT_EQ(log[1], "chat.system 系统提示：每人每局最多可请求离开2次，这是您第2次请求离开...");
    // 有 is GBK D3 D0, 事 is CA C2.
    EXPECT_EQ(sender.packets, (std::vector<Packet>{{24, 0, 2, 0xD3, 0xD0, 0xCA, 0xC2}}));
}

TEST_F(LeaveTableTest, EmptyReasonTravelsAsNull) {
    boxes.nextLeave = {0, ""};
    leave.askToLeave();
    EXPECT_EQ(sender.packets, (std::vector<Packet>{{24, 0, 2, 'n', 'u', 'l', 'l'}}));
}

TEST_F(LeaveTableTest, NothingIsSentWithoutAnAskingAnswerOrForOnlookers) {
    for (std::uint8_t result : {1, 2}) {
        boxes.nextLeave = {result, "x"};
        leave.askToLeave();
        EXPECT_EQ(boxes.leaveAnswer().bteMsgResult, result);
    }
    pub.blnIsOnlooker = true;
    boxes.nextLeave = {0, "x"};
    leave.askToLeave();
    EXPECT_TRUE(sender.packets.empty());
    EXPECT_EQ(log.size(), 3u);  // just the three reason boxes
}

TEST_F(LeaveTableTest, TheLimitIsToldInsteadOfAsking) {
    table.bteLeaveRequestsUsed = 2;
    boxes.nextLeave = {0, "x"};
    leave.askToLeave();
    EXPECT_TRUE(sender.packets.empty());
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1],
              "box.1 g0 系统提示 5 系统规定每局游戏中您最多可以请求离开2次，您已达到规定次数！无"
              "法请求离开！");
}

}  // namespace
}  // namespace krvo
