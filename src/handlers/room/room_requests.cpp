#include "room/room_requests.h"

#include "core/packet.h"
#include "ports/packet_sender.h"
#include "state/command_line.h"
#include "wire/game_protocol.h"
#include "wire/room_protocol.h"

namespace krvo {

static_assert(kChatLineTexts == kChatLineFields && kAllRecipients == kEverybody,
              "the chat pane and the wire agree on a chat line");

void RoomRequests::logIn(std::uint8_t bteAllowWatchCards) {
    links_.sender.sendPacket(BuildLoginPacket(bteAllowWatchCards));
}

void RoomRequests::agreeToSettings() {
    links_.sender.sendPacket(AgreedPacket(links_.launch.strMyUserName));
}

void RoomRequests::sendOwnerSettings(std::string_view settings) {
    links_.sender.sendPacket(OwnerSettingsPacket(links_.launch.strMyUserName, settings));
}

void RoomRequests::leaveTable() {
    const std::string& name = links_.launch.strMyUserName;
    if (!name.empty()) links_.sender.sendPacket(LeaveTablePacket(name));
}

void RoomRequests::sendWatchCardsPreference(std::uint8_t bteAllowWatchCards) {
    links_.sender.sendPacket(PreferencePacket(links_.launch.strMyUserName, bteAllowWatchCards));
}

void RoomRequests::sendChatLine(std::span<const std::string> tenTexts) {
    const Packet packet = ChatLinePacket(tenTexts);
    if (!packet.empty()) links_.sender.sendPacket(packet);
}

}  // namespace krvo
