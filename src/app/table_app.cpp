#include "app/table_app.h"

#include <QCoreApplication>
#include <QPointer>
#include <QToolTip>
#include <QWindow>
#include <cstdlib>
#include <iostream>

#include "chrome/column_panes.h"
#include "chrome/game_main_window.h"
#include "core/packet.h"
#include "dialogs/game_set_dialog.h"
#include "dialogs/message_box_registry.h"
#include "dialogs/message_box_window.h"
#include "controls/people_view.h"
#include "dialogs/user_set_dialog.h"
#include "game/game_table.h"
#include "game/table_notices.h"
#include "market/props_market_window.h"
#include "controls/adv_web_view.h"
#include "controls/ko_clock.h"
#include "services/qt_sound_player.h"
#include "controls/qt_table_button.h"
#include "services/socket_client.h"
#include "services/web_addresses.h"
#include "props/props_data.h"
#include "render/table_keyboard.h"
#include "render/table_mouse.h"
#include "render/table_surface.h"
#include "room/leave_table.h"
#include "room/room_handler.h"
#include "room/room_requests.h"
// Only to route each packet to the room or the game side by its first byte.
#include "wire/room_protocol.h"

namespace krvo {
namespace {

// Long enough to read the notice, short enough that a launcher waiting for
// the program is not kept waiting by a screen nobody watches.
constexpr std::int32_t kLeaveNoticeSeconds = 5;

// One settings dialog at a time, created for each settings round and gone
// when it has answered.
class SettingsDialogs final : public SettingsDialogOpener {
public:
    SettingsDialogs(Clock& clock, RoomActions& room, SystemAlerts& alerts,
                    const LaunchParams& launch, QWidget* parent)
        : clock_(clock), room_(room), alerts_(alerts), launch_(launch), parent_(parent) {}
    ~SettingsDialogs() override { close(); }

    bool openTableSettings(bool blnDeskMaster, std::string_view strAllGameSetInfo) override {
        close();
        // Parented to the main window, which deletes it at the latest.
        dialog_ = new GameSetDialog(clock_, room_, alerts_, launch_.strGameTitle, parent_);
        if (!dialog_->loadSettings(blnDeskMaster, strAllGameSetInfo)) {
            close();
            return false;
        }
        QObject::connect(dialog_, &GameSetDialog::ended, dialog_, &QObject::deleteLater);
        dialog_->show();
        return true;
    }
    void close() {
        if (dialog_) {
            dialog_->hide();
            dialog_->deleteLater();
        }
        dialog_ = nullptr;
    }

private:
    Clock& clock_;
    RoomActions& room_;
    SystemAlerts& alerts_;
    const LaunchParams& launch_;
    QWidget* parent_;
    QPointer<GameSetDialog> dialog_;
};

}  // namespace

// Everything that lives on the main window and its controls, in the order
// the parts need each other.
struct TableApp::Room {
    Room(TableApp& app, GameMainWindow& window)
        : requests({.launch = app.launch_, .sender = app}),
          users(window.userList()),
          chat(window.chatPane()),
          sound({.strAppPath = app.pub_.strAppPath,
                 .settings = app.preferences_,
                 .windowShown = QtSoundPlayer::windowShownProbe(&window),
                 .audioOutputPresent = {}}),
          players(app.table_, app.pub_, app.launch_, window.userList(), window.chatPane(), users,
                  chat, app.scene_, requests),
          boxes(
              app.clock_, app.waiter_, app.alerts_, app.pub_.strAppPath,
              [&app] { return app.table_.bteLeaveRequestsUsed >= app.table_.bteMaxLeaveRequests; },
              &window),
          dialogs(app.clock_, requests, app.alerts_, app.launch_, &window),
          props({.sender = app, .strAppPath = app.pub_.strAppPath}),
          notices({.table = app.table_,
                   .pub = app.pub_,
                   .launch = app.launch_,
                   .boxes = boxes,
                   .chat = chat,
                   .sender = app,
                   .alerts = app.alerts_,
                   .props = props,
                   .scene = app.scene_,
                   .closeMainWindow = [&app](ExitReason reason) { app.leaveTableFor(reason); }}),
          koClock(app.clock_, &window.tableSurface()),
          startButton(window.tableSurface(), QStringLiteral("cmdStart")),
          game({.launch = app.launch_,
                .pub = app.pub_,
                .table = app.table_,
                .sender = app,
                .scene = app.scene_,
                .sound = sound,
                .boxes = boxes,
                .chat = chat,
                .settings = app.preferences_,
                .waiter = app.waiter_,
                .clock = app.clock_,
                .closeMainWindow = [&app](ExitReason reason) { app.leaveTableFor(reason); }},
               {koClock, startButton, notices}),
          handler({.launch = app.launch_,
                   .pub = app.pub_,
                   .table = app.table_,
                   .sender = app,
                   .users = users,
                   .chat = chat,
                   .dialogs = dialogs,
                   .scene = app.scene_,
                   .flow = game,
                   .sound = sound,
                   .boxes = boxes,
                   .hideMainWindow = [&window](bool hide) { window.setVisible(!hide); }}),
          leave(
              {.pub = app.pub_, .table = app.table_, .boxes = boxes, .chat = chat, .sender = app}),
          mouse(app.scene_, app.table_, app.pub_, game.actions()),
          keyboard(app.scene_, app.table_, app.pub_, game.actions(), game.startButton()),
          renderer(app.scene_),
          surface(window.tableSurface()) {
        props.resetMarket();
        renderer.setClock(app.clock_);
        renderer.placeCountdownBar = [this](QRect place) { koClock.setGeometry(place); };
        renderer.placeStartButton = [this](QPoint place) {
            if (QPushButton* button = startButton.widget()) button->move(place);
        };
        mouse.setToolTip = [this](const QString& tip) {
            surface.setToolTip(tip);
            // Off the button, its hint goes at once rather than at its time-out.
            if (tip.isEmpty()) QToolTip::hideText();
        };
        surface.onMouseMove = [this](int button, QPoint at) { mouse.moveOverTable(button, at); };
        surface.onMouseUp = [this](int button, QPoint at) { mouse.releaseOnTable(button, at); };
        mouse.cardClicked = [this](int card) { keyboard.markCard(card); };
        keyboard.setDescription = [this](const QString& text) {
            surface.setAccessibleDescription(text);
        };
        surface.onFocusChanged = [this](bool focused) { keyboard.setFocused(focused); };
        surface.onKeyPress = [this](int key, bool command, bool repeat) {
            return keyboard.keyPressed(key, command, repeat);
        };
        if (QPushButton* start = startButton.widget()) {
            const QString caption = QStringLiteral("可以开始");
            start->setAccessibleName(caption);
            start->setToolTip(WithKey(caption, TableKeyAction::Start));
            // A click on it leaves the focus where it was (in the chat, say);
            // Tab still reaches it, right after the table.
            start->setFocusPolicy(Qt::TabFocus);
            QWidget::setTabOrder(&surface, start);
        }
        renderer.attach(&surface);
    }
    ~Room() {
        surface.onMouseMove = nullptr;
        surface.onMouseUp = nullptr;
        surface.onFocusChanged = nullptr;
        surface.onKeyPress = nullptr;
        renderer.placeCountdownBar = nullptr;
        renderer.placeStartButton = nullptr;
    }

    RoomRequests requests;
    QtUserListOps users;
    QtChatOps chat;
    QtSoundPlayer sound;
    RoomPlayers players;
    MessageBoxRegistry boxes;
    SettingsDialogs dialogs;
    PropsData props;
    TableNotices notices;
    KoClock koClock;
    QtTableButton startButton;
    GameTable game;
    RoomHandler handler;
    LeaveTable leave;
    TableMouse mouse;
    TableKeyboard keyboard;
    TableRenderer& renderer;
    TableSurface& surface;
    QPointer<UserSetDialog> userSettings;
    // Last, so that it goes before the props data it shows.
    std::unique_ptr<PropsMarketWindow> market;
};

TableApp::TableApp(LaunchParams launch, std::string_view appDir, Clock& clock,
                   std::function<void(std::int64_t)> pump, SystemAlerts& alerts)
    : launch_(std::move(launch)),
      appDir_(appDir),
      clock_(clock),
      alerts_(alerts),
      waiter_(
          clock, std::move(pump), [this] { return ended_ || pub_.blnEndRequested; },
          [this] { exitProgram(); }),
      socket_(std::make_unique<SocketClient>(clock)) {
    connect(socket_.get(), &SocketClient::connected, this, &TableApp::logIn);
    connect(socket_.get(), &SocketClient::dataArrived, this, &TableApp::handlePacket);
    connect(socket_.get(), &SocketClient::closed, this, &TableApp::leaveOnLostConnection);
    connect(socket_.get(), &SocketClient::failed, this, &TableApp::leaveOnLostConnection);
    socket_->setDeliveryGate([this] { return !waiter_.holdingPackets(); });
    waiter_.setPacketsReleased([this] { socket_->resumeDelivery(); });
    // Normal play nests a box over a pause at most; loops nested to the
    // limit hold packets that only a burst of boxes or pauses leaves waiting.
    waiter_.setFallenBehind(
        [this] { return socket_->fallenBehind(waiter_.nestedLoops() >= Waiter::kMaxNestedLoops); });
}

TableApp::~TableApp() {
    leaveNotice_.reset();
    room_.reset();
    window_.reset();
}

MessageBoxService& TableApp::boxes() {
    return room_->boxes;
}

GameTable& TableApp::game() {
    return room_->game;
}
QPushButton* TableApp::startButtonWidget() {
    return room_ ? room_->startButton.widget() : nullptr;
}

void TableApp::start() {
    InitPublicDefine(pub_, launch_, appDir_);
    pub_.strViewUserName.clear();
    ResetAll(table_);

    window_ = std::make_unique<GameMainWindow>(clock_, pub_.strAppPath);
    window_->bombShowing = [this] { return table_.blnBombShow; };
    window_->setWindowTitle(QString::fromStdString(launch_.strGameTitle));
    const WebAddresses pages = LoadWebAddresses(pub_.strAppPath);
    window_->helpPage = pages.help;
    auto* advertisement = new AdvertisementView(clock_);
    // The pane's link to the rules opens them beside the table, browser or not.
    advertisement->openLocalPage = [window = window_.get()](const QUrl& page) {
        window->showHelpPage(page);
    };
    window_->advertisementPane().setView(advertisement);
    advertisement->navigate(pages.advertisement);
    // An installed program's directory is shared and read-only: the
    // preferences then live in the user's configuration directory.
    settingsFiles_ = UserSettingsFilesFor(
        pub_.strAppPath, UserConfigDirectory(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")));
    preferences_ = LoadUserSettings(settingsFiles_.read);
    ConfigureUserList(window_->userList(), launch_);
    ConfigureChat(window_->chatPane(), pub_, launch_.strMyUserName);
    room_ = std::make_unique<Room>(*this, *window_);
    window_->setCloseRequestHandler([this] { return requestClose(); });
    connect(window_.get(), &GameMainWindow::userSettingsRequested, this,
            &TableApp::openUserSettings);
    connect(window_.get(), &GameMainWindow::propsMarketRequested, this, &TableApp::openPropsMarket);

    window_->placeOnScreen();
    window_->show();
    connectRoomServer();
}

void TableApp::connectRoomServer() {
    socket_->openConnection(QString::fromStdString(launch_.strRoomServerAddress),
                            LeadingInt32(launch_.strRoomServerPort), 120);
}

void TableApp::openUserSettings() {
    if (!room_ || ended_) return;
    if (UserSetDialog* open = room_->userSettings; open && !open->unloaded()) {
        open->raise();
        open->activateWindow();
        return;
    }
    // A dialog that has answered is only waiting for its deferred deletion
    // (which a nested loop may hold up); it never takes a second turn.
    if (room_->userSettings) room_->userSettings->deleteLater();
    auto* dialog = new UserSetDialog(preferences_, settingsFiles_.write, room_->requests, alerts_,
                                     window_.get());
    connect(dialog, &UserSetDialog::ended, dialog, &QObject::deleteLater);
    room_->userSettings = dialog;
    dialog->show();
}

void TableApp::openPropsMarket() {
    if (!room_ || ended_) return;
    if (PropsMarketWindow* open = room_->market.get()) {
        open->showNormal();
        open->raise();
        open->activateWindow();
        return;
    }
    // A tool window of the main window: a click on the table, or a notice
    // that closes, never sends it behind. The room, and the market first in
    // it, is freed before the main window, so the market never outlives it.
    room_->market = std::make_unique<PropsMarketWindow>(
        PropsMarketWindow::Links{.props = room_->props,
                                 .strAppPath = pub_.strAppPath,
                                 .strPlatformPath = pub_.strPlatformPath,
                                 .strGameTitle = launch_.strGameTitle},
        window_.get());
    PropsMarketWindow* market = room_->market.get();
    // Closing runs inside the window's own handlers, so it is freed afterwards.
    connect(market, &PropsMarketWindow::closed, this, [this, market] {
        if (room_ && room_->market.get() == market) room_->market.release()->deleteLater();
    });
    if (window_) market->placeOver(window_->geometry());
    market->show();
    market->raise();
    market->activateWindow();
}

PropsData& TableApp::props() {
    return room_->props;
}

PropsMarketWindow* TableApp::propsMarket() const {
    return room_ ? room_->market.get() : nullptr;
}

MessageBoxWindow* TableApp::leaveNotice() const {
    return leaveNotice_ && !leaveNotice_->closed() ? leaveNotice_.get() : nullptr;
}

bool TableApp::requestClose() {
    // Closing the window while it says why the table was left ends at once.
    if (ended_) {
        finishExit();
        return true;
    }
    const bool askFirst = !pub_.blnIsOnlooker && !table_.blnNoGame && !pub_.blnCanStart &&
                          preferences_.bteForceQuitPrompt != 0;
    if (askFirst && room_) {
        room_->leave.askToLeave();
        if (ended_) return true;
        if (room_->boxes.leaveAnswer().bteMsgResult != 1) return false;
    }
    exitProgram();
    return true;
}

void TableApp::sendPacket(std::span<const std::uint8_t> packet) {
    if (!ended_) socket_->sendPacket(packet);
}

void TableApp::logIn() {
    connected_ = true;
    if (room_) room_->requests.logIn(preferences_.bteAllowWatchCards);
}

// Packets held by a pause or deep nesting wait in the socket, which asks
// before each one.
void TableApp::handlePacket(const QByteArray& data) {
    if (ended_ || data.isEmpty() || !room_) return;
    const std::span<const std::uint8_t> packet(
        reinterpret_cast<const std::uint8_t*>(data.constData()),
        static_cast<std::size_t>(data.size()));
    if (IsRoomMessage(packet[0])) {
        room_->handler.handleRoomMessage(packet);
    } else {
        room_->game.handleGameMessage(packet);
    }
}

void TableApp::leaveOnLostConnection() {
    leaveTableFor(connected_ ? ExitReason::ConnectionLost : ExitReason::ConnectFailed);
}

void TableApp::exitProgram() {
    if (ended_) return;
    endTable();
    finishExit();
}

void TableApp::leaveTableFor(ExitReason reason) {
    if (ended_) return;
    if (reason == ExitReason::Closed) {
        exitProgram();
        return;
    }
    exitStatus_ = ExitStatusOf(reason);
    std::cerr << leaveLine(reason) << std::endl;
    endTable();
    if (ExplainedAtTheTable(reason)) {
        finishExit();
        return;
    }
    showLeaveNotice(reason);
}

std::string TableApp::leaveLine(ExitReason reason) const {
    std::string line = "krvo: " + std::string(ExitReasonText(reason)) + "（";
    if (reason == ExitReason::ConnectFailed) {
        line += launch_.strRoomServerAddress + ":" + launch_.strRoomServerPort + "，";
    }
    return line + "退出状态 " + std::to_string(exitStatus_) + "）";
}

// Not one of the table's boxes: those belong to a table that has stopped, and
// their loops have ended. This one lives on its own in the main event loop,
// over the emptied table, until it is answered or its countdown ends.
void TableApp::showLeaveNotice(ExitReason reason) {
    leaveNotice_ = std::make_unique<MessageBoxWindow>(
        MessageBoxContext{clock_, alerts_, noticeAnswer_, pub_.strAppPath});
    MessageBoxWindow& box = *leaveNotice_;
    box.configure(MsgType::OneButton, ExitReasonText(reason), "系统提示", "确定", "",
                  kLeaveNoticeSeconds, true);
    box.setAnsweredCallback([this](bool) { finishExit(); });
    box.load();
    box.winId();
    if (window_ && window_->windowHandle() != nullptr && box.windowHandle() != nullptr) {
        box.windowHandle()->setTransientParent(window_->windowHandle());
    }
    box.show();
    box.raise();
    box.activateWindow();
}

void TableApp::finishExit() {
    if (finished_) return;
    finished_ = true;
    if (leaveNotice_) leaveNotice_->unload();
    if (window_) window_->hide();
    // Leaves every running event loop, nested ones included; code that waited
    // sees the Waiter report the end and returns.
    QCoreApplication::exit(exitStatus_);
}

void TableApp::endTable() {
    ended_ = true;
    pub_.blnEndRequested = true;
    if (room_) room_->boxes.closeMessageBoxes(0);
    InitPublicDefine(pub_, launch_, appDir_);
    // The reset above is the start-up state; the end request must survive it
    // so that every wait still running sees it.
    pub_.blnEndRequested = true;
    ResetAll(table_);
    if (room_) {
        room_->dialogs.close();
        if (room_->userSettings) room_->userSettings->close();
        if (room_->market) room_->market->close();
        room_->players.userMenu().unload();
    }
    socket_->closeConnection();
    if (room_) {
        // The window stays while the notice says why: nothing on it may run on.
        room_->game.stopClock();
        room_->game.refreshStartButton();
        scene_.invalidateTable();
    }
}

}  // namespace krvo
