#pragma once
// One user's row in the room's user list: 16 fields joined by backticks, in
// the order of the list's columns. The fields stay text, as the list shows
// them; the few the program acts on are read through the functions below.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace krvo {

inline constexpr std::size_t kUserRowFields = 16;

struct UserRow {
    std::string userName;     // 0: the key everywhere
    std::string userId;       // 1
    std::string score;        // 2: experience or score, by bteUseScore
    std::string level;        // 3: a score the level title is looked up by
    std::string watchedUser;  // 4: blank for a player
    std::string rounds;       // 5
    std::string winRate;      // 6: percent
    std::string runAwayRate;  // 7: percent
    std::string wins;         // 8
    std::string losses;       // 9
    std::string draws;        // 10
    std::string kind;         // 11: not used by the table program
    std::string icon;         // 12: the member level is this / 1000
    std::string chair;        // 13: the real chair is this modulo 4
    std::string handRaised;   // 14: above 0 = raised
    std::string offline;      // 15: above 0 = offline

    // Field i in column order; i below kUserRowFields.
    const std::string& field(std::size_t i) const;

    // The watched user is not blank.
    bool isOnlooker() const;
    // The chair field modulo 4; nothing when that falls outside 0-3 (a
    // negative number keeps its sign through the modulo).
    std::optional<std::uint8_t> seatChair() const;
    std::int32_t iconNo() const;
    bool isHandRaised() const;
    bool isOffline() const;
};

// Exactly 16 fields, or nothing.
std::optional<UserRow> ParseUserRow(std::string_view text);
std::string JoinUserRow(const UserRow& row);

}  // namespace krvo
