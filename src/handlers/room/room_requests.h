#pragma once
// The room's packets asked for by the windows beside the table, each sent
// under the local user's name as it stands at the moment of sending: the room
// may rename the user while a window is open.

#include "ports/room_actions.h"

namespace krvo {

struct LaunchParams;
class PacketSender;

class RoomRequests final : public RoomActions {
public:
    struct Links {
        const LaunchParams& launch;
        PacketSender& sender;
    };
    explicit RoomRequests(Links links) : links_(links) {}

    // The first packet on a new connection: the game code and whether
    // onlookers may see the local hand.
    void logIn(std::uint8_t bteAllowWatchCards);

    void agreeToSettings() override;
    void sendOwnerSettings(std::string_view settings) override;
    // Nothing before the room has named the local user: a nameless leave
    // would take nobody off the table.
    void leaveTable() override;
    void sendWatchCardsPreference(std::uint8_t bteAllowWatchCards) override;
    void sendChatLine(std::span<const std::string> tenTexts) override;

private:
    Links links_;
};

}  // namespace krvo
