#include "app/table_app.h"

#include <QCoreApplication>

#include "chrome/game_main_window.h"
#include "core/packet.h"
#include "net/room_protocol.h"
#include "platform/socket_client.h"

namespace krvo {

TableApp::TableApp(LaunchParams launch, std::string_view appDir, Clock& clock,
                   std::function<void(std::int64_t)> pump)
    : launch_(std::move(launch)),
      appDir_(appDir),
      clock_(clock),
      waiter_(
          clock, std::move(pump), [this] { return pub_.blnEndRequested; },
          [this] { UnloadMainWindow(); }),
      socket_(std::make_unique<SocketClient>(clock)) {
    connect(socket_.get(), &SocketClient::OnConnected, this, &TableApp::OnConnected);
    connect(socket_.get(), &SocketClient::OnDataArrival, this, &TableApp::OnDataArrival);
    connect(socket_.get(), &SocketClient::OnClosed, this, &TableApp::OnConnectionLost);
    connect(socket_.get(), &SocketClient::OnSocketError, this, &TableApp::OnConnectionLost);
}

TableApp::~TableApp() = default;

void TableApp::Start() {
    InitPublicDefine(pub_, launch_, appDir_);
    pub_.strViewUserName.clear();
    ResetAll(table_);

    window_ = std::make_unique<GameMainWindow>();
    window_->setWindowTitle(QString::fromStdString(launch_.strGameTitle));
    window_->setCloseRequestHandler([this] {
        UnloadMainWindow();
        return true;
    });
    window_->placeOnScreen();
    window_->show();
    ConnectRoomServer();
}

void TableApp::ConnectRoomServer() {
    socket_->OpenConnection(QString::fromStdString(launch_.strRoomServerAddress),
                            LeadingInt32(launch_.strRoomServerPort), 120);
}

void TableApp::SendPacket(std::span<const std::uint8_t> packet) {
    if (!ended_) socket_->SendPacket(packet);
}

void TableApp::OnConnected() {
    SendPacket(BuildLoginPacket(bteAllowWatchCards_));
}

void TableApp::OnDataArrival(const QByteArray& data) {
    if (ended_ || data.isEmpty()) return;
    const std::span<const std::uint8_t> packet(
        reinterpret_cast<const std::uint8_t*>(data.constData()),
        static_cast<std::size_t>(data.size()));
    if (IsRoomMessage(packet[0])) {
        room_.OnRoomMessage(packet);
    } else {
        game_.HandleGameMsg(packet);
    }
}

void TableApp::OnConnectionLost() {
    UnloadMainWindow();
}

void TableApp::UnloadMainWindow() {
    if (ended_) return;
    ended_ = true;
    pub_.blnEndRequested = true;
    ResetAll(table_);
    socket_->Close();
    if (window_) window_->hide();
    // Leaves every running event loop, nested ones included; code that waited
    // sees the Waiter report the end and returns.
    QCoreApplication::exit(0);
}

}  // namespace krvo
