// The room against a scripted game: logins and chairs, onlookers, dropping out
// and coming back, the settings round, chat, preferences, props and the
// routing of the game's output.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <set>

#include "core/clock.h"
#include "core/gbk.h"
#include "core/packet.h"
#include "server/props_shop.h"
#include "server/room.h"

namespace krvo::server {
namespace {

class ScriptedGame final : public TableGame {
public:
    void setSeat(std::uint8_t chair, std::string name, bool computer) override {
        seats[chair] = name + (computer ? "*" : "");
    }
    void clearSeat(std::uint8_t chair) override { seats.erase(chair); }
    void setOffline(std::uint8_t chair, bool value) override { offline[chair] = value; }
    bool roundRunning() const override { return running; }
    void setReady(std::uint8_t chair) override { ready.insert(chair); }
    bool isReady(std::uint8_t chair) const override { return ready.contains(chair); }
    void handlePlayerPacket(std::uint8_t chair, std::span<const std::uint8_t> packet) override {
        received.emplace_back(chair, Packet(packet.begin(), packet.end()));
    }
    void advanceTo(std::int64_t nowMs) override {
        advancedTo.push_back(nowMs);
        if (deadline && *deadline <= nowMs) deadline.reset();
    }
    std::optional<std::int64_t> nextDeadline() const override { return deadline; }
    std::vector<Delivery> takeDeliveries() override { return std::exchange(pending, {}); }
    std::vector<EngineEvent> takeEvents() override { return std::exchange(events, {}); }
    Packet snapshot(std::uint8_t chair, bool onlooker, bool canSee) const override {
        return {109, chair, onlooker ? std::uint8_t{1} : std::uint8_t{0},
                canSee ? std::uint8_t{1} : std::uint8_t{0}};
    }

    std::map<std::uint8_t, std::string> seats;
    std::map<std::uint8_t, bool> offline;
    std::set<std::uint8_t> ready;
    std::vector<std::pair<std::uint8_t, Packet>> received;
    std::vector<std::int64_t> advancedTo;
    std::optional<std::int64_t> deadline;
    std::vector<Delivery> pending;
    std::vector<EngineEvent> events;
    bool running = false;
};

class RecordingOutput final : public RoomOutput {
public:
    void send(ClientId client, const Packet& packet) override { sent[client].push_back(packet); }
    void disconnect(ClientId client) override { disconnected.push_back(client); }
    std::string peerAddress(ClientId client) const override {
        const auto found = addresses.find(client);
        return found == addresses.end() ? std::string() : found->second;
    }

    // Packets a client got with the given main and sub id, decoded from index 2.
    std::vector<std::string> bodies(ClientId client, std::uint8_t main, std::uint8_t sub) const {
        std::vector<std::string> out;
        const auto found = sent.find(client);
        if (found == sent.end()) return out;
        for (const Packet& packet : found->second) {
            if (packet.size() >= 2 && packet[0] == main && packet[1] == sub) {
                out.push_back(PacketToString(packet, 2));
            }
        }
        return out;
    }
    std::size_t count(ClientId client, std::uint8_t main) const {
        const auto found = sent.find(client);
        if (found == sent.end()) return 0;
        return static_cast<std::size_t>(std::count_if(
            found->second.begin(), found->second.end(),
            [main](const Packet& packet) { return !packet.empty() && packet[0] == main; }));
    }

    std::map<ClientId, std::vector<Packet>> sent;
    std::vector<ClientId> disconnected;
    std::map<ClientId, std::string> addresses;
};

Packet Room2(std::uint8_t main, std::uint8_t sub, const std::string& body) {
    Packet packet;
    const std::uint8_t header[] = {main, sub};
    if (!BuildPacket(body, packet, 2, header)) packet = HeaderPacket({main, sub});
    return packet;
}

Packet ChatLine(const std::string& from, const std::string& to, const std::string& text,
                std::size_t fields = 10) {
    std::vector<std::string> parts = {from, to, from, to, text, "宋体", "9", "0", "0", "12:00:00"};
    parts.resize(fields);
    Packet packet;
    const std::uint8_t header[] = {1};
    BuildPacket(JoinFields(parts), packet, 1, header);
    return packet;
}

std::chrono::sys_seconds FixedNow() {
    using namespace std::chrono;
    return sys_days{year{2024} / 12 / 31} + hours{18};
}

struct RoomTest : ::testing::Test {
    RoomTest() { make({}); }

    void make(RoomSettings settings) {
        room.reset();
        game = ScriptedGame();
        output = RecordingOutput();
        room = std::make_unique<Room>(std::move(settings), game, shop, clock, output);
    }
    void login(ClientId client, const std::string& watch = "0") {
        room->packetArrived(client, Room2(130, 0, "500`KRVO`" + watch));
    }
    std::vector<std::string> fieldsOf(const std::string& row) { return SplitFields(row); }

    ManualClock clock;
    PropsShop shop{7, &FixedNow};
    ScriptedGame game;
    RecordingOutput output;
    std::unique_ptr<Room> room;
};

RoomSettings TwoHumans() {
    RoomSettings settings;
    settings.humans = 2;
    settings.names = {"张三", "李四", "王五"};
    return settings;
}

TEST_F(RoomTest, LoginsFillHumanChairsInOrderAndTellTheOthers) {
    make(TwoHumans());
    EXPECT_EQ(game.seats, (std::map<std::uint8_t, std::string>{{2, "电脑丙*"}, {3, "电脑丁*"}}));
    login(1);
    EXPECT_EQ(output.sent[1].front(), Room2(130, 3, "张三`张三"));
    const auto lists = output.bodies(1, 130, 2);
    ASSERT_EQ(lists.size(), 1u);
    const auto rows = SplitFields(lists[0], '\n');
    ASSERT_EQ(rows.size(), 3u);
    for (const std::string& row : rows) EXPECT_EQ(SplitFields(row).size(), 16u);
    EXPECT_EQ(fieldsOf(rows[2])[0], "张三");
    EXPECT_EQ(fieldsOf(rows[2])[13], "0");
    EXPECT_EQ(output.bodies(1, 111, 0), std::vector<std::string>{"张三`0`0`0`0`0`0"});
    EXPECT_EQ(output.bodies(1, 133, 1), std::vector<std::string>{""});

    login(2);
    EXPECT_EQ(game.seats[1], "李四");
    const auto arrivals = output.bodies(1, 130, 4);
    ASSERT_EQ(arrivals.size(), 1u);
    const auto row = fieldsOf(arrivals[0]);
    EXPECT_EQ(row[0], "李四");
    EXPECT_EQ(row[4], "");
    EXPECT_EQ(row[13], "1");
    EXPECT_TRUE(output.bodies(2, 130, 4).empty()) << "a newcomer is not told about itself";
}

TEST_F(RoomTest, AWrongGameCodeEndsTheConnectionAndNothingElseCountsBeforeLogin) {
    room->packetArrived(5, ChatLine("x", "所有人", "hi"));
    room->packetArrived(5, Room2(130, 0, "500`OTHER`0"));
    EXPECT_EQ(output.disconnected, std::vector<ClientId>{5});
    EXPECT_TRUE(output.sent[5].empty());
    EXPECT_EQ(game.seats.count(0), 0u);
}

// A table with a password: a login without it or with a wrong one gets the
// refusal as message 22 and no place, not even a dropped-out player's, and no
// second guess on that connection; the right one sits down. The host hears of
// each.
TEST_F(RoomTest, ATablePasswordIsCheckedAtTheLoginOneGuessPerConnection) {
    RoomSettings settings = TwoHumans();
    settings.password = "门 开`了";
    make(settings);
    std::vector<std::string> heard;
    room->setPresenceHandler([&heard](Presence presence, const std::string& name) {
        heard.push_back(std::to_string(static_cast<int>(presence)) + name);
    });
    const auto refused = [&](ClientId client) {
        return output.sent[client].size() == 1 && output.sent[client][0].size() > 1 &&
               output.sent[client][0][0] == 22 &&
               PacketToString(output.sent[client][0], 1) == "牌桌密码不对，无法入座。";
    };
    login(1);  // no password
    room->packetArrived(2, Room2(130, 0, "500`KRVO`0`门 开"));
    room->packetArrived(2, Room2(130, 0, "500`KRVO`0`门 开`了"));  // a second guess
    EXPECT_TRUE(refused(1));
    EXPECT_TRUE(refused(2));
    EXPECT_EQ(game.seats.count(0), 0u);
    room->packetArrived(3, Room2(130, 0, "500`KRVO`0`门 开`了"));
    EXPECT_EQ(game.seats[0], "张三");
    game.running = true;
    room->clientClosed(3);  // drops out during the round
    login(4);
    EXPECT_TRUE(refused(4)) << "a dropped-out player's place needs the password too";
    EXPECT_TRUE(game.offline[0]);
    EXPECT_EQ(heard, (std::vector<std::string>{"2", "2", "0张三", "1张三", "2"}));
    EXPECT_TRUE(output.disconnected.empty()) << "the network's deadlines end refused logins";
}

TEST_F(RoomTest, LongNamesAreCutAtACharacterBoundaryAndStillToldApart) {
    std::string longName;
    for (int i = 0; i < 40; ++i) longName += "甲";  // three bytes each
    RoomSettings settings = TwoHumans();
    settings.names = {longName, longName};
    make(settings);
    login(1);
    login(2);
    const std::string cut = longName.substr(0, 30);
    EXPECT_NE(room->findMember(cut), nullptr);
    EXPECT_NE(room->findMember(cut + "2"), nullptr);
}

TEST_F(RoomTest, ControlCharactersAreStrippedFromNames) {
    RoomSettings settings = TwoHumans();
    settings.names = {"\x1b[31m红\t字\x7f", "\n\r"};
    make(settings);
    login(1);
    login(2);
    EXPECT_NE(room->findMember("[31m红字"), nullptr);
    EXPECT_NE(room->findMember("玩家2"), nullptr) << "nothing left: the name given to nobody";
}

TEST_F(RoomTest, OnlookersWatchInTurnAndGetASnapshotOfARunningRound) {
    make(TwoHumans());
    login(1, "1");
    login(2);
    game.running = true;
    login(3);
    EXPECT_EQ(output.sent[3].front(), Room2(130, 3, "王五`张三"));
    EXPECT_EQ(output.bodies(3, 109, 0),
              std::vector<std::string>{PacketToString(Packet{109, 0, 1, 1}, 2)});
    const auto arrivals = output.bodies(1, 130, 0);
    ASSERT_EQ(arrivals.size(), 1u);
    EXPECT_EQ(fieldsOf(arrivals[0])[4], "张三");
    EXPECT_EQ(output.count(3, 111), 0u) << "an onlooker gets no start button";

    login(4);  // the next chair, whose player does not let onlookers see
    const auto& last = output.sent[4];
    ASSERT_TRUE(std::find(last.begin(), last.end(), Packet{109, 1, 1, 0}) != last.end());
}

TEST_F(RoomTest, OnlyPlayersReachTheGameAndDeliveriesReachTheirAudience) {
    make(TwoHumans());
    login(1);
    login(2);
    login(3);  // watches chair 0
    const Packet play{21, 0, 0, 0, 0, 0, 0, 1, 5};
    room->packetArrived(1, play);
    room->packetArrived(3, play);
    ASSERT_EQ(game.received.size(), 1u);
    EXPECT_EQ(game.received[0].first, 0);

    for (auto& [client, packets] : output.sent) packets.clear();
    game.pending = {{Audience::Player, 0, Packet{22, 1}},
                    {Audience::PlayerAndViewers, 0, Packet{19, 2}},
                    {Audience::Everyone, 0, Packet{18, 3}}};
    room->packetArrived(2, Packet{18, 1});
    EXPECT_EQ(output.sent[1], (std::vector<Packet>{{22, 1}, {19, 2}, {18, 3}}));
    EXPECT_EQ(output.sent[2], (std::vector<Packet>{{18, 3}}));
    EXPECT_EQ(output.sent[3], (std::vector<Packet>{{19, 2}, {18, 3}}));
}

TEST_F(RoomTest, ADropDuringARoundIsOfflineAndTheNextLoginTakesThePlaceBack) {
    make(TwoHumans());
    login(1);
    login(2);
    game.running = true;
    room->clientClosed(1);
    EXPECT_EQ(output.bodies(2, 108, 3), std::vector<std::string>{"张三"});
    EXPECT_TRUE(game.offline[0]);
    EXPECT_EQ(game.seats[0], "张三");

    login(7, "1");
    EXPECT_EQ(output.sent[7].front(), Room2(130, 3, "张三`张三"));
    EXPECT_EQ(output.bodies(2, 108, 0), std::vector<std::string>{"张三"});
    EXPECT_FALSE(game.offline[0]);
    const auto& back = output.sent[7];
    EXPECT_TRUE(std::find(back.begin(), back.end(), Packet{109, 0, 0, 1}) != back.end());
    EXPECT_EQ(output.count(7, 111), 0u);
    const auto list = SplitFields(output.bodies(7, 130, 2).at(0), '\n');
    const auto own = std::find_if(list.begin(), list.end(),
                                  [](const std::string& r) { return r.starts_with("张三`"); });
    ASSERT_NE(own, list.end());
    EXPECT_EQ(SplitFields(*own)[15], "0");
}

TEST_F(RoomTest, ADroppedPlayersChairGoesBackOnlyToItsAddressWithinTheWindow) {
    struct Case {
        const char* from;
        std::int64_t afterMs;
        const char* identity;
    };
    const Case cases[] = {
        {"192.168.1.20", kDefaultReturnWindowMs, "张三`张三"},
        {"192.168.1.21", 0, "王五`张三"},
        {"192.168.1.20", kDefaultReturnWindowMs + 1, "王五`张三"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " after " + std::to_string(c.afterMs));
        make(TwoHumans());
        output.addresses = {{1, "192.168.1.20"}, {2, "192.168.1.30"}, {7, c.from}};
        login(1);
        login(2);
        game.running = true;
        room->clientClosed(1);
        clock.advance(c.afterMs);
        login(7);
        EXPECT_EQ(output.sent[7].front(), Room2(130, 3, c.identity));
        EXPECT_EQ(game.offline[0], std::string(c.identity) != "张三`张三");
    }
}

TEST_F(RoomTest, LeavingBetweenRoundsFreesTheChairForTheNextLogin) {
    make(TwoHumans());
    login(1);
    login(2);
    room->packetArrived(1, Room2(110, 0, "张三"));
    EXPECT_EQ(output.disconnected, std::vector<ClientId>{1});
    EXPECT_EQ(output.bodies(2, 110, 0), std::vector<std::string>{"张三"});
    EXPECT_EQ(game.seats.count(0), 0u);
    login(3);
    EXPECT_EQ(game.seats[0], "王五");

    login(4);  // an onlooker, who leaves with 108/4
    room->clientClosed(4);
    EXPECT_EQ(output.bodies(2, 108, 4).size(), 1u);
    EXPECT_EQ(room->members().size(), 4u);
}

TEST_F(RoomTest, RoundEndScoresTheStatisticsAndFreesChairsWhosePlayersAreGone) {
    make(TwoHumans());
    login(1);
    login(2);
    game.running = true;
    room->clientClosed(2);
    Packet end{23, 1};
    for (std::int32_t score : {6, -2, -2, -2}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            end.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(score) >> shift));
        }
    }
    for (int chair = 0; chair < 4; ++chair) end.push_back(0);
    game.running = false;
    game.pending = {{Audience::Everyone, 0, end}, {Audience::Everyone, 0, end}};
    game.events = {{EngineEventKind::PlayerRanAway, 1}, {EngineEventKind::RoundEnded, 0}};
    room->packetArrived(1, Packet{18, 0});

    EXPECT_EQ(room->stats("张三").wins, 1);
    EXPECT_EQ(room->stats("张三").score, 6);
    EXPECT_EQ(room->stats("张三").games, 1) << "a second copy of the report counts once";
    EXPECT_EQ(room->stats("李四").losses, 1);
    EXPECT_EQ(room->stats("李四").escapes, 1) << "running away and being gone count once";
    EXPECT_EQ(output.bodies(1, 110, 0), std::vector<std::string>{"李四"});
    EXPECT_EQ(game.seats.count(1), 0u);
    const auto updates = output.bodies(1, 108, 6);
    ASSERT_EQ(updates.size(), 3u) << "one row per chair still taken";
    const auto winner = std::find_if(updates.begin(), updates.end(),
                                     [](const std::string& r) { return r.starts_with("张三`"); });
    ASSERT_NE(winner, updates.end());
    EXPECT_EQ(SplitFields(*winner)[5], "1");
    EXPECT_EQ(SplitFields(*winner)[6], "100");
}

TEST_F(RoomTest, ChatGoesToEverybodyOrPrivatelyAndOnlyFromItsSender) {
    make(TwoHumans());
    login(1);
    login(2);
    login(3);
    for (auto& [client, packets] : output.sent) packets.clear();
    const Packet open = ChatLine("张三", "所有人", "大家好");
    room->packetArrived(1, open);
    for (ClientId client : {1u, 2u, 3u}) EXPECT_EQ(output.sent[client], std::vector<Packet>{open});

    const Packet whisper = ChatLine("王五", "李四", "悄悄话");
    room->packetArrived(3, whisper);
    EXPECT_EQ(output.sent[1].size(), 1u);
    EXPECT_EQ(output.sent[2].back(), whisper);
    EXPECT_EQ(output.sent[3].back(), whisper);

    room->packetArrived(3, ChatLine("张三", "所有人", "冒名"));
    room->packetArrived(1, ChatLine("张三", "所有人", "短", 9));
    EXPECT_EQ(output.sent[2].size(), 2u);
}

TEST_F(RoomTest, ChatLinesCarryTheSendersOwnNameAndStaySmall) {
    make(TwoHumans());
    login(1);
    login(2);
    std::string longText;
    for (int i = 0; i < 400; ++i) longText += "话";  // three bytes each
    const auto line = [](std::vector<std::string> fields) {
        Packet packet;
        const std::uint8_t header[] = {1};
        BuildPacket(JoinFields(fields), packet, 1, header);
        return packet;
    };
    const std::string font(100, 'f');
    room->packetArrived(1, line({"张三", "所有人", "系统", "所有人", longText, font, "9", "0", "0",
                                 "12:00:00", "extra"}));
    const Packet relayed = line({"张三", "所有人", "张三", "所有人", longText.substr(0, 999),
                                 font.substr(0, kMaxChatFieldBytes), "9", "0", "0", "12:00:00"});
    EXPECT_EQ(output.sent[2].back(), relayed);
}

TEST_F(RoomTest, WatchPermissionChangesReachTheOnlookersOfThatChair) {
    make(TwoHumans());
    login(1);
    login(2);
    login(3);  // watches 张三
    room->packetArrived(2, Room2(113, 1, "李四`1"));
    EXPECT_EQ(output.count(3, 113), 0u);
    room->packetArrived(1, Room2(113, 1, "张三`1"));
    EXPECT_EQ(output.sent[3].back(), (Packet{113, 0, 1}));
    room->packetArrived(1, Room2(113, 1, "张三"));
    EXPECT_EQ(output.count(3, 113), 1u);
}

TEST_F(RoomTest, StartButtonMeansReadyOnlyBetweenRounds) {
    login(1);
    room->packetArrived(1, Room2(112, 1, "玩家1"));
    EXPECT_TRUE(game.isReady(0));
    game.ready.clear();
    game.running = true;
    room->packetArrived(1, Room2(112, 1, "玩家1"));
    EXPECT_FALSE(game.isReady(0));
}

TEST_F(RoomTest, SettingsRoundOwnerSetsOthersAgreeAndTheLastAgreementClearsTheMarks) {
    RoomSettings settings = TwoHumans();
    settings.settingsRound = true;
    make(settings);
    login(1);
    login(2);
    EXPECT_EQ(output.bodies(1, 111, 0),
              std::vector<std::string>{"张三`0`0`1`0`1`0`10`1000`1`30`300`0"});
    EXPECT_EQ(output.bodies(2, 111, 0),
              std::vector<std::string>{"李四`1`0`0`0`1`0`10`1000`1`30`300`0"});

    room->packetArrived(1, Room2(112, 0, "张三`5000`99999`1`30`300`0"));
    EXPECT_EQ(output.bodies(1, 111, 0).size(), 2u) << "a stake above the limit is asked again";
    room->packetArrived(2, Room2(112, 1, "李四"));
    EXPECT_TRUE(output.bodies(1, 112, 1).empty()) << "nobody agrees before the owner has set";

    room->packetArrived(1, Room2(112, 0, "张三`200`99999`1`50`300`0"));
    EXPECT_EQ(room->tableSettings(), "200`1000`1`50`300`0");
    EXPECT_EQ(output.bodies(2, 112, 0), std::vector<std::string>{"张三`200`1000`1`50`300`0"});
    EXPECT_EQ(output.bodies(2, 112, 1), (std::vector<std::string>{"电脑丙", "电脑丁"}));
    EXPECT_TRUE(game.ready.empty());

    room->packetArrived(2, Room2(112, 1, "李四"));
    EXPECT_EQ(output.bodies(1, 112, 2), std::vector<std::string>{"李四"});
    EXPECT_EQ(output.bodies(2, 111, 0).back(), "李四`1`0`0`0`0`0");
    EXPECT_TRUE(game.ready.empty()) << "agreeing is not raising a hand";
    room->packetArrived(2, Room2(112, 1, "李四"));
    EXPECT_TRUE(game.isReady(1));
}

TEST_F(RoomTest, ALateArrivalAgreesToSettingsAlreadyMade) {
    RoomSettings settings = TwoHumans();
    settings.settingsRound = true;
    make(settings);
    login(1);
    room->packetArrived(1, Room2(112, 0, "张三`20`1000`1`30`300`0"));
    EXPECT_TRUE(output.bodies(1, 112, 2).empty()) << "chair 1 is still free";
    login(2);
    EXPECT_EQ(output.bodies(2, 111, 0),
              std::vector<std::string>{"李四`1`0`0`0`1`1`20`1000`1`30`300`0"});
}

TEST_F(RoomTest, GameDeadlinesDriveTheClock) {
    game.deadline = 1500;
    login(1);
    clock.advance(1499);
    ASSERT_FALSE(game.advancedTo.empty()) << "the game hears the time before every input";
    EXPECT_LT(game.advancedTo.back(), 1500);
    clock.advance(1);
    EXPECT_EQ(game.advancedTo.back(), 1500);
    clock.advance(300);
    room->packetArrived(1, Packet{18, 0});
    EXPECT_EQ(game.advancedTo.back(), 1800);
}

TEST_F(RoomTest, TheLastPersonLeavingEmptiesTheRoomOnce) {
    int empties = 0;
    room->setEmptyHandler([&empties] { ++empties; });
    room->clientClosed(1);
    EXPECT_EQ(empties, 0) << "nobody has come yet";
    login(1);
    login(2);
    room->clientClosed(2);
    room->clientClosed(1);
    room->clientClosed(1);
    EXPECT_EQ(empties, 1);
}

// The client loads picture (number mod 1000) + 1 and the platform holds
// pictures 1 to 40, so every icon number dealt must be one of 0 to 39.
TEST_F(RoomTest, EveryIconNumberDealtNamesAPictureThePlatformHolds) {
    constexpr int kPictures = 40;
    std::set<int> pictures;
    for (std::uint32_t seed = 0; seed < 2 * kPictures; ++seed) {
        RoomSettings settings;
        settings.seed = seed;
        make(settings);
        for (ClientId client = 1; client <= 3; ++client) login(client);
        const auto lists = output.bodies(3, 130, 2);
        ASSERT_EQ(lists.size(), 1u);
        for (const std::string& row : SplitFields(lists[0], '\n')) {
            const int number = std::stoi(fieldsOf(row).at(12));
            const int picture = number % 1000 + 1;
            EXPECT_TRUE(picture >= 1 && picture <= kPictures) << "seed " << seed << ": " << number;
            pictures.insert(picture);
        }
    }
    EXPECT_EQ(pictures.size(), static_cast<std::size_t>(kPictures)) << "every picture is dealt";
}

TEST_F(RoomTest, BuyingAnswersWithTheOwnedListAndANotice) {
    login(1);
    room->packetArrived(1, Room2(133, 0, "7"));
    EXPECT_EQ(output.bodies(1, 133, 1).back(), "7:1:2025010718");
    EXPECT_EQ(shop.coins("玩家1"), PropsShop::kStartingCoins - PropsShop::findItem(7)->lngPriceNow);
    room->packetArrived(1, Room2(133, 0, "99"));
    EXPECT_EQ(output.bodies(1, 133, 1).size(), 2u);
    EXPECT_EQ(output.bodies(1, 133, 2).size(), 2u);
}

TEST(PropsShop, CatalogueListsTwelvePropsInTwoTypesWithTheirTargets) {
    PropsShop shop(1, &FixedNow);
    const auto fields = SplitFields(PacketToString(shop.cataloguePacket(), 2));
    ASSERT_EQ(fields.size(), 4u + 12 * 10);
    EXPECT_EQ(fields[0], "2");
    EXPECT_EQ(fields[3], "12");
    for (std::size_t i = 0; i < 12; ++i) {
        const std::size_t at = 4 + i * 10;
        EXPECT_EQ(fields[at], std::to_string(i + 1));
        EXPECT_EQ(fields[at + 1], fields[at + 9]) << "self props form the second type";
    }
    EXPECT_EQ(fields[4 + 2], "鲜花");
    EXPECT_EQ(fields[4 + 11 * 10 + 2], "奖杯");
}

TEST(PropsShop, RepeatedPurchasesAddPiecesAndTimeUntilTheCoinsRunOut) {
    PropsShop shop(1, &FixedNow);
    const std::int32_t price = PropsShop::findItem(1)->lngPriceNow;
    const auto first = shop.buy("甲", "1");
    ASSERT_EQ(first.size(), 2u);
    shop.buy("甲", "1");
    EXPECT_EQ(PacketToString(shop.ownedPacket("甲"), 2), "1:10:2025010218");
    EXPECT_EQ(shop.coins("甲"), PropsShop::kStartingCoins - 2 * price);
    EXPECT_EQ(shop.coins("乙"), PropsShop::kStartingCoins);

    int bought = 2;
    while (shop.buy("甲", "12").size() == 2) ++bought;
    EXPECT_LT(shop.coins("甲"), PropsShop::findItem(12)->lngPriceNow);
    EXPECT_GE(shop.coins("甲"), 0);
    EXPECT_EQ(shop.buy("甲", "").size(), 1u);
    EXPECT_EQ(shop.buy("甲", "0").size(), 1u);
}

// At most one prop per table as a round ends, and none once switched off.
TEST_F(RoomTest, ComputersUseRarePropsAtARoundsEndUnlessSwitchedOff) {
    for (const bool shows : {true, false}) {
        RoomSettings settings;
        settings.propShows = shows;
        make(settings);
        login(1);
        std::size_t props = 0;
        for (int round = 0; round < 200; ++round) {
            game.events = {{EngineEventKind::RoundEnded, 0}};
            room->packetArrived(1, Packet{18, 0});
            const std::size_t now = output.bodies(1, 133, 3).size();
            ASSERT_LE(now - props, 1u);
            props = now;
        }
        EXPECT_EQ(props == 0, !shows) << props;
        EXPECT_LE(props, 40u);
    }
}

TEST(PropsShop, ComputerPropsFollowTheSeedAndAimAtOthers) {
    PropsShop a(42, &FixedNow);
    PropsShop b(42, &FixedNow);
    const std::uint8_t computers[] = {2, 3};
    const std::uint8_t seated[] = {0, 1, 2, 3};
    constexpr int kRounds = 1000;
    int used = 0;
    for (int round = 0; round < kRounds; ++round) {
        const auto fromA = a.maybeComputerProp(computers, seated);
        EXPECT_EQ(fromA, b.maybeComputerProp(computers, seated));
        if (!fromA) continue;
        ++used;
        ASSERT_EQ(fromA->size(), 8u);
        EXPECT_GE((*fromA)[2], 2) << "a computer uses it";
        EXPECT_NE((*fromA)[3], (*fromA)[2]) << "on somebody else";
        EXPECT_LE((*fromA)[3], 3);
        std::int32_t id = 0;
        ASSERT_TRUE(ReadLongBE(id, *fromA, 4));
        EXPECT_FALSE(PropsShop::findItem(id)->onSelf);
    }
    // About one round in ten per table, not one in four per computer.
    EXPECT_GT(used, kRounds / 20);
    EXPECT_LT(used, kRounds * 3 / 20);
    const std::uint8_t alone[] = {3};
    for (int round = 0; round < 100; ++round) {
        EXPECT_FALSE(a.maybeComputerProp({}, seated)) << "nobody to use it";
        EXPECT_FALSE(a.maybeComputerProp(alone, alone)) << "nobody to use it on";
    }
}

}  // namespace
}  // namespace krvo::server
