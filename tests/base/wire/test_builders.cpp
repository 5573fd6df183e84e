// Every builder against the bytes the written formats give, spelled out here.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wire/game_protocol.h"
#include "wire/props_protocol.h"
#include "wire/room_protocol.h"
#include "wire/table_snapshot.h"
#include "core/user_row.h"

namespace krvo {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Header bytes, then the characters of an ASCII text one byte each.
Bytes With(Bytes header, std::string_view ascii) {
    for (const char c : ascii) header.push_back(static_cast<std::uint8_t>(c));
    return header;
}

struct BuilderCase {
    const char* name;
    Packet built;
    Bytes expected;
};

std::vector<std::string> TenTexts() {
    return {"a", "所有人", "a", "所有人", "x`y", "f", "9", "0", "B", "12:00:00"};
}

RoundStartInfo SampleRoundStart() {
    RoundStartInfo info;
    info.bteAutoPlayLimit = 5;
    info.bteDeckCount = 2;
    info.blnShowOtherPai = 1;
    info.bteDeclareTime = 15;
    info.btePlayTime = 30;
    info.bteCurChair = 3;
    info.bteRoundState = 1;
    info.bteShouJiaChair = 3;
    info.blnShouJia = 1;
    info.bteMaxLeaveRequests = 2;
    return info;
}

const CardSpan kNoCards;
const Bytes kOneCard = {1};
const Bytes kTwoCards = {2, 3};
const Bytes kRedAces = {63, 76};

std::vector<BuilderCase> Cases() {
    SettingsAnnouncement offer;
    offer.name = "p";
    offer.chair = 2;
    SettingsAnnouncement owner = offer;
    owner.chair = 0;
    owner.owner = true;
    owner.settingsRound = true;
    owner.settings = "10`1000`1`30`300`0";
    DeclareReport jiu{1, 2, 1, 3, 5, 1, {{0, 3}}};
    const PlayReport play{1, 9, 1, 2, 0};
    return {
        // Sent by the table program.
        {"login", BuildLoginPacket(0), With({130, 0}, "500`KRVO`0")},
        {"game on", GameOnPacket(), {130, 1}},
        {"agreed", AgreedPacket("me"), With({112, 1}, "me")},
        {"preference", PreferencePacket("me", 1), With({113, 1}, "me`1")},
        {"leave table", LeaveTablePacket("me"), With({110, 0}, "me")},
        {"leave table without a name", LeaveTablePacket(""), {110, 0}},
        {"owner settings", OwnerSettingsPacket("me", "10`1000`1`30`300`0"),
         With({112, 0}, "me`10`1000`1`30`300`0")},
        {"chat line", ChatLinePacket(TenTexts()),
         With(With(With(With({1}, "a`"), "\xCB\xF9\xD3\xD0\xC8\xCB`a`"),
                   "\xCB\xF9\xD3\xD0\xC8\xCB`"),
              "x'y`f`9`0`B`12:00:00")},
        {"chat line of nine texts", ChatLinePacket(std::vector<std::string>(9, "a")), {}},
        {"ask for hand", AskForHandPacket(2), {2, 0, 2}},
        {"deal acknowledged", DealAckPacket(3), {19, 3}},
        {"hand up", HandUpPacket(1), {18, 1}},
        {"declare answer", DeclareAnswerPacket(4, 2, 1), {20, 4, 2, 1, 0, 0, 0, 0, 0, 0, 0}},
        {"play", PlayPacket(1, kTwoCards), {21, 0, 0, 0, 0, 0, 1, 2, 2, 3}},
        {"pass", PassPacket(3), {21, 0, 0, 0, 0, 0, 3, 1, 254}},
        {"leave request", LeaveRequestPacket(1, "\xE8\xB5\xB0"), {24, 0, 1, 0xD7, 0xDF}},
        {"leave request without reason", LeaveRequestPacket(1, ""), With({24, 0, 1}, "null")},
        {"vote for an offline chair", LeaveVotePacket(3, 1, 2), {24, 3, 1, 2}},
        {"buy prop", BuyPropPacket(12), With({133, 0}, "12")},
        // Sent by the room server.
        {"round start", RoundStartPacket(SampleRoundStart()), {17, 0, 0, 5,  0,  0, 0, 0, 0, 0,
                                                               0,  2, 1, 15, 30, 3, 1, 3, 1, 2}},
        {"deal", DealPacket(0, kTwoCards), {19, 0, 2, 3}},
        {"hand again", MyPaiPacket(kTwoCards), {2, 0, 2, 2, 3}},
        {"declaration with a reveal", DeclarePacket(jiu), {20, 1, 2, 1, 3, 5, 1, 0, 3, 0xFF, 0}},
        {"play reported", OutPaiPacket(play, kRedAces), {21, 0, 1, 9, 1, 2, 0, 2, 63, 76}},
        {"refusal", RejectPacket("no"), With({22}, "no")},
        {"round end",
         RoundEndPacket({5, -5, 0, 256}, {kOneCard, kNoCards, kTwoCards, kNoCards}),
         {23, 1, 0, 0, 0, 5, 0xFF, 0xFF, 0xFF, 0xFB, 0, 0, 0, 0, 0, 0, 1, 0, 1, 1, 0, 2, 2, 3, 0}},
        {"round end short", RoundEndShortPacket(), {23, 0}},
        {"leave granted", LeaveGrantedPacket(2), {24, 3, 2, 0}},
        {"cannot go on", CannotGoOnPacket(1, "x"), With({5, 0, 1}, "x")},
        {"onlooker may see", SeePaiPacket(true), {113, 0, 1}},
        {"identity", IdentityPacket("a", "b"), With({130, 3}, "a`b")},
        {"user list", UserListPacket(std::vector<std::string>{"r1", "r2"}),
         With({130, 2}, "r1\nr2")},
        {"player arrives", PlayerArrivesPacket("r"), With({130, 4}, "r")},
        {"onlooker arrives", OnlookerArrivesPacket("r"), With({130, 0}, "r")},
        {"user online", UserOnlinePacket("n"), With({108, 0}, "n")},
        {"user offline", UserOfflinePacket("n"), With({108, 3}, "n")},
        {"onlooker leaves", OnlookerLeavesPacket("n"), With({108, 4}, "n")},
        {"user update", UserUpdatePacket("r"), With({108, 6}, "r")},
        {"all agreed", AllAgreedPacket("n"), With({112, 2}, "n")},
        {"chat text", ChatTextPacket("hi"), With({105, 0, 0}, "hi")},
        {"start offered", SettingsAnnouncementPacket(offer), With({111, 0}, "p`2`0`0`0`0`0")},
        {"owner asked", SettingsAnnouncementPacket(owner),
         With({111, 0}, "p`0`0`1`0`1`0`10`1000`1`30`300`0")},
        {"catalogue", PropCataloguePacket("0"), With({133, 0}, "0")},
        {"owned props", OwnedPropsPacket(""), {133, 1}},
        {"props notice", PropsNoticePacket("ok"), With({133, 2}, "ok")},
        {"prop used", PropUsedPacket({1, 2, 5}), {133, 3, 1, 2, 0, 0, 0, 5}},
    };
}

TEST(WireBuilders, EachPacketHasTheWrittenBytes) {
    for (const BuilderCase& c : Cases()) {
        EXPECT_EQ(c.built, c.expected) << c.name;
    }
}

TEST(WireBuilders, IdleSnapshotAndRunningSnapshot) {
    TableSnapshot idle;
    idle.ready = {true, false, true, false};
    idle.blnCanSeeMyPai = 1;
    EXPECT_EQ(TableSnapshotPacket(idle), (Bytes{109, 0, 0, 0, 1, 0, 1, 0, 1}));

    TableSnapshot running;
    running.running = true;
    running.blnCanSeeMyPai = 1;
    running.bteMaxLeaveRequests = 2;
    running.bteLeaveRequestsUsed = 1;
    running.bteDeckCount = 1;
    running.blnShowOtherPai = 1;
    running.bteDeclareTime = 15;
    running.btePlayTime = 30;
    running.bteCurChair = 2;
    running.bteRoundState = 10;
    running.udtMaxOutPai = {1, 0, 7, 1};  // chair, type, card, count
    running.bteRoundLiang = 1;
    for (std::uint8_t chair = 0; chair < 4; ++chair) {
        SeatSnapshot& seat = running.seats[chair];
        seat.bteLiang = 0;
        seat.bteJiu = 4;
        seat.bteJue = 4;
        seat.bteZhi = 4;
        seat.bteMingCi = 0;
        seat.btePaiCount = static_cast<std::uint8_t>(10 + chair);
    }
    running.seats[1].bteOutPai = {7};
    running.bteMyPai = {8, 9};
    const Bytes expected = {
        109, 0, 1,  0,  1,  2,  1, 1, 1, 15, 30, 2, 10, 1, 7, 0, 1,  // the play to beat: chair,
                                                                     // card, type, count
        1,   0, 0,  0,                                               // the round's marks
        0,   0, 0,  0,  4,  4,  4, 4, 4, 4,  4,  4, 4,  4, 4, 4, 0, 0,
        0,   0, 10, 11, 12, 13, 0, 1, 7, 0,  0,  // played cards, chair by chair
        2,   8, 9};
    EXPECT_EQ(TableSnapshotPacket(running), expected);
}

TEST(WireBuilders, UserRowJoinsSixteenFieldsInColumnOrder) {
    UserRow row;
    row.userName = "n";
    row.userId = "1";
    row.score = "2";
    row.level = "3";
    row.rounds = "5";
    row.winRate = "6";
    row.runAwayRate = "7";
    row.wins = "8";
    row.losses = "9";
    row.draws = "10";
    row.kind = "11";
    row.icon = "12";
    row.chair = "13";
    row.handRaised = "14";
    row.offline = "15";
    EXPECT_EQ(JoinUserRow(row), "n`1`2`3``5`6`7`8`9`10`11`12`13`14`15");
}

}  // namespace
}  // namespace krvo
