#pragma once
// The people beside the table: the seats filled from the user list after a
// full load, the per-user menu's lines, and chat lines to and from the server.
// Plain functions over the state and the list's and chat's interfaces; the
// widgets are wired to them in dialogs/people_view.h.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/packet.h"
#include "ports/room_controls.h"
#include "state/command_line.h"
#include "state/public_state.h"
#include "state/table_state.h"

namespace krvo {

class TableScene;

inline constexpr std::size_t kUserMenuItems = 8;
inline constexpr int kTalkToUserItem = 4;

// The names event after a full load: every name becomes a recipient, every
// player (no watched player) takes the seat of its chair, the view turns to
// strViewUserName and all four seats are repainted.
void FillSeatsFromList(std::string_view names, TableState& table, PublicState& pub,
                       UserListOps& users, ChatOps& chat, TableScene& scene,
                       std::string_view myUserName);

struct UserMenuItem {
    std::string caption;  // "-" is a separator
    std::string tag;      // the user the menu was built for
};
using UserMenuItems = std::array<UserMenuItem, kUserMenuItems>;

// Nothing for an empty row or one without exactly 16 fields.
std::optional<UserMenuItems> BuildUserMenu(std::string_view row, const PublicState& pub,
                                           std::uint8_t bteUseScore);

// Game message 1: shows fields 2 to 9 of the body; fewer than ten fields are
// ignored. Returns whether a line was shown.
bool HandleChatMessage(std::span<const std::uint8_t> packet, ChatOps& chat);

}  // namespace krvo
