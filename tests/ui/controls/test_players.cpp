#include "controls/people_view.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "controls/chat_control.h"
#include "controls/user_list_control.h"
#include "room/room_requests.h"
#include "wire/game_protocol.h"
#include "support/qt_test_application.h"
#include "support/recording_sender.h"
#include "support/seat_paint_recorder.h"

namespace krvo {
namespace {

// A user row with neutral values, changed field by field.
class Row {
public:
    explicit Row(std::string name)
        : fields_{name, "10001", "350", "120", "",  "42", "55", "3",
                  "23", "17",    "2",   "1",   "0", "0",  "0",  "0"} {}
    Row& watching(std::string name) { return set(4, std::move(name)); }
    Row& icon(std::string value) { return set(12, std::move(value)); }
    Row& chair(std::string value) { return set(13, std::move(value)); }
    Row& hand(std::string value) { return set(14, std::move(value)); }
    Row& offline(std::string value) { return set(15, std::move(value)); }
    std::string text() const { return JoinFields(fields_); }

private:
    Row& set(std::size_t field, std::string value) {
        fields_[field] = std::move(value);
        return *this;
    }
    std::array<std::string, 16> fields_;
};

std::string rows(std::initializer_list<Row> list) {
    std::string text;
    for (const Row& row : list) text += row.text() + "\n";
    return text;
}

class PlayersTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureQtApplication(); }

    void SetUp() override {
        launch_.strMyUserName = "alice";
        launch_.strLevelTitles = "新手_0`熟手_100`高手_500";
        InitPublicDefine(pub_, launch_, "/opt/platform/krvo");
        ResetAll(table_);
        ConfigureUserList(list_, launch_);
        ConfigureChat(chat_, pub_, launch_.strMyUserName);
    }

    // Loads the list without the glue, so the seats stay untouched.
    void loadQuietly(const std::string& text) {
        list_.blockSignals(true);
        list_.loadUsers(text);
        list_.blockSignals(false);
    }

    void fill(std::string_view names) {
        FillSeatsFromList(names, table_, pub_, listOps_, chatOps_, scene_, launch_.strMyUserName);
    }

    LaunchParams launch_;
    PublicState pub_;
    TableState table_;
    UserListControl list_;
    ChatControl chat_;
    QtUserListOps listOps_{list_};
    QtChatOps chatOps_{chat_};
    testing::SeatPaintRecorder scene_{table_};
    testing::RecordingSender sender_;
    RoomRequests requests_{{.launch = launch_, .sender = sender_}};
};

TEST_F(PlayersTest, NamesEventSeatsPlayersTurnsTheViewAndRepaintsEverySeat) {
    pub_.strViewUserName = "bob";
    loadQuietly(rows({Row("alice").chair("4").icon("1007").hand("1"),
                      Row("bob").chair("5").icon("2").offline("1"), Row("carol").watching("bob"),
                      Row("dave").chair("-1"), Row("erin").watching("   ").chair("3").hand("x")}));
    fill("alice`bob`carol`dave`erin`ghost");

    EXPECT_EQ(table_.arrSeat[0].strUserName, "alice");
    EXPECT_EQ(table_.arrSeat[0].lngIconNo, 1007);
    EXPECT_TRUE(table_.arrSeat[0].blnReady);
    EXPECT_FALSE(table_.arrSeat[0].blnOffline);
    EXPECT_EQ(table_.arrSeat[1].strUserName, "bob");
    EXPECT_TRUE(table_.arrSeat[1].blnOffline);
    EXPECT_FALSE(table_.arrSeat[1].blnReady);
    // A blank watched field still means a player; a negative chair seats nobody.
    EXPECT_EQ(table_.arrSeat[3].strUserName, "erin");
    EXPECT_FALSE(table_.arrSeat[3].blnReady);
    EXPECT_TRUE(table_.arrSeat[2].strUserName.empty());

    EXPECT_EQ(pub_.bteMyChair, 1);
    EXPECT_EQ(pub_.bteViewPos[1], 2);
    EXPECT_TRUE(pub_.blnIsOnlooker);

    const std::vector<std::string> recipients = chat_.recipients();
    EXPECT_EQ(recipients, (std::vector<std::string>{"所有人", "alice", "bob", "carol", "dave",
                                                    "erin", "ghost"}));

    std::vector<std::string> expected;
    const std::array<std::string, 4> names{"alice", "bob", "", "erin"};
    for (std::uint8_t chair = 0; chair < 4; ++chair) {
        const std::string prefix = std::to_string(chair) + " ";
        expected.push_back("seat " + prefix);
        expected.push_back("seat " + prefix + names[chair]);
        expected.push_back("offline " + prefix + names[chair]);
        expected.push_back("ready " + prefix + names[chair]);
    }
    EXPECT_EQ(scene_.calls, expected);
}

TEST_F(PlayersTest, RunningRoundShowsNoRaisedHandAndOnlookersLeaveSeatsAlone) {
    pub_.bteGameState = 1;
    loadQuietly(rows({Row("alice").chair("2").hand("1")}));
    fill("alice");
    EXPECT_EQ(table_.arrSeat[2].strUserName, "alice");
    EXPECT_FALSE(table_.arrSeat[2].blnReady);

    const TableState before = table_;
    scene_.calls.clear();
    loadQuietly(rows({Row("carol").watching("alice").chair("1")}));
    fill("carol");
    EXPECT_EQ(table_, before);
    EXPECT_EQ(scene_.calls.size(), 16u);
}

TEST_F(PlayersTest, LoadingTheListThroughTheGlueFillsTheSeats) {
    RoomPlayers players(table_, pub_, launch_, list_, chat_, scene_, requests_);
    pub_.strViewUserName = "alice";
    list_.loadUsers(rows({Row("alice").chair("3").icon("12")}));
    EXPECT_EQ(table_.arrSeat[3].strUserName, "alice");
    EXPECT_EQ(table_.arrSeat[3].lngIconNo, 12);
    EXPECT_EQ(pub_.bteViewPos[3], 2);
    EXPECT_FALSE(pub_.blnIsOnlooker);
}

TEST_F(PlayersTest, UserMenuCaptionsFollowTheRowAndTheScoreMode) {
    const std::string row = Row("bob").watching("alice").icon("2999").text();
    const auto items = BuildUserMenu(row, pub_, 0);
    ASSERT_TRUE(items.has_value());
    const std::array<std::string, 8> captions{"bob   身份：一星会员",
                                              "游戏ID：10001",
                                              "旁观对象：alice",
                                              "-",
                                              "与他（她）交谈",
                                              "-",
                                              "级别:熟手   胜率:55%   逃跑率:3%",
                                              "经验:350   胜:23   输:17   和:2   总局数:42"};
    for (std::size_t i = 0; i < captions.size(); ++i) {
        EXPECT_EQ((*items)[i].caption, captions[i]) << "item " << i;
        EXPECT_EQ((*items)[i].tag, "bob");
    }
    const auto scored = BuildUserMenu(row, pub_, 1);
    ASSERT_TRUE(scored.has_value());
    EXPECT_EQ((*scored)[7].caption.substr(0, 10), "积分:350");

    EXPECT_FALSE(BuildUserMenu("", pub_, 0).has_value());
    EXPECT_FALSE(BuildUserMenu(row + "`extra", pub_, 0).has_value());
    EXPECT_FALSE(BuildUserMenu(row.substr(0, row.rfind('`')), pub_, 0).has_value());
}

TEST_F(PlayersTest, MemberIdentityDividesTowardZero) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"2999", "一星会员"}, {"5000", "未知身份"}, {"-1000", "未知身份"},
        {"-1", "普通用户"},   {"4999", "三星会员"}, {"abc", "普通用户"}};
    for (const auto& [icon, identity] : cases) {
        const auto items = BuildUserMenu(Row("x").icon(icon).text(), pub_, 0);
        ASSERT_TRUE(items.has_value());
        EXPECT_EQ((*items)[0].caption, "x   身份：" + identity) << "icon " << icon;
    }
}

TEST_F(PlayersTest, RebuiltMenuHoldsOnlyTheSecondUserAndTalkChoosesTheRecipient) {
    chat_.updateRecipient("bob", "ADD");
    chat_.updateRecipient("R&D", "ADD");
    UserMenuWindow menu(chat_);
    menu.load(*BuildUserMenu(Row("bob").watching("alice").text(), pub_, 0));
    menu.load(*BuildUserMenu(Row("R&D").text(), pub_, 0));
    for (int i = 0; i < 8; ++i) {
        QAction* item = menu.menuItem(i);
        EXPECT_EQ(menu.itemTag(i), "R&D");
        EXPECT_TRUE(item->isVisible());
        EXPECT_EQ(item->isSeparator(), i == 3 || i == 5);
        EXPECT_FALSE(item->text().contains("bob")) << i;
    }
    EXPECT_EQ(menu.menuItem(0)->text().toStdString(), "R&&D   身份：普通用户");
    EXPECT_EQ(menu.menuItem(2)->text().toStdString(), "旁观对象：");

    menu.menuItem(1)->trigger();
    EXPECT_EQ(chat_.currentRecipient(), "所有人");
    // The choice unloads the menu; rebuild before the next choice.
    EXPECT_EQ(menu.menuItem(0)->text().toStdString(), "UserName");
    EXPECT_FALSE(menu.menuItem(4)->isVisible());
    EXPECT_TRUE(menu.itemTag(4).empty());

    menu.load(*BuildUserMenu(Row("R&D").text(), pub_, 0));
    menu.menuItem(4)->trigger();
    EXPECT_EQ(chat_.currentRecipient(), "R&D");
    menu.runItem(4);  // unloaded: no tag, nothing happens
    menu.runItem(99);
    EXPECT_EQ(chat_.currentRecipient(), "R&D");
}

TEST_F(PlayersTest, RightClickPopsTheMenuLeftClickChoosesTheRecipient) {
    RoomPlayers players(table_, pub_, launch_, list_, chat_, scene_, requests_);
    list_.loadUsers(rows({Row("alice"), Row("bob").chair("1")}));
    const QString bob = QString::fromStdString(list_.findUser("bob"));

    emit list_.userClicked(false, 0, "bob", bob);
    EXPECT_EQ(chat_.currentRecipient(), "bob");
    EXPECT_FALSE(players.userMenu().menu()->isVisible());

    emit list_.userClicked(true, 0, "alice", bob);
    EXPECT_TRUE(players.userMenu().menu()->isVisible());
    EXPECT_EQ(players.userMenu().itemTag(4), "bob");
    players.userMenu().menu()->hide();

    // A right click on a row the menu cannot use shows nothing.
    players.handleUserClick(true, "zed", "zed`1`2");
    EXPECT_FALSE(players.userMenu().menu()->isVisible());
}

std::vector<std::string> tenTexts() {
    return {"alice", "所有人", "alice", "所有人", "hi there", "宋体", "10", "255", "B", "12:00:01"};
}

TEST_F(PlayersTest, ChatPacketIsHeaderOneAndTenGbkFields) {
    std::vector<std::string> texts = tenTexts();
    texts[4] = "a`b";
    const Packet packet = ChatLinePacket(texts);
    ASSERT_GE(packet.size(), 2u);
    EXPECT_EQ(packet[0], GMSG_CHAT);
    // "所有人" goes out as GBK, two bytes per character.
    EXPECT_EQ(packet[7], 0xCBu);
    const std::vector<std::string> fields = SplitFields(PacketToString(packet, 1));
    ASSERT_EQ(fields.size(), 10u);
    texts[4] = "a'b";
    EXPECT_EQ(fields, texts);

    texts.pop_back();
    EXPECT_TRUE(ChatLinePacket(texts).empty());
}

TEST_F(PlayersTest, ReceivedChatShowsFieldsTwoToNineAndIgnoresShortLines) {
    std::vector<std::string> texts = tenTexts();
    texts[0] = "raw-sender";
    texts[2] = "shown-sender";
    EXPECT_TRUE(HandleChatMessage(ChatLinePacket(texts), chatOps_));
    ASSERT_EQ(chat_.lineCount(), 1);
    const QString line = chat_.lineText(0);
    EXPECT_TRUE(line.contains("shown-sender"));
    EXPECT_TRUE(line.contains("hi there"));
    EXPECT_TRUE(line.contains("12:00:01"));
    EXPECT_FALSE(line.contains("raw-sender"));

    Packet nine;
    const std::array<std::uint8_t, 1> header{GMSG_CHAT};
    ASSERT_TRUE(BuildPacket("a`b`c`d`e`f`g`h`i", nine, 1, header));
    EXPECT_FALSE(HandleChatMessage(nine, chatOps_));
    EXPECT_FALSE(HandleChatMessage(HeaderPacket({GMSG_CHAT}), chatOps_));
    EXPECT_FALSE(HandleChatMessage({}, chatOps_));
    EXPECT_EQ(chat_.lineCount(), 1);

    Packet twelve;
    ASSERT_TRUE(BuildPacket("a`b`c`d`msg`f`9`h`i`j`k`l", twelve, 1, header));
    EXPECT_TRUE(HandleChatMessage(twelve, chatOps_));
    EXPECT_TRUE(chat_.lineText(1).contains("msg"));
}

TEST_F(PlayersTest, TypedLineTravelsToTheServerAndBack) {
    RoomPlayers players(table_, pub_, launch_, list_, chat_, scene_, requests_);
    chat_.setTimeSource([] { return QTime(9, 5, 7); });
    chat_.updateRecipient("bob", "ADD");
    chat_.setCurrentRecipient("bob");
    chat_.input()->setText("see `you`");
    QTest::keyClick(chat_.input(), Qt::Key_Return);
    ASSERT_EQ(sender_.packets.size(), 1u);
    EXPECT_EQ(chat_.lineCount(), 0);  // shown when the server relays it

    ChatControl other;
    QtChatOps otherOps(other);
    ASSERT_TRUE(HandleChatMessage(sender_.packets[0], otherOps));
    EXPECT_TRUE(other.lineText(0).contains("see 'you'"));
    EXPECT_TRUE(other.lineText(0).contains("09:05:07"));
}

}  // namespace
}  // namespace krvo
