#include "room/players.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <algorithm>
#include <utility>

#include "core/level_titles.h"
#include "net/packet_sender.h"
#include "platform/chat_control.h"
#include "platform/user_list_control.h"
#include "render/table_scene.h"

namespace krvo {

namespace {

constexpr std::size_t kWatchedField = 4;
constexpr std::size_t kIconField = 12;
constexpr std::size_t kChairField = 13;
constexpr std::size_t kHandField = 14;
constexpr std::size_t kOfflineField = 15;
constexpr std::int32_t kIconsPerMemberLevel = 1000;
constexpr std::size_t kChatFields = 10;
constexpr std::size_t kFirstShownChatField = 2;
constexpr std::size_t kShownChatFields = 8;

std::string_view trimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The chair a row names, or -1 when the value modulo 4 falls outside 0-3
// (a negative chair keeps its sign).
int chairOf(std::string_view field) {
    return LeadingInt32(field) % 4;
}

// Puts a player of the freshly loaded list into the seat of its chair.
void seatPlayer(const std::vector<std::string>& row, TableState& table, const PublicState& pub) {
    if (row.size() != kUserRowFields || !trimBlanks(row[kWatchedField]).empty()) return;
    const int chair = chairOf(row[kChairField]);
    if (chair < 0 || chair >= static_cast<int>(kChairCount)) return;
    SeatInfo& seat = table.arrSeat[static_cast<std::size_t>(chair)];
    seat.strUserName = row[0];
    seat.lngIconNo = LeadingInt32(row[kIconField]);
    // A round in progress shows no raised hands, whatever the list says.
    seat.blnReady = LeadingNumber(row[kHandField]) > 0 && pub.bteGameState != 1;
    seat.blnOffline = LeadingNumber(row[kOfflineField]) > 0;
}

std::string memberIdentity(const PublicState& pub, std::string_view iconField) {
    // Integer division truncates toward zero: icon -1 is still an ordinary user.
    const std::int32_t level = LeadingInt32(iconField) / kIconsPerMemberLevel;
    if (level < 0 || level >= static_cast<std::int32_t>(pub.strMemberLevels.size())) {
        return "未知身份";
    }
    return pub.strMemberLevels[static_cast<std::size_t>(level)];
}

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
    lstUser.SetColumns(JoinFields(columns), 11);
    lstUser.SetColumnWidths("100`90`70`80`80`60`50`50`50`50`50");
    lstUser.SetLevelTitles(launch.strLevelTitles);
}

void ConfigureChat(ChatControl& VexChat, const PublicState& pub, std::string_view myUserName) {
    VexChat.setFacesFolder(pub.strPlatformPath + "UserRes/face");
    VexChat.setProgramFolder(pub.strAppPath);
    VexChat.setPage("MeChatWeb.htm");
    VexChat.setOwnName(myUserName);
    VexChat.Initialise();
    VexChat.setShowTimes(true);
    VexChat.setTitle("聊天室");
    VexChat.setEchoOwnLines(false);
}

void FillSeatsFromList(std::string_view names, TableState& table, PublicState& pub,
                       const UserListControl& lstUser, ChatControl& VexChat, TableScene& scene,
                       std::string_view myUserName) {
    const std::vector<std::string> list = SplitFields(names);
    for (const std::string& name : list) VexChat.UpdateRecipient(name, "ADD");
    for (const std::string& name : list) {
        const std::string row = lstUser.FindUser(name);
        if (!row.empty()) seatPlayer(SplitFields(row), table, pub);
    }

    std::array<std::string, kChairCount> seatNames;
    for (std::size_t chair = 0; chair < kChairCount; ++chair) {
        seatNames[chair] = table.arrSeat[chair].strUserName;
    }
    ComputeViewPositions(pub, seatNames, myUserName);

    // The view may have turned: erase every seat's old drawing before drawing it afresh.
    for (std::uint8_t chair = 0; chair < kChairCount; ++chair) {
        SeatInfo& seat = table.arrSeat[chair];
        std::string name = std::exchange(seat.strUserName, std::string());
        scene.paintSeat(chair);
        seat.strUserName = std::move(name);
        scene.paintSeat(chair);
        scene.paintOfflineMark(chair);
        scene.paintReadyMark(chair);
    }
}

std::optional<UserMenuItems> BuildUserMenu(std::string_view row, const PublicState& pub,
                                           std::uint8_t bteUseScore) {
    if (row.empty()) return std::nullopt;
    const std::vector<std::string> f = SplitFields(row);
    if (f.size() != kUserRowFields) return std::nullopt;

    const std::string& name = f[0];
    const std::string title = GetLevelTitle(pub.levelTitles, LeadingInt32(f[3]));
    const std::string score = bteUseScore == 0 ? "经验:" : "积分:";
    const std::string gap = "   ";
    UserMenuItems items;
    items[0].caption = name + "   身份：" + memberIdentity(pub, f[kIconField]);
    items[1].caption = "游戏ID：" + f[1];
    items[2].caption = "旁观对象：" + f[kWatchedField];
    items[3].caption = "-";
    items[4].caption = "与他（她）交谈";
    items[5].caption = "-";
    items[6].caption = "级别:" + title + gap + "胜率:" + f[6] + "%" + gap + "逃跑率:" + f[7] + "%";
    items[7].caption = score + f[2] + gap + "胜:" + f[8] + gap + "输:" + f[9] + gap +
                       "和:" + f[10] + gap + "总局数:" + f[5];
    for (UserMenuItem& item : items) item.tag = name;
    return items;
}

Packet BuildChatPacket(std::span<const std::string> tenTexts) {
    if (tenTexts.size() != kChatFields) return {};
    std::vector<std::string> fields(tenTexts.begin(), tenTexts.end());
    for (std::string& field : fields)
        std::replace(field.begin(), field.end(), kFieldSeparator, '\'');
    Packet packet;
    const std::array<std::uint8_t, 1> header{kChatMessageId};
    BuildPacket(JoinFields(fields), packet, 1, header);
    return packet;
}

bool HandleChatMessage(std::span<const std::uint8_t> packet, ChatControl& VexChat) {
    if (packet.size() < 2) return false;
    const std::vector<std::string> fields = SplitFields(PacketToString(packet, 1));
    if (fields.size() < kChatFields) return false;
    VexChat.ShowChatMessage(std::span(fields).subspan(kFirstShownChatField, kShownChatFields));
    return true;
}

UserMenuWindow::UserMenuWindow(ChatControl& VexChat)
    : VexChat_(VexChat), menu_(std::make_unique<QMenu>(QStringLiteral("UserInfo"))) {
    for (std::size_t i = 0; i < kUserMenuItems; ++i) {
        items_[i] = menu_->addAction(QString());
        QObject::connect(items_[i], &QAction::triggered, menu_.get(),
                         [this, i] { onItemChosen(static_cast<int>(i)); });
    }
    Unload();
}

UserMenuWindow::~UserMenuWindow() = default;

void UserMenuWindow::Load(const UserMenuItems& items) {
    for (std::size_t i = 0; i < kUserMenuItems; ++i) {
        QAction* action = items_[i];
        const bool separator = items[i].caption == "-";
        action->setSeparator(separator);
        action->setText(separator ? QString() : menuText(items[i].caption));
        action->setData(QString::fromStdString(items[i].tag));
        action->setVisible(true);
    }
}

void UserMenuWindow::Unload() {
    for (std::size_t i = 0; i < kUserMenuItems; ++i) {
        items_[i]->setSeparator(false);
        items_[i]->setText(i == 0 ? QStringLiteral("UserName") : QString());
        items_[i]->setData(QString());
        items_[i]->setVisible(i == 0);
    }
}

void UserMenuWindow::Popup(QPoint globalPos) {
    menu_->popup(globalPos);
}

QAction* UserMenuWindow::mnuUserItem(int index) const {
    if (index < 0 || index >= static_cast<int>(kUserMenuItems)) return nullptr;
    return items_[static_cast<std::size_t>(index)];
}

std::string UserMenuWindow::itemTag(int index) const {
    const QAction* action = mnuUserItem(index);
    return action ? action->data().toString().toStdString() : std::string();
}

void UserMenuWindow::ExecUserMenu(int lngUserMenuItemIdx) {
    const std::string tag = itemTag(lngUserMenuItemIdx);
    if (tag.empty() || lngUserMenuItemIdx != kTalkToUserItem) return;
    VexChat_.setCurrentRecipient(tag);
}

void UserMenuWindow::onItemChosen(int index) {
    ExecUserMenu(index);
    Unload();
}

std::string QtUserListOps::FindUser(std::string_view name) {
    return lstUser_.FindUser(name);
}
void QtUserListOps::AddUser(std::string_view row) {
    lstUser_.AddUser(row);
}
void QtUserListOps::RemoveUser(std::string_view name) {
    lstUser_.RemoveUser(name);
}
void QtUserListOps::ClearUsers() {
    lstUser_.ClearUsers();
}
void QtUserListOps::LoadUsers(std::string_view body) {
    lstUser_.LoadUsers(body);
}
void QtUserListOps::UpdateUser(std::string_view row) {
    lstUser_.UpdateUser(row);
}
void QtUserListOps::SetOwnName(std::string_view name) {
    lstUser_.setOwnName(name);
}

void QtChatOps::ShowSystemLine(std::string_view text) {
    VexChat_.ShowSystemLine(text);
}
void QtChatOps::ShowChatText(std::string_view text) {
    VexChat_.ShowChatText(text);
}
void QtChatOps::ShowChatMessage(const std::array<std::string, 8>& texts) {
    VexChat_.ShowChatMessage(texts);
}
void QtChatOps::UpdateRecipient(std::string_view name, bool add) {
    VexChat_.UpdateRecipient(name, add ? "ADD" : "DEL");
}
void QtChatOps::ClearRecipients() {
    VexChat_.ClearRecipients();
}
void QtChatOps::SetCurrentRecipient(std::string_view name) {
    VexChat_.setCurrentRecipient(name);
}
void QtChatOps::SetOwnName(std::string_view name) {
    VexChat_.setOwnName(name);
}

RoomPlayers::RoomPlayers(TableState& table, PublicState& pub, const LaunchParams& launch,
                         UserListControl& lstUser, ChatControl& VexChat, TableScene& scene,
                         PacketSender& sender)
    : table_(table),
      pub_(pub),
      launch_(launch),
      lstUser_(lstUser),
      VexChat_(VexChat),
      scene_(scene),
      sender_(sender),
      menu_(VexChat) {
    connect(&lstUser, &UserListControl::NamesLoaded, this,
            [this](const QString& names) { FillSeatsFromList(names.toStdString()); });
    connect(&lstUser, &UserListControl::UserClicked, this,
            [this](bool flag, int, const QString& name, const QString& row) {
                OnUserClicked(flag, name.toStdString(), row.toStdString());
            });
    connect(&VexChat, &ChatControl::SendRequested, this,
            [this](const QStringList& texts) { SendChat(texts); });
}

RoomPlayers::~RoomPlayers() = default;

void RoomPlayers::FillSeatsFromList(std::string_view names) {
    krvo::FillSeatsFromList(names, table_, pub_, lstUser_, VexChat_, scene_, launch_.strMyUserName);
}

void RoomPlayers::OnUserClicked(bool flag, std::string_view name, std::string_view row) {
    if (!flag) {
        VexChat_.setCurrentRecipient(name);
        return;
    }
    const std::optional<UserMenuItems> items = BuildUserMenu(row, pub_, launch_.bteUseScore);
    if (!items) return;
    menu_.Load(*items);
    menu_.Popup(QCursor::pos());
}

void RoomPlayers::SendChat(const QStringList& tenTexts) {
    std::vector<std::string> texts;
    for (const QString& text : tenTexts) texts.push_back(text.toStdString());
    const Packet packet = BuildChatPacket(texts);
    if (!packet.empty()) sender_.SendPacket(packet);
}

}  // namespace krvo
