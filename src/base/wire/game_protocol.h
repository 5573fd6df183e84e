#pragma once
// The game messages byte for byte: a builder for every one that the table
// program or the room server sends, and a parser for every fixed layout. A
// parser refuses a packet too short for what it announces, so that no handler
// reads past one.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/packet.h"
#include "wire/message_ids.h"

namespace krvo {

using CardSpan = std::span<const std::uint8_t>;

inline constexpr std::size_t kChatLineFields = 10;
// The recipient field of a chat line for everybody at the table.
inline constexpr std::string_view kEverybody = "所有人";
inline constexpr std::size_t kRoundStartSize = 20;
inline constexpr std::size_t kDeclareSize = 11;
// Bytes of a play before its cards: id, five turn bytes, chair, count.
inline constexpr std::size_t kOutPaiHeader = 8;

// --- Sent by the table program -------------------------------------------

// 1 and the ten texts of the chat control joined; empty unless there are
// exactly ten. A backtick inside a text becomes an apostrophe so the field
// count holds.
Packet ChatLinePacket(std::span<const std::string> tenTexts);
// The fields of a chat line (text from byte 1), when there are at least ten.
std::optional<std::vector<std::string>> ParseChatLine(std::span<const std::uint8_t> packet);
// (2, 0, chair): the hand, please.
Packet AskForHandPacket(std::uint8_t chair);
// (19, chair): the round start has been taken in.
Packet DealAckPacket(std::uint8_t chair);
// (20, kind, chair, answer) and seven bytes 0.
Packet DeclareAnswerPacket(std::uint8_t kind, std::uint8_t chair, std::uint8_t answer);
// (21, 0, 0, 0, 0, 0, chair, n) and the n cards; the server fills the turn bytes.
Packet PlayPacket(std::uint8_t chair, CardSpan cards);
// A play of the single pass marker.
Packet PassPacket(std::uint8_t chair);
// (24, answer, answering chair, requester); answer is a LeaveSub vote.
Packet LeaveVotePacket(std::uint8_t answer, std::uint8_t chair, std::uint8_t requester);

// --- Sent both ways --------------------------------------------------------

// (18, chair): up the start button, down a chair that is ready.
Packet HandUpPacket(std::uint8_t chair);
// (24, 0, chair) and the reason; an empty reason travels as "null".
Packet LeaveRequestPacket(std::uint8_t chair, std::string_view reason);

// --- Sent by the room server ----------------------------------------------

// The round settings of 17, at their byte positions; the bytes between are 0.
struct RoundStartInfo {
    std::uint8_t bteAutoPlayLimit = 5;     // byte 3
    std::uint8_t bteDeckCount = 1;         // byte 11
    std::uint8_t blnShowOtherPai = 0;      // byte 12
    std::uint8_t bteDeclareTime = 15;      // byte 13
    std::uint8_t btePlayTime = 30;         // byte 14
    std::uint8_t bteCurChair = 0;          // byte 15
    std::uint8_t bteRoundState = 0;        // byte 16
    std::uint8_t bteShouJiaChair = 0;      // byte 17
    std::uint8_t blnShouJia = 0;           // byte 18
    std::uint8_t bteMaxLeaveRequests = 0;  // byte 19
};
Packet RoundStartPacket(const RoundStartInfo& info);
// Only a packet of exactly 20 bytes carries the settings.
std::optional<RoundStartInfo> ParseRoundStart(std::span<const std::uint8_t> packet);

// (19, chair) and the hand.
Packet DealPacket(std::uint8_t chair, CardSpan hand);
// The cards of a deal of exactly handSize cards.
std::optional<CardSpan> ParseDeal(std::span<const std::uint8_t> packet, std::size_t handSize);
// (2, 0, count) and the cards.
Packet MyPaiPacket(CardSpan hand);
// The cards, when all that the count announces are there.
std::optional<CardSpan> ParseMyPai(std::span<const std::uint8_t> packet);
// The chair of (18, chair); nothing for another size.
std::optional<std::uint8_t> ParseHandUp(std::span<const std::uint8_t> packet);

// 20 as the server reports it: the answer, then the next turn.
struct DeclareReport {
    std::uint8_t kind = 0;       // byte 1: AnswerKind
    std::uint8_t chair = 0;      // byte 2: the answering chair
    std::uint8_t value = 0;      // byte 3: the answer
    std::uint8_t nextChair = 0;  // byte 4
    std::uint8_t nextState = 0;  // byte 5
    std::uint8_t roundMark = 0;  // byte 6
    // Bytes 7-10: (chair, red aces) pairs a 揪 made known; the list ends at
    // the first byte above 3 or at the last byte.
    std::vector<std::pair<std::uint8_t, std::uint8_t>> revealed;
};
// Room for two pairs; an unused pair is marked with a chair byte 0xFF.
Packet DeclarePacket(const DeclareReport& report);
// Exactly 11 bytes.
std::optional<DeclareReport> ParseDeclare(std::span<const std::uint8_t> packet);

// 20 as a player sends it; bytes past the answer are not read.
struct DeclareAnswer {
    std::uint8_t kind = 0;
    std::uint8_t chair = 0;
    std::uint8_t answer = 0;
};
std::optional<DeclareAnswer> ParseDeclareAnswer(std::span<const std::uint8_t> packet);

// The bytes of 21 before the cards; a player sends them as 0 but the chair.
struct PlayReport {
    std::uint8_t nextChair = 0;  // byte 2
    std::uint8_t nextState = 0;  // byte 3
    std::uint8_t trickFlag = 0;  // byte 4
    std::uint8_t place = 0;      // byte 5: bteMingCi of the chair that played
    std::uint8_t chair = 0;      // byte 6
};
// The count byte holds at most 255 cards; more are not sent.
Packet OutPaiPacket(const PlayReport& report, CardSpan cards);
struct OutPai {
    PlayReport report;
    CardSpan cards;  // at least one
};
// Only when the length is exactly the header and the cards the count announces.
std::optional<OutPai> ParseOutPai(std::span<const std::uint8_t> packet);

// (22) and a text: a refused play, or any refusal shown in a notice box.
Packet RejectPacket(std::string_view reason);

// 23/1: four big-endian scores, then every chair's count and cards.
Packet RoundEndPacket(const std::array<std::int32_t, 4>& scores,
                      const std::array<CardSpan, 4>& hands);
// (23, 0).
Packet RoundEndShortPacket();
struct RoundEndReport {
    bool withScores = false;
    std::array<std::int32_t, 4> scores{};
    // Each chair's cards, whole; the list stops at the first one cut short.
    std::vector<CardSpan> hands;
};
// Nothing for the short form: five bytes or fewer, or a score block cut short.
std::optional<RoundEndReport> ParseRoundEnd(std::span<const std::uint8_t> packet);

// 24 as the server sends it.
struct LeaveMessage {
    std::uint8_t step = 0;       // LeaveSub
    std::uint8_t chair = 0;      // byte 2: the requester (ask, granted) or the answering chair
    std::uint8_t requester = 0;  // byte 3 of a vote
    std::string reason;          // the text from byte 3 of a request
};
// (24, 3, requester, 0): the clients ignore leave messages shorter than four bytes.
Packet LeaveGrantedPacket(std::uint8_t requester);
// What the server sends: at least four bytes.
std::optional<LeaveMessage> ParseLeaveMessage(std::span<const std::uint8_t> packet);
// What a player sends: a request of three bytes or more (an empty reason), a
// vote of four or more.
std::optional<LeaveMessage> ParsePlayerLeave(std::span<const std::uint8_t> packet);

// (5, 0, chair) and the reason.
Packet CannotGoOnPacket(std::uint8_t chair, std::string_view reason);
struct CannotGoOn {
    std::uint8_t chair = 0;
    std::string reason;
};
std::optional<CannotGoOn> ParseCannotGoOn(std::span<const std::uint8_t> packet);

// (113, 0, may the onlooker see the hand).
Packet SeePaiPacket(bool canSee);
// Exactly three bytes.
std::optional<bool> ParseSeePai(std::span<const std::uint8_t> packet);

}  // namespace krvo
