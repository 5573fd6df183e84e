#include <gtest/gtest.h>

#include "support/room_wiring.h"

namespace krvo {
namespace {

using testing::CallLog;

std::string row(std::string_view name, std::string_view watched, std::string_view chair,
                std::string_view icon = "1001") {
    return std::string(name) + "`1`0`100`" + std::string(watched) + "`1`50`0`1`1`0`0`" +
           std::string(icon) + "`" + std::string(chair) + "`0`0";
}

Packet room(std::uint8_t id, std::uint8_t sub, std::string_view body) {
    const std::uint8_t header[] = {id, sub};
    Packet packet;
    if (!BuildPacket(body, packet, 2, header)) packet = {id, sub};
    return packet;
}

struct RoomHandlerTest : ::testing::Test, testing::RoomWiring {
    RoomHandlerTest() : RoomWiring("我") {}

    void receive(const Packet& packet) { handler.handleRoomMessage(packet); }
    void seat(int chair, std::string name) { table.arrSeat[chair].strUserName = std::move(name); }
    std::vector<Packet> sent() const { return sender.packets; }
};

TEST_F(RoomHandlerTest, OnlookersArriveOnceAndLeave) {
    const std::string watcher = row("看客", "甲", "0");
    receive(room(130, 0, watcher));
    EXPECT_EQ(log, (CallLog{"list.add " + watcher, "chat.system 看客 进来了，正在旁观 甲 游戏...",
                            "chat.add 看客", "sound 8"}));
    log.clear();
    receive(room(130, 0, watcher));                          // already listed
    receive(room(130, 0, row("坐客", "  ", "1")));           // a player's row
    receive(room(130, 0, row("短", "甲", "1") + "`extra"));  // 17 fields
    receive(room(130, 0, ""));
    EXPECT_TRUE(log.empty());

    receive(room(108, 4, "看客"));
    EXPECT_EQ(log, (CallLog{"list.remove 看客", "chat.system 旁观用户 看客 走了...",
                            "chat.del 看客", "sound 9"}));
    log.clear();
    receive(room(108, 4, "看客"));
    receive(room(108, 4, ""));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(table.arrSeat, TableState{}.arrSeat);
}

TEST_F(RoomHandlerTest, PlayersArriveIntoTheirChairs) {
    receive(room(130, 4, row("甲", "", "6", "2999")));
    EXPECT_EQ(log, (CallLog{"list.add " + row("甲", "", "6", "2999"), "chat.system 甲 进来了...",
                            "chat.add 甲", "paint.seat 2"}));
    EXPECT_EQ(table.arrSeat[2].strUserName, "甲");
    EXPECT_EQ(table.arrSeat[2].lngIconNo, 2999);

    // Listed already: not even the seat changes.
    log.clear();
    receive(room(130, 4, row("甲", "", "1")));
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(table.arrSeat[1].strUserName.empty());

    // A negative chair keeps its sign through the modulo and picks no seat;
    // an onlooker's row takes none either. Both still join the list.
    receive(room(130, 4, row("乙", "", "-3")));
    receive(room(130, 4, row("丙", "甲", "3")));
    EXPECT_TRUE(users.rows.count("乙") && users.rows.count("丙"));
    for (int c : {0, 1, 3}) EXPECT_TRUE(table.arrSeat[c].strUserName.empty()) << c;
    for (const std::string& call : log) EXPECT_NE(call.rfind("paint.seat", 0), 0u) << call;
}

TEST_F(RoomHandlerTest, ArrivalsWithoutANameAreRefusedWhole) {
    seat(2, "甲");
    table.arrSeat[2].lngIconNo = 7;
    const TableState before = table;
    for (const std::string name : {"", "  "}) {
        receive(room(130, 0, row(name, "甲", "2")));  // an onlooker
        receive(room(130, 4, row(name, "", "2")));    // a player into 甲's chair
        receive(room(130, 4, row(name, "甲", "2")));
    }
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(users.rows.empty());
    EXPECT_EQ(table, before);
}

TEST_F(RoomHandlerTest, OfflineAndBackOnlineOnlyForSeatedNames) {
    seat(1, "甲");
    receive(room(108, 3, "甲"));
    EXPECT_TRUE(table.arrSeat[1].blnOffline);
    receive(room(108, 0, "甲"));
    EXPECT_FALSE(table.arrSeat[1].blnOffline);
    EXPECT_EQ(log, (CallLog{"paint.offline 1", "chat.system 不好，甲 掉线了...", "paint.offline 1",
                            "chat.system 哈哈，甲 终于上线了..."}));
    log.clear();
    receive(room(108, 0, "乙"));
    receive(room(108, 3, ""));  // empty chairs hold no one called ""
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(table.arrSeat[0].blnOffline);
}

TEST_F(RoomHandlerTest, LeavingClearsTheSeatOnlyForListedUsers) {
    seat(3, "甲");
    table.arrSeat[3].lngIconNo = 7;
    table.arrSeat[3].blnReady = true;
    table.arrSeat[3].blnOffline = true;
    receive(room(110, 0, "甲"));  // not in the list: nothing at all
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(table.arrSeat[3].strUserName, "甲");

    users.rows["甲"] = row("甲", "", "3");
    receive(room(110, 0, "甲"));
    EXPECT_EQ(log, (CallLog{"list.remove 甲", "chat.system 甲 走了...", "chat.del 甲",
                            "paint.seat 3", "paint.ready 3", "paint.offline 3"}));
    EXPECT_TRUE(table.arrSeat[3].strUserName.empty());
    EXPECT_EQ(table.arrSeat[3].lngIconNo, 0);
    EXPECT_FALSE(table.arrSeat[3].blnReady);
    EXPECT_FALSE(table.arrSeat[3].blnOffline);
}

TEST_F(RoomHandlerTest, OwnNamesNeedExactlyTwoFields) {
    receive(room(130, 3, "甲"));
    receive(room(130, 3, "甲`乙`丙"));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(launch.strMyUserName, "我");
    receive(room(130, 3, "甲`乙"));
    EXPECT_EQ(launch.strMyUserName, "甲");
    EXPECT_EQ(pub.strViewUserName, "乙");
    EXPECT_EQ(log, (CallLog{"list.own 甲", "chat.own 甲"}));
}

TEST_F(RoomHandlerTest, TableResetStartsAfresh) {
    launch.strLevelTitles = "甲_0`乙_10";
    pub.bteGameState = 1;
    pub.blnCanStart = true;
    pub.bteViewPos = {1, 2, 3, 0};
    seat(0, "甲");
    table.lngTotalScore[0] = 40;
    receive(room(130, 1, ""));
    EXPECT_EQ(log, (CallLog{"box.close g0", "box.init", "flow.stopClock", "flow.startButton",
                            "paint.table", "list.clear", "chat.clear", "chat.target 所有人"}));
    EXPECT_EQ(pub.bteGameState, 0);
    EXPECT_FALSE(pub.blnCanStart);
    EXPECT_EQ(pub.bteViewPos, (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(pub.levelTitles.size(), 2u);
    EXPECT_EQ(pub.strAppPath, "/app/krvo/");
    EXPECT_EQ(table.arrSeat, TableState{}.arrSeat);
    EXPECT_EQ(table.lngTotalScore[0], 0);
}

TEST_F(RoomHandlerTest, ListLoadUpdateChatTextAndWindowFlag) {
    receive(room(130, 2, "a\nb"));
    receive(room(108, 6, row("甲", "", "0")));
    const std::uint8_t chatHeader[] = {105, 0, 9};
    Packet chatText;
    BuildPacket("欢迎", chatText, 3, chatHeader);
    receive(chatText);
    receive(Packet{105, 0});  // nothing to show
    EXPECT_EQ(log, (CallLog{"list.clear", "list.load a\nb", "list.update " + row("甲", "", "0"),
                            "chat.text 欢迎"}));
    receive(Packet{130, 5, 1});
    receive(Packet{130, 5, 0});
    receive(Packet{130, 5});  // no flag byte: ignored
    EXPECT_EQ(hides, (std::vector<bool>{true, false}));
    receive(Packet{130});
    receive(Packet{});
    receive(room(130, 9, "x"));
    receive(room(200, 0, "x"));
    EXPECT_EQ(log.size(), 4u);
}

TEST_F(RoomHandlerTest, SettingsAnnouncementOffersStartOrOpensTheRound) {
    receive(room(111, 0, "a`b`c`1`d"));  // five fields: ignored
    EXPECT_TRUE(log.empty());

    receive(room(111, 0, "a`b`c`1`d`0`1`10`100`5`20`50`1"));
    EXPECT_EQ(log, (CallLog{"flow.startButton"}));
    EXPECT_TRUE(pub.blnCanStart);
    EXPECT_EQ(pub.bteGameState, 0);

    log.clear();
    receive(room(111, 0, "a`b`c`1`d`1`0`10`100`5`20`50`1"));
    EXPECT_EQ(log, (CallLog{"dialog.owner 10`100`5`20`50`1"}));

    log.clear();
    receive(room(111, 0, "a`b`c`0`d`2`0`10`100`5`20`50`1"));
    EXPECT_EQ(log, (CallLog{"box.0 g0  0 等待桌主进行本桌游戏设置..."}));

    log.clear();
    receive(room(111, 0, "a`b`c`0`d`1`1`10`100`5`20`50`1"));
    EXPECT_EQ(log, (CallLog{"dialog.guest 10`100`5`20`50`1"}));
    EXPECT_TRUE(sender.packets.empty());

    // A dialog that cannot take the settings means leaving the table.
    dialogs.accept = false;
    receive(room(111, 0, "a`b`c`1`d`1`0`10`100"));
    EXPECT_EQ(sender.packets, (std::vector<Packet>{room(110, 0, "我")}));
}

TEST_F(RoomHandlerTest, SettingsAgreementMarksTheSeatAndEndsTheRound) {
    receive(room(112, 2, "无人"));  // holds no seat: nothing, sub id or not
    receive(room(112, 1, ""));
    EXPECT_TRUE(log.empty());

    seat(0, "我");
    seat(1, "甲");
    receive(room(112, 0, "甲`10`100`5`20`50`1"));
    EXPECT_EQ(log, (CallLog{"paint.ready 1", "box.close g0", "dialog.guest 10`100`5`20`50`1"}));
    EXPECT_TRUE(table.arrSeat[1].blnReady);

    log.clear();
    receive(room(112, 1, "我`10`100`5`20`50`1"));  // our own settings: no dialog
    EXPECT_EQ(log, (CallLog{"paint.ready 0", "box.close g0"}));

    log.clear();
    receive(room(112, 2, "甲"));
    EXPECT_EQ(log, (CallLog{"paint.ready 1", "box.close g0", "paint.ready 0", "paint.ready 1",
                            "paint.ready 2", "paint.ready 3"}));
    for (const SeatInfo& s : table.arrSeat) EXPECT_FALSE(s.blnReady);

    // Refusing the settings leaves, and the final clearing does not happen.
    dialogs.accept = false;
    log.clear();
    receive(room(112, 2, "甲`1`2`3`4`5"));
    EXPECT_EQ(sender.packets, (std::vector<Packet>{room(110, 0, "我")}));
    EXPECT_TRUE(table.arrSeat[1].blnReady);
}

Packet snapshot() {
    Packet p(45, 0);
    p[0] = 109;
    p[2] = 1;    // a round runs
    p[4] = 0;    // onlookers may not see the cards
    p[5] = 2;    // leave requests allowed
    p[7] = 1;    // decks
    p[9] = 15;   // declare time
    p[10] = 30;  // play time
    p[11] = 3;   // current chair
    p[12] = 10;  // following
    p[13] = 1;   // play to beat: chair, card, type, count
    p[14] = 5;
    p[15] = 0;
    p[16] = 1;
    for (int c = 0; c < 4; ++c) p[41 + c] = 12;  // cards per chair
    for (std::uint8_t list : {0, 1, 0, 0}) {
        p.push_back(list);
        if (list) p.push_back(5);
    }
    p.insert(p.end(), {2, 30, 40});  // the own hand
    return p;
}

TEST_F(RoomHandlerTest, SnapshotResumesTheRoundOrChangesNothing) {
    table.arrSeat[2].blnReady = true;
    table.arrSeat[2].strUserName = "甲";
    Packet cut = snapshot();
    cut.pop_back();
    const TableState before = table;
    receive(cut);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(table, before);
    EXPECT_EQ(pub.bteGameState, 0);

    pub.blnCanStart = true;
    receive(snapshot());
    EXPECT_EQ(log, (CallLog{"flow.stopClock", "flow.startButton", "paint.layout", "paint.table",
                            "flow.action"}));
    EXPECT_EQ(pub.bteGameState, 1);
    EXPECT_FALSE(pub.blnCanStart);
    EXPECT_EQ(table.bteRoundState, 10);
    EXPECT_EQ(table.bteCurChair, 3);
    EXPECT_EQ(table.udtMaxOutPai.bteMaxPai, 5);
    EXPECT_EQ(table.arrSeat[1].bteOutPai, (CardList{5}));
    EXPECT_EQ(table.bteMyPai, (CardList{30, 40}));
    EXPECT_EQ(table.blnCanSeeMyPai, 1);  // a player always sees the own hand
    EXPECT_FALSE(table.arrSeat[2].blnReady);
    EXPECT_EQ(table.arrSeat[2].strUserName, "甲");
    EXPECT_FALSE(table.blnNoGame);
}

}  // namespace
}  // namespace krvo
