#pragma once
// Everything krvo-server runs, put together from its options: the game, the
// props shop, the room and the listening socket.

#include <memory>
#include <string>

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
    RoomServer& network() { return network_; }

private:
    ServerOptions options_;
    ServerClock clock_;
    std::unique_ptr<TableGame> game_;
    std::unique_ptr<PropsShop> shop_;
    RoomServer network_;
    std::unique_ptr<Room> room_;
};

EngineSettings EngineSettingsFrom(const ServerOptions& options);
RoomSettings RoomSettingsFrom(const ServerOptions& options);

}  // namespace krvo::server
