#pragma once
// The game messages the engine sends, byte for byte as the clients read them.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/packet.h"
#include "server/rules_round.h"

namespace krvo::server {

// Message codes the engine sends and receives.
enum GameMessageCode : std::uint8_t {
    kMsgMyPai = 2,
    kMsgCannotGoOn = 5,
    kMsgRoundStart = 17,
    kMsgHandUp = 18,
    kMsgDeal = 19,
    kMsgDeclare = 20,
    kMsgOutPai = 21,
    kMsgOutReject = 22,
    kMsgRoundEnd = 23,
    kMsgLeave = 24,
    kMsgSnapshot = 109,
};

// Bytes of a play before its cards: code, five turn bytes, chair, count.
inline constexpr std::size_t kOutPaiHeader = 8;
inline constexpr std::size_t kRoundStartSize = 20;
inline constexpr std::size_t kDeclareSize = 11;

struct RoundSettingsBytes {
    std::uint8_t autoPlayLimit = 5;
    std::uint8_t decks = 1;
    std::uint8_t declareTime = 15;
    std::uint8_t playTime = 30;
    std::uint8_t maxLeaveRequests = 2;
};

Packet RoundStartPacket(const Round& round, const RoundSettingsBytes& settings);
Packet HandUpPacket(std::uint8_t chair);
Packet DealPacket(std::uint8_t chair, const CardList& hand);
Packet MyPaiPacket(const CardList& hand);
Packet DeclarePacket(const DeclareOutcome& outcome, std::uint8_t nextChair, std::uint8_t nextState);
Packet OutPaiPacket(std::uint8_t chair, std::span<const std::uint8_t> cards,
                    const PlayOutcome& outcome, std::uint8_t nextChair, std::uint8_t nextState);
Packet RejectPacket(std::string_view reason);
// The full form: scores, then every chair's remaining cards.
Packet RoundEndPacket(const std::array<std::int32_t, kChairs>& scores, const Round& round);
// The short form the clients answer with a plain "round over" notice.
Packet RoundEndShortPacket();
Packet LeaveRequestPacket(std::uint8_t requester, std::string_view reason);
// sub 1 agreed, 2 refused.
Packet LeaveVotePacket(std::uint8_t sub, std::uint8_t voter, std::uint8_t requester);
Packet LeaveGrantedPacket(std::uint8_t requester);
Packet CannotGoOnPacket(std::uint8_t chair, std::string_view reason);

struct SnapshotView {
    bool canSee = true;
    std::uint8_t leaveRequestsUsed = 0;
    std::uint8_t viewedChair = 0;
};
Packet RunningSnapshotPacket(const Round& round, const RoundSettingsBytes& settings,
                             const SnapshotView& view);
Packet IdleSnapshotPacket(const std::array<bool, kChairs>& ready, bool canSee);

}  // namespace krvo::server
