#include "server/room_server.h"

#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <limits>

#include "core/framing.h"

namespace krvo::server {

struct RoomServer::Connection {
    QTcpSocket* socket = nullptr;  // owned by the server object through Qt's parent
    FrameDecoder decoder;
};

RoomServer::RoomServer(QObject* parent, qint64 maxPendingOutput)
    : QObject(parent), maxPendingOutput_(maxPendingOutput) {
    connect(&server_, &QTcpServer::newConnection, this, &RoomServer::accept);
}

RoomServer::~RoomServer() {
    for (auto& [client, connection] : connections_) {
        connection->socket->disconnect(this);
        connection->socket->abort();
    }
}

bool RoomServer::listen(const QHostAddress& address, quint16 port) {
    return server_.listen(address, port);
}

void RoomServer::accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        const ClientId client = nextClient_++;
        socket->setParent(this);
        auto connection = std::make_unique<Connection>();
        connection->socket = socket;
        connections_.emplace(client, std::move(connection));
        connect(socket, &QTcpSocket::readyRead, this, [this, client] { readFrom(client); });
        connect(socket, &QTcpSocket::disconnected, this, [this, client] { drop(client, true); });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, client] { drop(client, true); });
    }
}

void RoomServer::readFrom(ClientId client) {
    auto found = connections_.find(client);
    if (found == connections_.end()) return;
    Connection& connection = *found->second;
    const QByteArray data = connection.socket->readAll();
    connection.decoder.feed(std::span(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                      static_cast<std::size_t>(data.size())));
    while (true) {
        const auto next = connection.decoder.next();
        if (!next) break;
        const Packet packet(next->begin(), next->end());
        if (room_ != nullptr) {
            const bool outer = inRoomCall_;
            inRoomCall_ = true;
            room_->packetArrived(client, packet);
            inRoomCall_ = outer;
        }
        // The room may have let this client go while handling the packet.
        if (!connections_.contains(client)) return;
    }
    if (connection.decoder.failed()) drop(client, true);
}

void RoomServer::send(ClientId client, const Packet& packet) {
    const auto found = connections_.find(client);
    if (found == connections_.end()) return;
    QTcpSocket* socket = found->second->socket;
    const std::vector<std::uint8_t> frame = EncodeFrame(packet);
    if (frame.empty()) return;
    if (socket->bytesToWrite() + static_cast<qint64>(frame.size()) > maxPendingOutput_) {
        // A client that does not read cannot hold the room's memory hostage.
        drop(client, true);
        return;
    }
    socket->write(reinterpret_cast<const char*>(frame.data()), static_cast<qint64>(frame.size()));
}

void RoomServer::disconnect(ClientId client) {
    drop(client, false);
}

void RoomServer::drop(ClientId client, bool tellRoom) {
    const auto found = connections_.find(client);
    if (found == connections_.end()) return;
    QTcpSocket* socket = found->second->socket;
    connections_.erase(found);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    if (!tellRoom || room_ == nullptr) return;
    if (inRoomCall_) {
        QTimer::singleShot(0, this, [this, client] {
            if (room_ != nullptr) room_->clientClosed(client);
        });
        return;
    }
    inRoomCall_ = true;
    room_->clientClosed(client);
    inRoomCall_ = false;
}

}  // namespace krvo::server
