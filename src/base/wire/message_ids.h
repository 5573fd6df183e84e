#pragma once
// Every message id and sub id that travels between the table program and the
// room server, in one place. Byte 0 of a packet is the main id, byte 1 mostly
// the sub id. Ids up to 94, and 113 and 133, take the game path; the others
// from 95 up are the room's (see IsRoomMessage in wire/room_protocol.h).
//
// Several ids mean one thing on the way up and another on the way down (19 is
// the deal from the server and its acknowledgement from the client); both
// names are given where they differ.

#include <cstdint>

namespace krvo {

// Game messages, by the system's names.
enum GameMessageId : std::uint8_t {
    GMSG_CHAT = 1,          // a chat line, one-byte header, both ways
    GMSG_MY_PAI = 2,        // down: the local hand again; up: (2, 0, chair) asks for it
    GMSG_CANNOT_GO_ON = 5,  // a player cannot go on
    GMSG_ROUND_START = 17,  // a round starts, with its settings
    GMSG_HAND_UP = 18,      // a chair is ready; up: the start button
    GMSG_DEAL = 19,         // down: the local cards; up: (19, chair) acknowledges the round start
    GMSG_DECLARE = 20,      // a declaration answer, both ways
    GMSG_OUT_PAI = 21,      // a play or a pass, both ways
    GMSG_OUT_REJECT = 22,   // a refused play, or any refusal shown in a notice box
    GMSG_ROUND_END = 23,    // the round is over
    GMSG_LEAVE = 24,        // leave requests and votes, both ways
    GMSG_SEE_PAI = 113,     // down: an onlooker may see the hand; up: the preference changed
    GMSG_DAOJU = 133,       // props
};

// The sub id byte of a message that has only one.
inline constexpr std::uint8_t kOnlySub = 0;

namespace RoomMsg {
// Room messages: ids from 95 up, except the two the game path takes.
enum Id : std::uint8_t {
    kFirstRoomId = 95,
    kChatText = 105,              // a line of system text; three-byte header, byte 2 unused
    kUser = 108,                  // a user's state changed (UserSub)
    kSnapshot = 109,              // the table-state report for someone entering
    kLeave = 110,                 // 110/0 with a name: that user leaves the table (both ways)
    kSettings = 111,              // the settings round announced, or the start button offered
    kAgree = 112,                 // settings agreement (AgreeSub)
    kLogin = 130,                 // logging in and the table's membership (LoginSub)
    kPreferences = GMSG_SEE_PAI,  // travels on the game path
    kProps = GMSG_DAOJU,          // likewise
};
}  // namespace RoomMsg

// Sub ids of 130.
namespace LoginSub {
enum Id : std::uint8_t {
    kLogin = 0,            // up: "500`KRVO`<allow watching cards>"
    kOnlookerArrives = 0,  // down: one user row
    kGameOn = 1,           // up: a round started while the room state was idle
    kTableReset = 1,       // down
    kUserList = 2,         // down: the whole list, rows joined by LF
    kIdentity = 3,         // down: own name, viewed player's name
    kPlayerArrives = 4,    // down: one user row
    kHideWindow = 5,       // down: byte 2 non-zero hides the main window
};
}  // namespace LoginSub

// Sub ids of 108.
namespace UserSub {
enum Id : std::uint8_t {
    kOnline = 0,
    kOffline = 3,
    kOnlookerLeaves = 4,
    kUpdate = 6,  // one user row replaces the row of its name
};
}  // namespace UserSub

// Sub ids of 112.
namespace AgreeSub {
enum Id : std::uint8_t {
    kOwnerSettings = 0,  // the owner's name and the six settings
    kAgreed = 1,         // up: agreement, or the start button while the room state is idle
    kAllAgreed = 2,      // down: the last agreement; every mark is cleared
};
}  // namespace AgreeSub

// Sub ids of 24; the vote answers share the numbers.
namespace LeaveSub {
enum Id : std::uint8_t {
    kAsk = 0,              // requester, then the reason ("null" for none)
    kAgree = 1,            // answering chair, requester
    kRefuse = 2,           // answering chair, requester
    kGranted = 3,          // down: requester; the table is dissolved
    kAgreeForOffline = 3,  // up: a player agrees on behalf of an offline chair
};
}  // namespace LeaveSub

// Sub ids of 133.
namespace DaoJuSub {
enum Id : std::uint8_t {
    kCatalogue = 0,  // down: the catalogue
    kBuy = 0,        // up: the ID of the prop to buy
    kOwned = 1,      // down: the owned props
    kNotice = 2,     // down: a text for a notice box
    kUsed = 3,       // down: user, user, prop number (four bytes)
};
}  // namespace DaoJuSub

// Sub ids of 113.
namespace SeePaiSub {
enum Id : std::uint8_t {
    kPermission = 0,  // down: byte 2 non-zero lets the onlooker see the hand
    kPreference = 1,  // up: own name and the allow-watching flag
};
}  // namespace SeePaiSub

// Byte 1 of 23.
namespace RoundEndSub {
enum Id : std::uint8_t {
    kShort = 0,       // no scores: the clients show a plain notice
    kWithScores = 1,  // four scores, then every chair's remaining cards
};
}  // namespace RoundEndSub

}  // namespace krvo
