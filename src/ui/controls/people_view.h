#pragma once
// The widgets beside the table wired to the people's handling: the user list's
// and chat's settings, their adapters to the handlers' interfaces, the
// per-user popup menu, and RoomPlayers, which connects the controls' events.

#include <QObject>
#include <QPoint>
#include <QStringList>
#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "room/players.h"

class QAction;
class QMenu;

namespace krvo {

class ChatControl;
class RoomActions;
class TableScene;
class UserListControl;

// The load-time settings of the two controls.
void ConfigureUserList(UserListControl& lstUser, const LaunchParams& launch);
void ConfigureChat(ChatControl& VexChat, const PublicState& pub, std::string_view myUserName);

// frmUserMenu: holds the popup menu mnuUser and its eight items. The window
// keeps one set of items and rewrites all of them on every build, so nothing
// of an earlier user survives.
class UserMenuWindow {
public:
    explicit UserMenuWindow(ChatControl& VexChat);
    ~UserMenuWindow();
    UserMenuWindow(const UserMenuWindow&) = delete;
    UserMenuWindow& operator=(const UserMenuWindow&) = delete;

    void load(const UserMenuItems& items);
    // Back to the design-time state: item 0 "UserName" without a tag, items
    // 1 to 7 gone.
    void unload();
    void popup(QPoint globalPos);
    // Item 4 ("与他（她）交谈") makes its user the chat's current recipient.
    void runItem(int lngUserMenuItemIdx);

    QMenu* menu() const { return menu_.get(); }
    QAction* menuItem(int index) const;
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
    std::string findUser(std::string_view name) override;
    void addUser(std::string_view row) override;
    void removeUser(std::string_view name) override;
    void clearUsers() override;
    void loadUsers(std::string_view body) override;
    void updateUser(std::string_view row) override;
    void setOwnName(std::string_view name) override;

private:
    UserListControl& lstUser_;
};

class QtChatOps final : public ChatOps {
public:
    explicit QtChatOps(ChatControl& VexChat) : VexChat_(VexChat) {}
    void showSystemLine(std::string_view text) override;
    void showChatText(std::string_view text) override;
    void showChatMessage(const std::array<std::string, 8>& texts) override;
    void updateRecipient(std::string_view name, bool add) override;
    void clearRecipients() override;
    void setCurrentRecipient(std::string_view name) override;
    void setOwnName(std::string_view name) override;

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
                RoomActions& room);
    ~RoomPlayers() override;

    void fillSeatsFromList(std::string_view names);
    // flag set (right button): the user menu; otherwise the chat's recipient.
    void handleUserClick(bool flag, std::string_view name, std::string_view row);
    void sendChat(const QStringList& tenTexts);
    UserMenuWindow& userMenu() { return menu_; }

private:
    TableState& table_;
    PublicState& pub_;
    const LaunchParams& launch_;
    UserListControl& lstUser_;
    ChatControl& VexChat_;
    TableScene& scene_;
    RoomActions& room_;
    QtUserListOps users_;
    QtChatOps chat_;
    UserMenuWindow menu_;
};

}  // namespace krvo
