#pragma once
// The room messages (ids from 95 up) and the two room-like requests that take
// the game path (113/1, 133/0): builders for what either side sends, parsers
// for the bodies the program acts on.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/packet.h"
#include "wire/message_ids.h"

namespace krvo {

inline constexpr const char* kGameCode = "KRVO";
// The version field of the login.
inline constexpr const char* kLoginVersion = "500";
inline constexpr std::size_t kTableSettingsFields = 6;

// Ids from 95 up belong to the room, except the two the game handles itself.
constexpr bool IsRoomMessage(std::uint8_t mainId) {
    return mainId >= RoomMsg::kFirstRoomId && mainId != RoomMsg::kPreferences &&
           mainId != RoomMsg::kProps;
}

// --- Sent by the table program -------------------------------------------

// 130/0 with "500`KRVO`<allow watching cards>". A table password, when there
// is one, follows as a fourth field; without one the login is the lobby's
// three fields, byte for byte, so the lobby's servers see nothing new.
Packet BuildLoginPacket(std::uint8_t bteAllowWatchCards, std::string_view tablePassword = {});
// (130, 1): a round started while the room state was still idle.
Packet GameOnPacket();
// 112/1 with the own name: agreement in the settings round, the start button
// otherwise.
Packet AgreedPacket(std::string_view myUserName);
// 113/1 with the own name and the allow-watching flag.
Packet PreferencePacket(std::string_view myUserName, std::uint8_t bteAllowWatchCards);

// --- Sent both ways --------------------------------------------------------
// Header bytes only when the text is empty.

// 110/0 with a name: up, leave the table; down, that user has left it.
Packet LeaveTablePacket(std::string_view name);
// 112/0 with the owner's name and the six settings.
Packet OwnerSettingsPacket(std::string_view name, std::string_view settings);

// --- Sent by the room server ----------------------------------------------

// 130/3: own name, viewed player's name.
Packet IdentityPacket(std::string_view myUserName, std::string_view viewUserName);
// 130/2: the rows joined by LF.
Packet UserListPacket(std::span<const std::string> rows);
Packet PlayerArrivesPacket(std::string_view row);    // 130/4
Packet OnlookerArrivesPacket(std::string_view row);  // 130/0
Packet UserOnlinePacket(std::string_view name);      // 108/0
Packet UserOfflinePacket(std::string_view name);     // 108/3
Packet OnlookerLeavesPacket(std::string_view name);  // 108/4
Packet UserUpdatePacket(std::string_view row);       // 108/6
// 112/2 with a name: the last agreement.
Packet AllAgreedPacket(std::string_view name);
// (105, 0, 0) and a line of system text.
Packet ChatTextPacket(std::string_view text);

// 111: fields 0 and 1 name the player and its chair, 3 marks the owner, 5
// opens a settings round, 6 tells a non-owner to agree now (1) or to wait for
// the owner (0); fields 2 and 4 are 0; the six settings follow.
struct SettingsAnnouncement {
    std::string name;
    std::uint8_t chair = 0;
    bool owner = false;
    bool settingsRound = false;
    bool agreeNow = false;
    std::string settings;  // the six settings joined, or empty
};
Packet SettingsAnnouncementPacket(const SettingsAnnouncement& announcement);

// --- Parsers ---------------------------------------------------------------

struct LoginRequest {
    bool allowWatch = false;
    // Fields 3 to the last joined again, so a password may hold the separator;
    // empty when the login has three fields or fewer.
    std::string tablePassword;
};
// The game code must be KRVO; the flag and the password are optional.
std::optional<LoginRequest> ParseLogin(std::string_view body);

struct Identity {
    std::string myUserName;
    std::string viewUserName;
};
// Exactly two fields.
std::optional<Identity> ParseIdentity(std::string_view body);

// At least six fields; a missing field 6 reads as 0. Name and chair are not read.
std::optional<SettingsAnnouncement> ParseSettingsAnnouncement(std::string_view body);

struct Agreement {
    std::string name;
    std::optional<std::string> settings;  // fields 1 to the last, when there are any
};
std::optional<Agreement> ParseAgreement(std::string_view body);

struct OwnerSettings {
    std::string name;
    std::vector<std::string> settings;  // six
};
// Exactly seven fields.
std::optional<OwnerSettings> ParseOwnerSettings(std::string_view body);

struct Preference {
    std::string name;
    bool allowWatch = false;
};
// Exactly two fields.
std::optional<Preference> ParsePreference(std::string_view body);

}  // namespace krvo
