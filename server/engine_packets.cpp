#include "server/engine_packets.h"

#include <algorithm>
#include <string>

namespace krvo::server {
namespace {

std::uint8_t countByte(std::size_t count) {
    return static_cast<std::uint8_t>(std::min<std::size_t>(count, 255));
}

void appendCards(Packet& packet, std::span<const std::uint8_t> cards) {
    const std::uint8_t count = countByte(cards.size());
    packet.push_back(count);
    packet.insert(packet.end(), cards.begin(), cards.begin() + count);
}

void appendLong(Packet& packet, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 24; shift >= 0; shift -= 8) {
        packet.push_back(static_cast<std::uint8_t>(bits >> shift));
    }
}

// Header bytes and a GBK text; an empty text still gives the header.
Packet withText(std::initializer_list<std::uint8_t> header, std::string_view text) {
    const Packet head(header);
    Packet packet;
    if (!BuildPacket(text, packet, static_cast<std::uint8_t>(head.size()), head)) return head;
    return packet;
}

}  // namespace

Packet RoundStartPacket(const Round& round, const RoundSettingsBytes& settings) {
    Packet packet(kRoundStartSize, 0);
    packet[0] = kMsgRoundStart;
    packet[3] = settings.autoPlayLimit;
    packet[11] = settings.decks;
    packet[12] = 1;  // the other hands show as card backs while the round runs
    packet[13] = settings.declareTime;
    packet[14] = settings.playTime;
    packet[15] = round.bteCurChair;
    packet[16] = round.bteRoundState;
    packet[17] = round.bteShouJiaChair;
    packet[18] = 1;  // announce who holds the heart 3
    packet[19] = settings.maxLeaveRequests;
    return packet;
}

Packet HandUpPacket(std::uint8_t chair) {
    return {kMsgHandUp, chair};
}

Packet DealPacket(std::uint8_t chair, const CardList& hand) {
    Packet packet = {kMsgDeal, chair};
    packet.insert(packet.end(), hand.begin(), hand.end());
    return packet;
}

Packet MyPaiPacket(const CardList& hand) {
    Packet packet = {kMsgMyPai, 0};
    appendCards(packet, hand);
    return packet;
}

Packet DeclarePacket(const DeclareOutcome& outcome, std::uint8_t nextChair,
                     std::uint8_t nextState) {
    Packet packet(kDeclareSize, 0);
    packet[0] = kMsgDeclare;
    packet[1] = outcome.kind;
    packet[2] = outcome.chair;
    packet[3] = outcome.value;
    packet[4] = nextChair;
    packet[5] = nextState;
    packet[6] = outcome.roundMark;
    // Room for two revealed holders; a byte above 3 ends the list for the
    // clients, so the unused pair is marked with one.
    packet[7] = 0xFF;
    packet[9] = 0xFF;
    for (std::size_t i = 0; i < outcome.revealed.size() && i < 2; ++i) {
        packet[7 + 2 * i] = outcome.revealed[i].first;
        packet[8 + 2 * i] = outcome.revealed[i].second;
    }
    return packet;
}

Packet OutPaiPacket(std::uint8_t chair, std::span<const std::uint8_t> cards,
                    const PlayOutcome& outcome, std::uint8_t nextChair, std::uint8_t nextState) {
    Packet packet = {kMsgOutPai,
                     0,
                     nextChair,
                     nextState,
                     static_cast<std::uint8_t>(outcome.trickFlag ? 1 : 0),
                     outcome.place,
                     chair};
    appendCards(packet, cards);
    return packet;
}

Packet RejectPacket(std::string_view reason) {
    return withText({kMsgOutReject}, reason);
}

Packet RoundEndPacket(const std::array<std::int32_t, kChairs>& scores, const Round& round) {
    Packet packet = {kMsgRoundEnd, 1};
    for (const std::int32_t score : scores) appendLong(packet, score);
    for (const SeatRound& seat : round.seats) appendCards(packet, seat.hand);
    return packet;
}

Packet RoundEndShortPacket() {
    return {kMsgRoundEnd, 0};
}

Packet LeaveRequestPacket(std::uint8_t requester, std::string_view reason) {
    return withText({kMsgLeave, 0, requester}, reason.empty() ? "null" : reason);
}

Packet LeaveVotePacket(std::uint8_t sub, std::uint8_t voter, std::uint8_t requester) {
    return {kMsgLeave, sub, voter, requester};
}

Packet LeaveGrantedPacket(std::uint8_t requester) {
    // The clients ignore leave messages shorter than four bytes.
    return {kMsgLeave, 3, requester, 0};
}

Packet CannotGoOnPacket(std::uint8_t chair, std::string_view reason) {
    return withText({kMsgCannotGoOn, 0, chair}, reason);
}

Packet RunningSnapshotPacket(const Round& round, const RoundSettingsBytes& settings,
                             const SnapshotView& view) {
    const OutPaiInfo& top = round.udtMaxOutPai;
    Packet packet = {kMsgSnapshot,
                     0,
                     1,
                     0,
                     static_cast<std::uint8_t>(view.canSee ? 1 : 0),
                     settings.maxLeaveRequests,
                     view.leaveRequestsUsed,
                     settings.decks,
                     1,  // the other hands show as card backs, as at the round start
                     settings.declareTime,
                     settings.playTime,
                     round.bteCurChair,
                     round.bteRoundState,
                     top.bteChair,
                     top.bteMaxPai,
                     top.btePaiType,
                     top.btePaiCount,
                     round.bteRoundLiang,
                     round.bteRoundJiu,
                     round.bteRoundJue,
                     round.bteRoundZhi};
    for (auto field : {&SeatRound::bteLiang, &SeatRound::bteJiu, &SeatRound::bteJue,
                       &SeatRound::bteZhi, &SeatRound::bteMingCi}) {
        for (const SeatRound& seat : round.seats) packet.push_back(seat.*field);
    }
    for (const SeatRound& seat : round.seats) packet.push_back(countByte(seat.hand.size()));
    for (const SeatRound& seat : round.seats) appendCards(packet, seat.bteOutPai);
    appendCards(packet, round.seats[view.viewedChair % kChairs].hand);
    return packet;
}

Packet IdleSnapshotPacket(const std::array<bool, kChairs>& ready, bool canSee) {
    Packet packet = {kMsgSnapshot, 0, 0, 0};
    for (const bool each : ready) packet.push_back(each ? 1 : 0);
    packet.push_back(canSee ? 1 : 0);
    return packet;
}

}  // namespace krvo::server
