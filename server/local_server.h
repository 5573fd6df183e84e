#pragma once
// Everything krvo-server runs, put together from its options: the game, the
// props shop, the room and the listening socket.

#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "qt/qt_clock.h"
#include "server/room_server.h"
#include "server/server_options.h"

namespace krvo::server {

class LocalServer {
public:
    explicit LocalServer(const ServerOptions& options);
    ~LocalServer();
    LocalServer(const LocalServer&) = delete;
    LocalServer& operator=(const LocalServer&) = delete;

    // False with a reason when the address cannot be bound.
    bool listen(std::string& error);
    // "HOST:PORT" of the bound socket.
    std::string endpoint() const;
    Room& room() { return *room_; }
    // Told the number of each round as it is dealt.
    void setRoundStartedHandler(std::function<void(int round)> handler) {
        roundStarted_ = std::move(handler);
    }
    RoomServer& network() { return network_; }

private:
    ServerOptions options_;
    QtClock clock_;
    std::unique_ptr<EngineTableGame> game_;
    std::unique_ptr<PropsShop> shop_;
    RoomServer network_;
    std::unique_ptr<Room> room_;
    std::function<void(int)> roundStarted_;
    int rounds_ = 0;
    QTimer raiseHands_;
};

EngineSettings EngineSettingsFrom(const ServerOptions& options);
RoomSettings RoomSettingsFrom(const ServerOptions& options);
ConnectionLimits ConnectionLimitsFrom(const ServerOptions& options);

}  // namespace krvo::server
