#pragma once
// Message ids of the room and the packets the room builds from them.

#include <cstdint>
#include <string>

#include "core/gbk.h"
#include "core/packet.h"

namespace krvo::server {

inline constexpr std::uint8_t kMsgChat = 1;
inline constexpr std::uint8_t kMsgRefusal = 22;
inline constexpr std::uint8_t kMsgRoundStart = 17;
inline constexpr std::uint8_t kMsgRoundEnd = 23;
inline constexpr std::uint8_t kMsgLastGame = 94;
inline constexpr std::uint8_t kMsgChatText = 105;
inline constexpr std::uint8_t kMsgUser = 108;
inline constexpr std::uint8_t kMsgSnapshot = 109;
inline constexpr std::uint8_t kMsgLeave = 110;
inline constexpr std::uint8_t kMsgSettings = 111;
inline constexpr std::uint8_t kMsgAgree = 112;
inline constexpr std::uint8_t kMsgSeePai = 113;
inline constexpr std::uint8_t kMsgLogin = 130;
inline constexpr std::uint8_t kMsgDaoJu = 133;

// 108 sub ids
inline constexpr std::uint8_t kUserOnline = 0;
inline constexpr std::uint8_t kUserOffline = 3;
inline constexpr std::uint8_t kOnlookerLeaves = 4;
inline constexpr std::uint8_t kUserUpdate = 6;
// 130 sub ids
inline constexpr std::uint8_t kOnlookerArrives = 0;
inline constexpr std::uint8_t kUserList = 2;
inline constexpr std::uint8_t kIdentity = 3;
inline constexpr std::uint8_t kPlayerArrives = 4;

inline constexpr std::string_view kGameCode = "KRVO";
inline constexpr std::string_view kEverybody = "所有人";

// Two-byte header and a GBK body; header bytes only when the body is empty.
inline Packet RoomPacket(std::uint8_t main, std::uint8_t sub, const std::string& body) {
    Packet packet;
    const std::uint8_t header[] = {main, sub};
    if (!BuildPacket(body, packet, 2, header)) packet = HeaderPacket({main, sub});
    return packet;
}

// A line of system text in the chat pane.
inline Packet ChatTextPacket(const std::string& text) {
    Packet packet{kMsgChatText, 0, 0};
    AppendGbk(text, packet);
    return packet;
}

// A refusal the client shows in a notice box (the same message refuses a play).
inline Packet RefusalPacket(const std::string& reason) {
    Packet packet{kMsgRefusal};
    AppendGbk(reason, packet);
    return packet;
}

}  // namespace krvo::server
