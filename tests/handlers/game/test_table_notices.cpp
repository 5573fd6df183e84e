#include "game/table_notices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/gbk.h"
#include "dialogs/message_box_registry.h"
#include "ports/table_scene.h"
#include "props/props_data.h"
#include "state/command_line.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "support/manual_event_loop.h"
#include "support/qt_test_application.h"
#include "support/recording_alerts.h"
#include "support/recording_box_calls.h"
#include "support/recording_room.h"
#include "support/recording_sender.h"

namespace krvo {
namespace {

using testing::RecordingBoxCalls;
using Bytes = std::vector<std::uint8_t>;
using Call = RecordingBoxCalls::Call;

// Header bytes followed by the GBK bytes of a UTF-8 text.
Bytes packetOf(std::initializer_list<std::uint8_t> header, std::string_view text = {}) {
    Bytes bytes(header);
    AppendGbk(text, bytes);
    return bytes;
}

class TableNoticesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureQtApplication(); }

    TableNoticesTest() {
        const char* names[] = {"东家", "南家", "西家", "北家"};
        for (std::size_t chair = 0; chair < kChairCount; ++chair) {
            table_.arrSeat[chair].strUserName = names[chair];
        }
        pub_.bteMyChair = 2;
        launch_.strGameTitle = "牌局";
        props_.resetMarket();
    }

    void handle(const Bytes& packet) { notices_.handleMessage(packet); }
    // The boxes actually waited on: another handler may run inside them.
    TableNotices::Links linksWith(MessageBoxService& boxes) {
        const auto close = [this](ExitReason) { ++closings_; };
        return {table_, pub_, launch_, boxes, chat_, sender_, alerts_, props_, scene_, close};
    }

    TableState table_;
    PublicState pub_;
    LaunchParams launch_;
    RecordingBoxCalls boxes_;
    testing::CallLog log_;
    testing::RecordingChat chat_{log_};
    testing::RecordingSender sender_;
    testing::RecordingAlerts alerts_;
    testing::RecordingSender propsSender_;
    std::string appPath_ = "/nonexistent/";
    PropsData props_{{propsSender_, appPath_}};
    NullTableScene scene_;
    int closings_ = 0;
    TableNotices notices_{linksWith(boxes_)};
};

TEST_F(TableNoticesTest, AnotherPlayersRequestIsPutToTheUserAndAnswered) {
    handle(packetOf({24, 0, 1}, "null"));
    boxes_.answer = false;
    handle(packetOf({24, 0, 3}, "家里有事"));
    // A requester outside the table still gets a question, without a name.
    boxes_.answer = true;
    handle(packetOf({24, 0, 7}, "null"));

    const std::vector<Call> expected = {
        {0, MsgType::TwoButtons, "南家请求离开！您是否同意？", "系统提示", 10, "同意", "拒绝",
         true},
        {0, MsgType::TwoButtons, "北家请求离开，理由是：家里有事！您是否同意？", "系统提示", 10,
         "同意", "拒绝", true},
        {0, MsgType::TwoButtons, "请求离开！您是否同意？", "系统提示", 10, "同意", "拒绝", true},
    };
    EXPECT_EQ(boxes_.calls, expected);
    EXPECT_EQ(sender_.packets, (std::vector<Bytes>{{24, 1, 2, 1}, {24, 2, 2, 3}, {24, 1, 2, 7}}));
    EXPECT_EQ(table_.bteLeaveRequestsUsed, 0);
}

TEST_F(TableNoticesTest, UnansweredLeaveQuestionAgreesWhenItsCountdownEnds) {
    testing::ManualEventLoop loop;
    MessageBoxRegistry registry(loop.clock(), loop.waiter(), alerts_, appPath_,
                                [] { return false; });
    TableNotices notices(linksWith(registry));
    notices.handleMessage(packetOf({24, 0, 0}, "null"));
    EXPECT_GE(loop.clock().nowMs(), 10000);
    EXPECT_EQ(sender_.packets, std::vector<Bytes>{Bytes({24, 1, 2, 0})});
    EXPECT_EQ(registry.openBoxCount(), 0);
}

TEST_F(TableNoticesTest, VoteIsSentAsTheTableStandsWhenTheBoxReturns) {
    // Other handlers run inside the box: our chair may change, or the program end.
    boxes_.onShow = [this] { pub_.bteMyChair = 0; };
    handle(packetOf({24, 0, 1}, "null"));
    boxes_.onShow = [this] { pub_.blnEndRequested = true; };
    handle(packetOf({24, 0, 1}, "null"));
    EXPECT_EQ(sender_.packets, std::vector<Bytes>{Bytes({24, 1, 0, 1})});
}

TEST_F(TableNoticesTest, OwnRequestEchoedCountsAndAgreesForOfflineChairs) {
    table_.arrSeat[1].blnOffline = true;
    table_.arrSeat[3].blnOffline = true;
    table_.bteLeaveRequestsUsed = 1;
    handle(packetOf({24, 0, 2}, "null"));
    EXPECT_EQ(table_.bteLeaveRequestsUsed, 2);
    EXPECT_EQ(sender_.packets, (std::vector<Bytes>{{24, 3, 1, 2}, {24, 3, 3, 2}}));
    EXPECT_TRUE(boxes_.calls.empty());

    // The count stops at the top of its byte instead of starting again.
    table_.bteLeaveRequestsUsed = 255;
    handle(packetOf({24, 0, 2}, "null"));
    EXPECT_EQ(table_.bteLeaveRequestsUsed, 255);
}

TEST_F(TableNoticesTest, AnswersToOurRequestGoToTheChat) {
    handle(packetOf({24, 1, 0, 2}));
    handle(packetOf({24, 2, 3, 2}));
    handle(packetOf({24, 1, 9, 2}));
    // Votes on somebody else's request are not ours to show.
    handle(packetOf({24, 1, 0, 1}));
    handle(packetOf({24, 2, 0, 3}));
    EXPECT_EQ(log_,
              (testing::CallLog{"chat.system 东家 同意您离开！", "chat.system 北家 不同意您离开！",
                                "chat.system  同意您离开！"}));
    EXPECT_TRUE(sender_.packets.empty());
}

TEST_F(TableNoticesTest, EverybodyAgreeingClosesTheWindowOnlyForTheRequester) {
    handle(packetOf({24, 3, 1, 0}));
    EXPECT_EQ(closings_, 0);
    handle(packetOf({24, 3, 2, 0}));
    EXPECT_EQ(closings_, 1);
    const std::vector<Call> expected = {
        {0, MsgType::OneButton, "大家都同意 南家 离开，本桌解散！", "系统", 5, "", "", true},
        {0, MsgType::OneButton, "大家都同意您离开，本桌解散！", "系统", 5, "", "", true},
    };
    EXPECT_EQ(boxes_.calls, expected);

    // Already ending while the box was up: the window is on its way out.
    boxes_.onShow = [this] { pub_.blnEndRequested = true; };
    handle(packetOf({24, 3, 2, 0}));
    EXPECT_EQ(closings_, 1);
}

TEST_F(TableNoticesTest, OnlookersSeeNoLeaveMessages) {
    pub_.blnIsOnlooker = true;
    table_.arrSeat[0].blnOffline = true;
    for (const Bytes& packet : {packetOf({24, 0, 1}, "null"), packetOf({24, 0, 2}, "null"),
                                packetOf({24, 1, 0, 2}), packetOf({24, 3, 2, 0})}) {
        handle(packet);
    }
    EXPECT_TRUE(boxes_.calls.empty());
    EXPECT_TRUE(sender_.packets.empty());
    EXPECT_TRUE(log_.empty());
    EXPECT_EQ(closings_, 0);
    EXPECT_EQ(table_.bteLeaveRequestsUsed, 0);
}

TEST_F(TableNoticesTest, PlayerWhoCannotGoOnIsAnnouncedAndOnlyThePlayerLeaves) {
    handle(packetOf({5, 0, 1}, "网络中断"));
    EXPECT_EQ(closings_, 0);
    handle(packetOf({5, 0, 2}, "掉线"));
    EXPECT_EQ(closings_, 1);
    pub_.blnIsOnlooker = true;
    handle(packetOf({5, 0, 2}));
    EXPECT_EQ(closings_, 1);
    handle(packetOf({5, 0}));  // no chair: nobody to name, nobody to close
    const std::vector<Call> expected = {
        {0, MsgType::OneButton, "南家 不能继续玩下去，原因：网络中断", "牌局系统提示", 10, "确定",
         "", true},
        {0, MsgType::OneButton, "西家 不能继续玩下去，原因：掉线", "牌局系统提示", 10, "确定", "",
         true},
        {0, MsgType::OneButton, "西家 不能继续玩下去，原因：", "牌局系统提示", 10, "确定", "",
         true},
    };
    EXPECT_EQ(boxes_.calls, expected);
}

TEST_F(TableNoticesTest, PropNoticeAndPropUsedAtTheTable) {
    handle(packetOf({133, 2}, "购买成功！"));
    ASSERT_EQ(boxes_.calls.size(), 1u);
    EXPECT_EQ(boxes_.calls[0],
              (Call{0, MsgType::OneButton, "购买成功！", "牌局提示", 10, "确定", "", true}));

    props_.readCatalogue("1`甲`1`5`0`鲜花`1`24`10`8`9`7`0");
    log_.clear();
    handle({133, 3, 12, 200, 0x00, 0x01, 0x00, 0x02});
    handle({133, 3, 1, 2, 0xFF, 0xFF, 0xFF, 0xFF});
    handle({133, 3, 3, 0, 0, 0, 0, 5});
    handle({133, 3, 1, 2, 0, 0, 0});  // the prop number is cut off
    // Shown without a loop of its own: the table goes on while it is up.
    EXPECT_TRUE(alerts_.warnings.empty());
    ASSERT_EQ(alerts_.notices.size(), 3u);
    EXPECT_EQ(alerts_.notices[0].caption, "道具演示");
    EXPECT_EQ(alerts_.notices[0].text, "12 号用户对 200 号用户使用ID号为 65538 的道具");
    EXPECT_EQ(alerts_.notices[1].text, "1 号用户对 2 号用户使用ID号为 -1 的道具");
    EXPECT_EQ(alerts_.notices[2].text, "3 号用户对 0 号用户使用ID号为 5 的道具");
    // The chat says it with the names and the catalogue's name.
    EXPECT_EQ(log_, (testing::CallLog{
                        "chat.system 12 号用户 对 200 号用户 使用了ID号为 65538 的道具",
                        "chat.system 南家 对 西家 使用了ID号为 -1 的道具",
                        "chat.system 北家 对 东家 使用了道具“鲜花”",
                    }));
    EXPECT_EQ(boxes_.calls.size(), 1u);
}

TEST_F(TableNoticesTest, EveryCutOfEveryMessageIsReadWithinItsBytes) {
    const std::vector<Bytes> whole = {
        packetOf({24, 0, 1}, "有事"),
        packetOf({24, 0, 2}, "null"),
        packetOf({24, 1, 0, 2}),
        packetOf({24, 3, 2, 0}),
        packetOf({5, 0, 2}, "原因"),
        packetOf({133, 2}, "提示"),
        {133, 3, 1, 2, 0, 0, 0, 7},
        packetOf({133, 0}, "1`甲`1`5`0`鲜花`1`24`10`8`9`7`0"),
        packetOf({133, 1}, "5:2:2030010112"),
    };
    table_.arrSeat[0].blnOffline = true;
    for (const Bytes& packet : whole) {
        for (std::size_t length = 0; length <= packet.size(); ++length) {
            // An exact-size copy, so that any read past the end is caught.
            const Bytes cut(packet.begin(), packet.begin() + static_cast<std::ptrdiff_t>(length));
            handle(cut);
        }
    }
    // Only leave messages that carry their chairs reach the server: four cuts
    // of the question (7 bytes) and four of our own echo (one offline chair).
    EXPECT_EQ(sender_.packets.size(), 8u);
    for (const Bytes& sent : sender_.packets) {
        ASSERT_EQ(sent.size(), 4u);
        EXPECT_EQ(sent[0], 24);
    }
    // The full 24/3 naming us, and the five cuts of message 5 that keep our chair.
    EXPECT_EQ(closings_, 6);
    // The props bodies reached the props data, the longest cut last.
    ASSERT_EQ(props_.typeCount(), 1);
    ASSERT_EQ(props_.arrOwnedTabs[1].arrItems.size(), 2u);
    EXPECT_EQ(props_.arrOwnedTabs[1].arrItems[1].strName, "鲜花");
    EXPECT_EQ(props_.arrOwnedTabs[1].arrItems[1].lngYear, 2030);
}

}  // namespace
}  // namespace krvo
