#pragma once
// The one owner of the table program: launch parameters, the shared and the
// table state, the connection, the handlers and the main window.

#include <QByteArray>
#include <QObject>
#include <memory>

#include "app/command_line.h"
#include "app/public_state.h"
#include "core/clock.h"
#include "core/waits.h"
#include "game/game_handler.h"
#include "game/table_state.h"
#include "net/packet_sender.h"
#include "net/room_handler.h"

namespace krvo {

class GameMainWindow;
class SocketClient;

class TableApp final : public QObject, public PacketSender {
    Q_OBJECT
public:
    // appDir: the directory the program lies in. pump: how waits handle events
    // (PumpQtEvents in production).
    TableApp(LaunchParams launch, std::string_view appDir, Clock& clock,
             std::function<void(std::int64_t)> pump);
    ~TableApp() override;

    // Initialises the state, shows the main window and connects to the room.
    void Start();
    void ConnectRoomServer();
    // Ends the program: closes the window and leaves the event loop with status 0.
    void UnloadMainWindow();

    void SendPacket(std::span<const std::uint8_t> packet) override;

    bool ended() const { return ended_; }
    const LaunchParams& launch() const { return launch_; }
    PublicState& pub() { return pub_; }
    TableState& table() { return table_; }
    Waiter& waiter() { return waiter_; }
    GameMainWindow* mainWindow() const { return window_.get(); }

private:
    void OnConnected();
    void OnDataArrival(const QByteArray& data);
    void OnConnectionLost();

    LaunchParams launch_;
    std::string appDir_;
    Clock& clock_;
    PublicState pub_;
    TableState table_;
    Waiter waiter_;
    RoomHandler room_;
    GameHandler game_;
    std::uint8_t bteAllowWatchCards_ = 0;
    std::unique_ptr<SocketClient> socket_;
    std::unique_ptr<GameMainWindow> window_;
    bool ended_ = false;
};

}  // namespace krvo
