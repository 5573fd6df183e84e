#pragma once
// The one owner of the table program: launch parameters, the shared and the
// table state, preferences, the connection, the handlers and the windows.

#include <QByteArray>
#include <QObject>
#include <memory>

#include "core/clock.h"
#include "core/waits.h"
#include "services/qt_system_alerts.h"
#include "ports/message_boxes.h"
#include "ports/packet_sender.h"
#include "render/table_renderer.h"
#include "state/command_line.h"
#include "state/exit_reason.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "state/user_settings.h"

class QPushButton;

namespace krvo {

class GameMainWindow;
class GameTable;
class MessageBoxWindow;
class SocketClient;
class MessageBoxService;
class PropsData;
class PropsMarketWindow;

class TableApp final : public QObject, public PacketSender {
    Q_OBJECT
public:
    // appDir: the directory the program lies in. pump: how waits handle events
    // (PumpQtEvents in production). alerts: the system-style warning boxes.
    TableApp(LaunchParams launch, std::string_view appDir, Clock& clock,
             std::function<void(std::int64_t)> pump, SystemAlerts& alerts);
    ~TableApp() override;

    // Initialises the state, loads and shows the main window and connects.
    void start();
    void connectRoomServer();
    // The close procedure every close request takes: during a running round
    // the player is asked first, and only "quit anyway" closes.
    bool requestClose();
    // Ends the program: closes every window and leaves the event loop with status 0.
    void exitProgram();
    // The client leaves the table on its own. The table stops at once (no
    // packet is handled or sent, the connection closes); a line on standard
    // error says why, and so does a notice unless a box at the table just did;
    // the program ends with the reason's status when the notice is answered
    // or its countdown ends.
    void leaveTableFor(ExitReason reason);

    void sendPacket(std::span<const std::uint8_t> packet) override;

    // The table has stopped; a notice may still be saying why.
    bool ended() const { return ended_; }
    // The event loop has been told to end with exitStatus().
    bool finished() const { return finished_; }
    int exitStatus() const { return exitStatus_; }
    // The notice saying why the table was left, while it is open.
    MessageBoxWindow* leaveNotice() const;
    LaunchParams& launch() { return launch_; }
    PublicState& pub() { return pub_; }
    TableState& table() { return table_; }
    UserSettings& preferences() { return preferences_; }
    Waiter& waiter() { return waiter_; }
    GameMainWindow* mainWindow() const { return window_.get(); }
    // Only after start().
    MessageBoxService& boxes();
    TableRenderer& renderer() { return scene_; }
    // The game side: the player's actions and the start button. Only after start().
    GameTable& game();
    // The start button on the table surface, null before the room is built.
    QPushButton* startButtonWidget();
    void openUserSettings();
    // Shows the props market, or brings the open one to the front. Only after start().
    void openPropsMarket();
    PropsData& props();
    // The open market window, or null.
    PropsMarketWindow* propsMarket() const;

private:
    struct Room;

    void logIn();
    void handlePacket(const QByteArray& data);
    void leaveOnLostConnection();
    // Stops the table: every box, dialog and clock closed, the state reset and
    // the connection closed; the window stays until finishExit.
    void endTable();
    void showLeaveNotice(ExitReason reason);
    void finishExit();
    // The line for standard error, with the address when it could not be reached.
    std::string leaveLine(ExitReason reason) const;

    LaunchParams launch_;
    std::string appDir_;
    Clock& clock_;
    SystemAlerts& alerts_;
    PublicState pub_;
    TableState table_;
    UserSettings preferences_;
    Waiter waiter_;
    TableRenderer scene_{table_, pub_, waiter_};
    std::unique_ptr<SocketClient> socket_;
    std::unique_ptr<GameMainWindow> window_;
    std::unique_ptr<Room> room_;
    bool connected_ = false;
    bool ended_ = false;
    bool finished_ = false;
    int exitStatus_ = 0;
    LeaveAnswer noticeAnswer_;  // the notice asks nothing; its box needs one
    std::unique_ptr<MessageBoxWindow> leaveNotice_;
};

}  // namespace krvo
