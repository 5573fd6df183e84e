#pragma once
// The people beside the table: the seats filled from the user list after a
// full load, the per-user popup menu, and chat lines to and from the server.
// The functions work on plain state and the two controls; RoomPlayers wires
// them to the controls' events.

#include <QObject>
#include <QPoint>
#include <QStringList>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/command_line.h"
#include "app/public_state.h"
#include "core/packet.h"
#include "game/table_state.h"
#include "room/room_controls.h"

class QAction;
class QMenu;

namespace krvo {

class ChatControl;
class PacketSender;
class TableScene;
class UserListControl;

inline constexpr std::uint8_t kChatMessageId = 1;
inline constexpr std::size_t kUserMenuItems = 8;
inline constexpr int kTalkToUserItem = 4;

// The load-time settings of the two controls.
void ConfigureUserList(UserListControl& lstUser, const LaunchParams& launch);
void ConfigureChat(ChatControl& VexChat, const PublicState& pub, std::string_view myUserName);

// The names event after a full load: every name becomes a recipient, every
// player (no watched player) takes the seat of its chair, the view turns to
// strViewUserName and all four seats are repainted.
void FillSeatsFromList(std::string_view names, TableState& table, PublicState& pub,
                       const UserListControl& lstUser, ChatControl& VexChat, TableScene& scene,
                       std::string_view myUserName);

struct UserMenuItem {
    std::string caption;  // "-" is a separator
    std::string tag;      // the user the menu was built for
};
using UserMenuItems = std::array<UserMenuItem, kUserMenuItems>;

// Nothing for an empty row or one without exactly 16 fields.
std::optional<UserMenuItems> BuildUserMenu(std::string_view row, const PublicState& pub,
                                           std::uint8_t bteUseScore);

// Header 1 and the ten texts joined; empty unless there are exactly ten. A
// backtick inside a text becomes an apostrophe so the field count holds.
Packet BuildChatPacket(std::span<const std::string> tenTexts);
// Game message 1: shows fields 2 to 9 of the body; fewer than ten fields are
// ignored. Returns whether a line was shown.
bool HandleChatMessage(std::span<const std::uint8_t> packet, ChatControl& VexChat);

// frmUserMenu: holds the popup menu mnuUser and its eight items. The window
// keeps one set of items and rewrites all of them on every build, so nothing
// of an earlier user survives.
class UserMenuWindow {
public:
    explicit UserMenuWindow(ChatControl& VexChat);
    ~UserMenuWindow();
    UserMenuWindow(const UserMenuWindow&) = delete;
    UserMenuWindow& operator=(const UserMenuWindow&) = delete;

    void Load(const UserMenuItems& items);
    // Back to the design-time state: item 0 "UserName" without a tag, items
    // 1 to 7 gone.
    void Unload();
    void Popup(QPoint globalPos);
    // Item 4 ("与他（她）交谈") makes its user the chat's current recipient.
    void ExecUserMenu(int lngUserMenuItemIdx);

    QMenu* mnuUser() const { return menu_.get(); }
    QAction* mnuUserItem(int index) const;
    std::string itemTag(int index) const;

private:
    void onItemChosen(int index);

    ChatControl& VexChat_;
    std::unique_ptr<QMenu> menu_;
    std::array<QAction*, kUserMenuItems> items_{};
};

// The room handling's view of the two controls.
class QtUserListOps final : public UserListOps {
public:
    explicit QtUserListOps(UserListControl& lstUser) : lstUser_(lstUser) {}
    std::string FindUser(std::string_view name) override;
    void AddUser(std::string_view row) override;
    void RemoveUser(std::string_view name) override;
    void ClearUsers() override;
    void LoadUsers(std::string_view body) override;
    void UpdateUser(std::string_view row) override;
    void SetOwnName(std::string_view name) override;

private:
    UserListControl& lstUser_;
};

class QtChatOps final : public ChatOps {
public:
    explicit QtChatOps(ChatControl& VexChat) : VexChat_(VexChat) {}
    void ShowSystemLine(std::string_view text) override;
    void ShowChatText(std::string_view text) override;
    void ShowChatMessage(const std::array<std::string, 8>& texts) override;
    void UpdateRecipient(std::string_view name, bool add) override;
    void ClearRecipients() override;
    void SetCurrentRecipient(std::string_view name) override;
    void SetOwnName(std::string_view name) override;

private:
    ChatControl& VexChat_;
};

// Connects the list's and the chat's events to the table: names event, user
// clicks and the send event.
class RoomPlayers : public QObject {
public:
    // launch is held by reference: the own name changes when the room says so.
    RoomPlayers(TableState& table, PublicState& pub, const LaunchParams& launch,
                UserListControl& lstUser, ChatControl& VexChat, TableScene& scene,
                PacketSender& sender);
    ~RoomPlayers() override;

    void FillSeatsFromList(std::string_view names);
    // flag set (right button): the user menu; otherwise the chat's recipient.
    void OnUserClicked(bool flag, std::string_view name, std::string_view row);
    void SendChat(const QStringList& tenTexts);
    UserMenuWindow& frmUserMenu() { return menu_; }

private:
    TableState& table_;
    PublicState& pub_;
    const LaunchParams& launch_;
    UserListControl& lstUser_;
    ChatControl& VexChat_;
    TableScene& scene_;
    PacketSender& sender_;
    UserMenuWindow menu_;
};

}  // namespace krvo
