#include "controls/people_view.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

#include "controls/chat_control.h"
#include "controls/user_list_control.h"
#include "ports/room_actions.h"

namespace krvo {
namespace {

// A menu caption is plain text: "&" would turn into a mnemonic and a TAB
// would split off a shortcut column.
QString menuText(const std::string& caption) {
    QString text = QString::fromStdString(caption);
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text;
}

}  // namespace

void ConfigureUserList(UserListControl& lstUser, const LaunchParams& launch) {
    const std::string_view score = launch.bteUseScore == 0 ? "经验" : "积分";
    lstUser.setOwnName(launch.strMyUserName);
    lstUser.setBandColors(QColor(0, 138, 140), QColor(255, 255, 255));
    lstUser.setRowSpacing(4);
    lstUser.setTitle("用户列表");
    lstUser.setScoreColumnName(score);
    const std::array<std::string, kUserRowFields> columns{
        "用户名", "用户ID",   std::string(score), "级别",       "旁观对象",
        "总局数", "胜率",     "逃跑率",           "胜",         "输",
        "和",     "人物类型", "图标号",           "实际椅子号", "举手",
        "掉线"};
    lstUser.setColumns(JoinFields(columns), 11);
    lstUser.setColumnWidths("100`90`70`80`80`60`50`50`50`50`50");
    lstUser.setLevelTitles(launch.strLevelTitles);
}

void ConfigureChat(ChatControl& VexChat, const PublicState& pub, std::string_view myUserName) {
    VexChat.setFacesFolder(pub.strPlatformPath + "UserRes/face");
    VexChat.setProgramFolder(pub.strAppPath);
    VexChat.setPage("MeChatWeb.htm");
    VexChat.setOwnName(myUserName);
    VexChat.initialise();
    VexChat.setShowTimes(true);
    VexChat.setTitle("聊天室");
    VexChat.setEchoOwnLines(false);
}

UserMenuWindow::UserMenuWindow(ChatControl& VexChat)
    : VexChat_(VexChat), menu_(std::make_unique<QMenu>(QStringLiteral("UserInfo"))) {
    for (std::size_t i = 0; i < kUserMenuItems; ++i) {
        items_[i] = menu_->addAction(QString());
        QObject::connect(items_[i], &QAction::triggered, menu_.get(),
                         [this, i] { onItemChosen(static_cast<int>(i)); });
    }
    unload();
}

UserMenuWindow::~UserMenuWindow() = default;

void UserMenuWindow::load(const UserMenuItems& items) {
    for (std::size_t i = 0; i < kUserMenuItems; ++i) {
        QAction* action = items_[i];
        const bool separator = items[i].caption == "-";
        action->setSeparator(separator);
        action->setText(separator ? QString() : menuText(items[i].caption));
        action->setData(QString::fromStdString(items[i].tag));
        action->setVisible(true);
    }
}

void UserMenuWindow::unload() {
    for (std::size_t i = 0; i < kUserMenuItems; ++i) {
        items_[i]->setSeparator(false);
        items_[i]->setText(i == 0 ? QStringLiteral("UserName") : QString());
        items_[i]->setData(QString());
        items_[i]->setVisible(i == 0);
    }
}

void UserMenuWindow::popup(QPoint globalPos) {
    menu_->popup(globalPos);
}

QAction* UserMenuWindow::menuItem(int index) const {
    if (index < 0 || index >= static_cast<int>(kUserMenuItems)) return nullptr;
    return items_[static_cast<std::size_t>(index)];
}

std::string UserMenuWindow::itemTag(int index) const {
    const QAction* action = menuItem(index);
    return action ? action->data().toString().toStdString() : std::string();
}

void UserMenuWindow::runItem(int lngUserMenuItemIdx) {
    const std::string tag = itemTag(lngUserMenuItemIdx);
    if (tag.empty() || lngUserMenuItemIdx != kTalkToUserItem) return;
    VexChat_.setCurrentRecipient(tag);
}

void UserMenuWindow::onItemChosen(int index) {
    runItem(index);
    unload();
}

std::string QtUserListOps::findUser(std::string_view name) {
    return lstUser_.findUser(name);
}
void QtUserListOps::addUser(std::string_view row) {
    lstUser_.addUser(row);
}
void QtUserListOps::removeUser(std::string_view name) {
    lstUser_.removeUser(name);
}
void QtUserListOps::clearUsers() {
    lstUser_.clearUsers();
}
void QtUserListOps::loadUsers(std::string_view body) {
    lstUser_.loadUsers(body);
}
void QtUserListOps::updateUser(std::string_view row) {
    lstUser_.updateUser(row);
}
void QtUserListOps::setOwnName(std::string_view name) {
    lstUser_.setOwnName(name);
}

void QtChatOps::showSystemLine(std::string_view text) {
    VexChat_.showSystemLine(text);
}
void QtChatOps::showChatText(std::string_view text) {
    VexChat_.showChatText(text);
}
void QtChatOps::showChatMessage(const std::array<std::string, 8>& texts) {
    VexChat_.showChatMessage(texts);
}
void QtChatOps::updateRecipient(std::string_view name, bool add) {
    VexChat_.updateRecipient(name, add ? "ADD" : "DEL");
}
void QtChatOps::clearRecipients() {
    VexChat_.clearRecipients();
}
void QtChatOps::setCurrentRecipient(std::string_view name) {
    VexChat_.setCurrentRecipient(name);
}
void QtChatOps::setOwnName(std::string_view name) {
    VexChat_.setOwnName(name);
}

RoomPlayers::RoomPlayers(TableState& table, PublicState& pub, const LaunchParams& launch,
                         UserListControl& lstUser, ChatControl& VexChat, TableScene& scene,
                         RoomActions& room)
    : table_(table),
      pub_(pub),
      launch_(launch),
      lstUser_(lstUser),
      VexChat_(VexChat),
      scene_(scene),
      room_(room),
      users_(lstUser),
      chat_(VexChat),
      menu_(VexChat) {
    connect(&lstUser, &UserListControl::namesLoaded, this,
            [this](const QString& names) { fillSeatsFromList(names.toStdString()); });
    connect(&lstUser, &UserListControl::userClicked, this,
            [this](bool flag, int, const QString& name, const QString& row) {
                handleUserClick(flag, name.toStdString(), row.toStdString());
            });
    connect(&VexChat, &ChatControl::sendRequested, this,
            [this](const QStringList& texts) { sendChat(texts); });
}

RoomPlayers::~RoomPlayers() = default;

void RoomPlayers::fillSeatsFromList(std::string_view names) {
    krvo::FillSeatsFromList(names, table_, pub_, users_, chat_, scene_, launch_.strMyUserName);
}

void RoomPlayers::handleUserClick(bool flag, std::string_view name, std::string_view row) {
    if (!flag) {
        VexChat_.setCurrentRecipient(name);
        return;
    }
    const std::optional<UserMenuItems> items = BuildUserMenu(row, pub_, launch_.bteUseScore);
    if (!items) return;
    menu_.load(*items);
    menu_.popup(QCursor::pos());
}

void RoomPlayers::sendChat(const QStringList& tenTexts) {
    std::vector<std::string> texts;
    for (const QString& text : tenTexts) texts.push_back(text.toStdString());
    room_.sendChatLine(texts);
}

}  // namespace krvo
