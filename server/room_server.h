#pragma once
// The room on the network: a QTcpServer, one connection per client with its
// own frame decoder, and bounded output. A client that breaks the framing or
// stops reading loses its connection; nobody else notices.

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

#include <cstddef>
#include <map>
#include <memory>

#include "core/clock.h"
#include "server/room.h"

class QTcpSocket;

namespace krvo::server {

// Unsent bytes a client may fall behind by before it is cut off.
inline constexpr qint64 kMaxPendingOutput = 1 << 20;

class RoomServer final : public QObject, public RoomOutput {
    Q_OBJECT

public:
    explicit RoomServer(QObject* parent = nullptr, qint64 maxPendingOutput = kMaxPendingOutput);
    ~RoomServer() override;

    // The room that receives the packets; set before listening.
    void setRoom(Room* room) { room_ = room; }
    bool listen(const QHostAddress& address, quint16 port);
    quint16 port() const { return server_.serverPort(); }
    QHostAddress address() const { return server_.serverAddress(); }
    QString errorString() const { return server_.errorString(); }
    std::size_t connectionCount() const { return connections_.size(); }

    void send(ClientId client, const Packet& packet) override;
    void disconnect(ClientId client) override;

private:
    struct Connection;

    void accept();
    void readFrom(ClientId client);
    // Closes a connection; tellRoom when the room does not know yet. From inside
    // a room call the room is told later, never re-entered.
    void drop(ClientId client, bool tellRoom);

    QTcpServer server_;
    Room* room_ = nullptr;
    ClientId nextClient_ = 1;
    std::map<ClientId, std::unique_ptr<Connection>> connections_;
    bool inRoomCall_ = false;
    qint64 maxPendingOutput_;
};

}  // namespace krvo::server
