#include "room/room_requests.h"

#include "core/packet.h"
#include "ports/packet_sender.h"
#include "state/command_line.h"
#include "wire/game_protocol.h"
#include "wire/room_protocol.h"

namespace krvo {

static_assert(kChatLineTexts == kChatLineFields && kAllRecipients == kEverybody,
              "the chat pane and the wire agree on a chat line");

void RoomRequests::LogIn(std::uint8_t bteAllowWatchCards) {
    links_.sender.SendPacket(BuildLoginPacket(bteAllowWatchCards, links_.launch.strTablePassword));
}

void RoomRequests::AgreeToSettings() {
    links_.sender.SendPacket(AgreedPacket(links_.launch.strMyUserName));
}

void RoomRequests::SendOwnerSettings(std::string_view settings) {
    links_.sender.SendPacket(OwnerSettingsPacket(links_.launch.strMyUserName, settings));
}

void RoomRequests::LeaveTable() {
    const std::string& name = links_.launch.strMyUserName;
    if (!name.empty()) links_.sender.SendPacket(LeaveTablePacket(name));
}

void RoomRequests::SendWatchCardsPreference(std::uint8_t bteAllowWatchCards) {
    links_.sender.SendPacket(PreferencePacket(links_.launch.strMyUserName, bteAllowWatchCards));
}

void RoomRequests::SendChatLine(std::span<const std::string> tenTexts) {
    const Packet packet = ChatLinePacket(tenTexts);
    if (!packet.empty()) links_.sender.SendPacket(packet);
}

}  // namespace krvo
