// The parsers: what each takes from a well-formed body, and that a body too
// short (or of the wrong size) for its layout is refused.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/round_codes.h"
#include "wire/game_protocol.h"
#include "wire/props_protocol.h"
#include "wire/room_protocol.h"
#include "wire/table_snapshot.h"
#include "core/user_row.h"

namespace krvo {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Cards(std::optional<CardSpan> cards) {
    return cards ? Bytes(cards->begin(), cards->end()) : Bytes{99};
}

Bytes NineFieldChat() {
    const std::string text = "a`b`c`d`e`f`g`h`i";
    Bytes packet = {1};
    packet.insert(packet.end(), text.begin(), text.end());
    return packet;
}

// A user row of 16 fields, empty but for the one given.
std::string RowWith(std::size_t field, const std::string& value) {
    std::vector<std::string> fields(16);
    fields[0] = "n";
    fields[field] = value;
    return JoinFields(fields);
}

struct Refused {
    const char* name;
    bool parsed;
};

TEST(WireParsers, BodiesTooShortForTheirLayoutAreRefused) {
    const Bytes idleCut = {109, 0, 0, 0, 1, 0, 1, 0};
    const Bytes runningCut = {109, 0, 1, 0, 1, 2};
    const Refused cases[] = {
        {"round start of 19 bytes", ParseRoundStart(Bytes(19, 17)).has_value()},
        {"round start of 21 bytes", ParseRoundStart(Bytes(21, 17)).has_value()},
        {"deal one card short", ParseDeal(Bytes{19, 0, 5}, 2).has_value()},
        {"hand without count", ParseMyPai(Bytes{2, 0}).has_value()},
        {"hand a card short", ParseMyPai(Bytes{2, 0, 3, 1, 2}).has_value()},
        {"hand up of three bytes", ParseHandUp(Bytes{18, 1, 0}).has_value()},
        {"declaration of ten bytes", ParseDeclare(Bytes(10, 0)).has_value()},
        {"answer without answer byte", ParseDeclareAnswer(Bytes{20, 0, 1}).has_value()},
        {"play without cards", ParseOutPai(Bytes{21, 0, 0, 0, 0, 0, 1, 0}).has_value()},
        {"play a card short", ParseOutPai(Bytes{21, 0, 0, 0, 0, 0, 1, 2, 5}).has_value()},
        {"round end of five bytes", ParseRoundEnd(Bytes{23, 1, 0, 0, 0}).has_value()},
        {"round end scores cut", ParseRoundEnd(Bytes(17, 1)).has_value()},
        {"leave message of three bytes", ParseLeaveMessage(Bytes{24, 0, 1}).has_value()},
        {"player's vote of three bytes", ParsePlayerLeave(Bytes{24, 1, 1}).has_value()},
        {"cannot go on without chair", ParseCannotGoOn(Bytes{5, 0}).has_value()},
        {"see pai of two bytes", ParseSeePai(Bytes{113, 0}).has_value()},
        {"prop used without its number", ParsePropUsed(Bytes{133, 3, 1, 2, 0, 0, 0}).has_value()},
        {"snapshot of two bytes", ParseTableSnapshot(Bytes{109, 0}).has_value()},
        {"idle snapshot cut", ParseTableSnapshot(idleCut).has_value()},
        {"running snapshot cut", ParseTableSnapshot(runningCut).has_value()},
        {"chat line of nine fields", ParseChatLine(NineFieldChat()).has_value()},
        {"user row of 15 fields", ParseUserRow(std::string(14, '`')).has_value()},
        {"user row of 17 fields", ParseUserRow(std::string(16, '`')).has_value()},
        {"login of another game", ParseLogin("500`XYZ`1").has_value()},
        {"identity of one field", ParseIdentity("a").has_value()},
        {"identity of three fields", ParseIdentity("a`b`c").has_value()},
        {"announcement of five fields", ParseSettingsAnnouncement("a`0`0`1`0").has_value()},
        {"agreement without a name", ParseAgreement("").has_value()},
        {"owner settings of six fields", ParseOwnerSettings("a`1`2`3`4`5").has_value()},
        {"preference of one field", ParsePreference("a").has_value()},
    };
    for (const Refused& c : cases) EXPECT_FALSE(c.parsed) << c.name;
}

TEST(WireParsers, GameMessagesGiveTheirFields) {
    const Bytes start = {17, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 2, 1, 15, 30, 3, 1, 3, 1, 2};
    const std::optional<RoundStartInfo> info = ParseRoundStart(start);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->bteAutoPlayLimit, 4);
    EXPECT_EQ(info->bteDeckCount, 2);
    EXPECT_EQ(info->bteCurChair, 3);
    EXPECT_EQ(info->bteMaxLeaveRequests, 2);

    EXPECT_EQ(Cards(ParseDeal(Bytes{19, 0, 5, 6}, 2)), (Bytes{5, 6}));
    EXPECT_EQ(Cards(ParseMyPai(Bytes{2, 0, 2, 1, 2, 9})), (Bytes{1, 2}));
    EXPECT_EQ(ParseHandUp(Bytes{18, 3}), std::optional<std::uint8_t>(3));

    // The reveal list ends at a byte above 3.
    const std::optional<DeclareReport> stops =
        ParseDeclare(Bytes{20, 1, 2, 1, 3, 5, 1, 0, 3, 7, 1});
    ASSERT_TRUE(stops);
    EXPECT_EQ(stops->nextChair, 3);
    EXPECT_EQ(stops->nextState, 5);
    EXPECT_EQ(stops->roundMark, 1);
    EXPECT_EQ(stops->revealed, (std::vector<std::pair<std::uint8_t, std::uint8_t>>{{0, 3}}));
    const std::optional<DeclareReport> both = ParseDeclare(Bytes{20, 1, 2, 1, 3, 5, 1, 0, 3, 2, 2});
    ASSERT_TRUE(both);
    EXPECT_EQ(both->revealed.size(), 2u);

    const Bytes played = {21, 0, 1, 9, 1, 2, 0, 2, 63, 76};
    const std::optional<OutPai> play = ParseOutPai(played);
    ASSERT_TRUE(play);
    EXPECT_EQ(play->report.nextState, 9);
    EXPECT_EQ(play->report.trickFlag, 1);
    EXPECT_EQ(play->report.place, 2);
    EXPECT_EQ(Bytes(play->cards.begin(), play->cards.end()), (Bytes{63, 76}));

    const std::optional<LeaveMessage> ask = ParsePlayerLeave(Bytes{24, 0, 1});
    ASSERT_TRUE(ask);
    EXPECT_EQ(ask->reason, "");
    const std::optional<LeaveMessage> vote = ParseLeaveMessage(Bytes{24, 2, 1, 3});
    ASSERT_TRUE(vote);
    EXPECT_EQ(vote->chair, 1);
    EXPECT_EQ(vote->requester, 3);

    const std::optional<PropUsed> used = ParsePropUsed(Bytes{133, 3, 1, 2, 0xFF, 0xFF, 0xFF, 0xFE});
    ASSERT_TRUE(used);
    EXPECT_EQ(used->propId, -2);
}

TEST(WireParsers, RoundEndTakesWholeScoresAndStopsAtACutHand) {
    const Bytes full = {23, 1, 0, 0, 0, 5, 0xFF, 0xFF, 0xFF, 0xFB, 0, 0, 0,
                        0,  0, 0, 1, 0, 1, 9,    2,    7,    8,    3, 1};
    const std::optional<RoundEndReport> report = ParseRoundEnd(full);
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->withScores);
    EXPECT_EQ(report->scores, (std::array<std::int32_t, 4>{5, -5, 0, 256}));
    ASSERT_EQ(report->hands.size(), 2u);
    EXPECT_EQ(Bytes(report->hands[1].begin(), report->hands[1].end()), (Bytes{7, 8}));

    const Bytes handsOnly = {23, 0, 1, 4, 0, 0};
    const std::optional<RoundEndReport> noScores = ParseRoundEnd(handsOnly);
    ASSERT_TRUE(noScores);
    EXPECT_FALSE(noScores->withScores);
    EXPECT_EQ(noScores->hands.size(), 3u);
}

TEST(WireParsers, SnapshotReadsBackWhatWasBuilt) {
    TableSnapshot running;
    running.running = true;
    running.bteRoundState = 10;
    running.udtMaxOutPai = {1, 2, 7, 2};
    running.seats[2].bteMingCi = 1;
    running.seats[3].bteOutPai = {7, 20};
    running.bteMyPai = {8, 9};
    const std::optional<TableSnapshot> read = ParseTableSnapshot(TableSnapshotPacket(running));
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->running);
    EXPECT_EQ(read->bteRoundState, 10);
    EXPECT_EQ(read->udtMaxOutPai, running.udtMaxOutPai);
    EXPECT_EQ(read->seats[2].bteMingCi, 1);
    EXPECT_EQ(read->seats[3].bteOutPai, running.seats[3].bteOutPai);
    EXPECT_EQ(read->bteMyPai, running.bteMyPai);

    const std::optional<TableSnapshot> idle =
        ParseTableSnapshot(Bytes{109, 0, 0, 0, 0, 1, 0, 0, 1});
    ASSERT_TRUE(idle);
    EXPECT_FALSE(idle->running);
    EXPECT_EQ(idle->ready, (std::array<bool, 4>{false, true, false, false}));
}

TEST(WireParsers, UserRowNamesItsFields) {
    const std::optional<UserRow> row = ParseUserRow("n`1`2`3` \t `5`6`7`8`9`10`11`2999`-1`1`0");
    ASSERT_TRUE(row);
    EXPECT_EQ(row->userName, "n");
    EXPECT_EQ(row->draws, "10");
    EXPECT_FALSE(row->isOnlooker());
    EXPECT_EQ(row->iconNo(), 2999);
    EXPECT_FALSE(row->seatChair());  // -1 keeps its sign through the modulo
    EXPECT_TRUE(row->isHandRaised());
    EXPECT_FALSE(row->isOffline());
    EXPECT_EQ(ParseUserRow(RowWith(13, "6"))->seatChair(), std::optional<std::uint8_t>(2));
    EXPECT_TRUE(ParseUserRow(RowWith(4, "w"))->isOnlooker());
}

TEST(WireParsers, RoomBodiesGiveTheirFields) {
    EXPECT_TRUE(ParseLogin("500`KRVO`1")->allowWatch);
    EXPECT_FALSE(ParseLogin("500`KRVO")->allowWatch);
    EXPECT_EQ(ParseIdentity("me`him")->viewUserName, "him");
    const std::optional<SettingsAnnouncement> six = ParseSettingsAnnouncement("p`0`0`0`0`1");
    ASSERT_TRUE(six);
    EXPECT_TRUE(six->settingsRound);
    EXPECT_FALSE(six->agreeNow);  // a missing field 6 reads as 0
    const std::optional<SettingsAnnouncement> owner =
        ParseSettingsAnnouncement("p`0`0`1`0`1`0`10`1000`1`30`300`0");
    ASSERT_TRUE(owner);
    EXPECT_TRUE(owner->owner);
    EXPECT_EQ(owner->settings, "10`1000`1`30`300`0");
    EXPECT_FALSE(ParseAgreement("me")->settings);
    EXPECT_EQ(ParseAgreement("me`a`b")->settings, std::optional<std::string>("a`b"));
    EXPECT_EQ(ParseOwnerSettings("me`10`1000`1`30`300`0")->settings[3], "30");
    EXPECT_TRUE(ParsePreference("me`1")->allowWatch);
}

TEST(WireRules, AnswerKindFollowsTheDeclarationState) {
    const std::uint8_t kinds[] = {0, 0, 0, 1, 4, 2, 2, 3, 3, 0};
    for (std::uint8_t state = 0; state < 10; ++state) {
        EXPECT_EQ(AnswerKindOf(state), kinds[state]) << int{state};
        EXPECT_EQ(IsDeclarationState(state), state >= 1 && state <= 8) << int{state};
    }
    EXPECT_EQ(TrimBlanks(" \t a b\t "), "a b");
    EXPECT_EQ(TrimBlanks("\r1\r", " \r"), "1");
}

}  // namespace
}  // namespace krvo
