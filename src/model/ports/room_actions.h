#pragma once
// What the windows beside the table ask of the room: the answer to the
// settings round, leaving the table, the onlookers' view of the cards and a
// chat line. The room handling turns each into its packet; the windows never
// build one themselves.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace krvo {

// A chat line is ten texts (sender, recipient, message, its style and time);
// the recipient "所有人" sends it to everybody at the table.
inline constexpr std::size_t kChatLineTexts = 10;
inline constexpr std::string_view kAllRecipients = "所有人";

class RoomActions {
public:
    virtual ~RoomActions() = default;
    // A guest agrees to the owner's settings.
    virtual void agreeToSettings() = 0;
    // The owner's six settings fields, joined.
    virtual void sendOwnerSettings(std::string_view settings) = 0;
    virtual void leaveTable() = 0;
    // Whether onlookers may see the local hand (0 or 1).
    virtual void sendWatchCardsPreference(std::uint8_t bteAllowWatchCards) = 0;
    // The chat pane's ten texts; an unusable set sends nothing.
    virtual void sendChatLine(std::span<const std::string> tenTexts) = 0;
};

}  // namespace krvo
