#include "wire/game_protocol.h"

#include <algorithm>

#include "core/cards.h"
#include "core/gbk.h"
#include "wire/wire_bytes.h"

namespace krvo {
namespace {

constexpr std::uint8_t kChairsAtTable = 4;
constexpr std::uint8_t kRevealedListEnd = 0xFF;
constexpr std::size_t kFirstRevealed = 7;
constexpr std::size_t kRoundEndBodyStart = 2;

}  // namespace

Packet ChatLinePacket(std::span<const std::string> tenTexts) {
    if (tenTexts.size() != kChatLineFields) return {};
    std::vector<std::string> fields(tenTexts.begin(), tenTexts.end());
    for (std::string& field : fields) {
        std::replace(field.begin(), field.end(), kFieldSeparator, '\'');
    }
    return HeaderAndText({GMSG_CHAT}, JoinFields(fields));
}

std::optional<std::vector<std::string>> ParseChatLine(std::span<const std::uint8_t> packet) {
    std::vector<std::string> fields = SplitFields(PacketToString(packet, 1));
    if (fields.size() < kChatLineFields) return std::nullopt;
    return fields;
}

Packet AskForHandPacket(std::uint8_t chair) {
    return {GMSG_MY_PAI, kOnlySub, chair};
}

Packet DealAckPacket(std::uint8_t chair) {
    return {GMSG_DEAL, chair};
}

Packet DeclareAnswerPacket(std::uint8_t kind, std::uint8_t chair, std::uint8_t answer) {
    Packet packet(kDeclareSize, 0);
    packet[0] = GMSG_DECLARE;
    packet[1] = kind;
    packet[2] = chair;
    packet[3] = answer;
    return packet;
}

Packet PlayPacket(std::uint8_t chair, CardSpan cards) {
    PlayReport report;
    report.chair = chair;
    return OutPaiPacket(report, cards);
}

Packet PassPacket(std::uint8_t chair) {
    const std::uint8_t pass[] = {kPassMarker};
    return PlayPacket(chair, pass);
}

Packet LeaveVotePacket(std::uint8_t answer, std::uint8_t chair, std::uint8_t requester) {
    return {GMSG_LEAVE, answer, chair, requester};
}

Packet HandUpPacket(std::uint8_t chair) {
    return {GMSG_HAND_UP, chair};
}

Packet LeaveRequestPacket(std::uint8_t chair, std::string_view reason) {
    return HeaderAndText({GMSG_LEAVE, LeaveSub::kAsk, chair}, reason.empty() ? "null" : reason);
}

Packet RoundStartPacket(const RoundStartInfo& info) {
    Packet packet(kRoundStartSize, 0);
    packet[0] = GMSG_ROUND_START;
    packet[3] = info.bteAutoPlayLimit;
    packet[11] = info.bteDeckCount;
    packet[12] = info.blnShowOtherPai;
    packet[13] = info.bteDeclareTime;
    packet[14] = info.btePlayTime;
    packet[15] = info.bteCurChair;
    packet[16] = info.bteRoundState;
    packet[17] = info.bteShouJiaChair;
    packet[18] = info.blnShouJia;
    packet[19] = info.bteMaxLeaveRequests;
    return packet;
}

std::optional<RoundStartInfo> ParseRoundStart(std::span<const std::uint8_t> packet) {
    if (packet.size() != kRoundStartSize) return std::nullopt;
    RoundStartInfo info;
    info.bteAutoPlayLimit = packet[3];
    info.bteDeckCount = packet[11];
    info.blnShowOtherPai = packet[12];
    info.bteDeclareTime = packet[13];
    info.btePlayTime = packet[14];
    info.bteCurChair = packet[15];
    info.bteRoundState = packet[16];
    info.bteShouJiaChair = packet[17];
    info.blnShouJia = packet[18];
    info.bteMaxLeaveRequests = packet[19];
    return info;
}

Packet DealPacket(std::uint8_t chair, CardSpan hand) {
    // Reserved up front: growing a two-byte packet by the hand makes GCC 12
    // warn of a copy out of bounds at -O2.
    Packet packet;
    packet.reserve(2 + hand.size());
    packet.push_back(GMSG_DEAL);
    packet.push_back(chair);
    packet.insert(packet.end(), hand.begin(), hand.end());
    return packet;
}

std::optional<CardSpan> ParseDeal(std::span<const std::uint8_t> packet, std::size_t handSize) {
    if (packet.size() != handSize + 2) return std::nullopt;
    return packet.subspan(2);
}

Packet MyPaiPacket(CardSpan hand) {
    Packet packet = {GMSG_MY_PAI, kOnlySub};
    AppendCountedCards(packet, hand);
    return packet;
}

std::optional<CardSpan> ParseMyPai(std::span<const std::uint8_t> packet) {
    if (packet.size() < 3) return std::nullopt;
    const std::size_t count = packet[2];
    if (packet.size() - 3 < count) return std::nullopt;
    return packet.subspan(3, count);
}

std::optional<std::uint8_t> ParseHandUp(std::span<const std::uint8_t> packet) {
    if (packet.size() != 2) return std::nullopt;
    return packet[1];
}

Packet DeclarePacket(const DeclareReport& report) {
    Packet packet(kDeclareSize, 0);
    packet[0] = GMSG_DECLARE;
    packet[1] = report.kind;
    packet[2] = report.chair;
    packet[3] = report.value;
    packet[4] = report.nextChair;
    packet[5] = report.nextState;
    packet[6] = report.roundMark;
    packet[kFirstRevealed] = kRevealedListEnd;
    packet[kFirstRevealed + 2] = kRevealedListEnd;
    for (std::size_t i = 0; i < report.revealed.size() && i < 2; ++i) {
        packet[kFirstRevealed + 2 * i] = report.revealed[i].first;
        packet[kFirstRevealed + 1 + 2 * i] = report.revealed[i].second;
    }
    return packet;
}

std::optional<DeclareReport> ParseDeclare(std::span<const std::uint8_t> packet) {
    if (packet.size() != kDeclareSize) return std::nullopt;
    DeclareReport report;
    report.kind = packet[1];
    report.chair = packet[2];
    report.value = packet[3];
    report.nextChair = packet[4];
    report.nextState = packet[5];
    report.roundMark = packet[6];
    // A lone chair byte at the last index has no value to go with it.
    const std::size_t last = packet.size() - 1;
    for (std::size_t i = kFirstRevealed; i < last && packet[i] < kChairsAtTable; i += 2) {
        report.revealed.emplace_back(packet[i], packet[i + 1]);
    }
    return report;
}

std::optional<DeclareAnswer> ParseDeclareAnswer(std::span<const std::uint8_t> packet) {
    if (packet.size() < 4) return std::nullopt;
    return DeclareAnswer{packet[1], packet[2], packet[3]};
}

Packet OutPaiPacket(const PlayReport& report, CardSpan cards) {
    Packet packet = {GMSG_OUT_PAI,     kOnlySub,     report.nextChair, report.nextState,
                     report.trickFlag, report.place, report.chair};
    AppendCountedCards(packet, cards);
    return packet;
}

std::optional<OutPai> ParseOutPai(std::span<const std::uint8_t> packet) {
    if (packet.size() <= kOutPaiHeader) return std::nullopt;
    if (packet.size() != kOutPaiHeader + packet[kOutPaiHeader - 1]) return std::nullopt;
    OutPai play;
    play.report = {packet[2], packet[3], packet[4], packet[5], packet[6]};
    play.cards = packet.subspan(kOutPaiHeader);
    return play;
}

Packet RejectPacket(std::string_view reason) {
    return HeaderAndText({GMSG_OUT_REJECT}, reason);
}

Packet RoundEndPacket(const std::array<std::int32_t, 4>& scores,
                      const std::array<CardSpan, 4>& hands) {
    Packet packet = {GMSG_ROUND_END, RoundEndSub::kWithScores};
    for (const std::int32_t score : scores) AppendLongBE(packet, score);
    for (const CardSpan hand : hands) AppendCountedCards(packet, hand);
    return packet;
}

Packet RoundEndShortPacket() {
    return {GMSG_ROUND_END, RoundEndSub::kShort};
}

// The scores come whole or not at all; the hands each come whole, and
// reading stops at the first one cut short.
std::optional<RoundEndReport> ParseRoundEnd(std::span<const std::uint8_t> packet) {
    if (packet.size() <= 5) return std::nullopt;
    RoundEndReport report;
    std::size_t q = kRoundEndBodyStart;
    if (packet[1] == RoundEndSub::kWithScores) {
        if (packet.size() < q + 4 * report.scores.size()) return std::nullopt;
        for (std::int32_t& score : report.scores) {
            ReadLongBE(score, packet, q);
            q += 4;
        }
        report.withScores = true;
    }
    while (report.hands.size() < kChairsAtTable && q < packet.size()) {
        const std::size_t count = packet[q++];
        if (packet.size() - q < count) break;
        report.hands.push_back(packet.subspan(q, count));
        q += count;
    }
    return report;
}

Packet LeaveGrantedPacket(std::uint8_t requester) {
    return {GMSG_LEAVE, LeaveSub::kGranted, requester, 0};
}

std::optional<LeaveMessage> ParseLeaveMessage(std::span<const std::uint8_t> packet) {
    if (packet.size() < 4) return std::nullopt;
    return ParsePlayerLeave(packet);
}

std::optional<LeaveMessage> ParsePlayerLeave(std::span<const std::uint8_t> packet) {
    if (packet.size() < 3) return std::nullopt;
    LeaveMessage message;
    message.step = packet[1];
    message.chair = packet[2];
    if (message.step == LeaveSub::kAsk) {
        message.reason = PacketToString(packet, 3);
        return message;
    }
    if (packet.size() < 4) return std::nullopt;
    message.requester = packet[3];
    return message;
}

Packet CannotGoOnPacket(std::uint8_t chair, std::string_view reason) {
    return HeaderAndText({GMSG_CANNOT_GO_ON, kOnlySub, chair}, reason);
}

std::optional<CannotGoOn> ParseCannotGoOn(std::span<const std::uint8_t> packet) {
    if (packet.size() < 3) return std::nullopt;
    return CannotGoOn{packet[2], PacketToString(packet, 3)};
}

Packet SeePaiPacket(bool canSee) {
    return {GMSG_SEE_PAI, SeePaiSub::kPermission, static_cast<std::uint8_t>(canSee ? 1 : 0)};
}

std::optional<bool> ParseSeePai(std::span<const std::uint8_t> packet) {
    if (packet.size() != 3) return std::nullopt;
    return packet[2] != 0;
}

}  // namespace krvo
