#pragma once
// The room on the network: a listening socket, one connection per client with
// its own frame decoder, and bounded output. A client that breaks the framing,
// stops reading or never logs in loses its connection; nobody else notices.

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>

#include "core/clock.h"
#include "server/room.h"

class QSocketNotifier;
class QTcpSocket;

namespace krvo::server {

struct ConnectionLimits {
    // Connections at once; one more is accepted and closed at once.
    std::size_t maxConnections = 200;
    // A connection must log in this long after it was accepted...
    std::int64_t loginMs = 30'000;
    // ...and may not fall silent for this long before it has.
    std::int64_t idleMs = 10'000;
    // Unsent bytes a client may fall behind by before it is cut off.
    qint64 maxPendingOutput = 1 << 20;
};

// How long the server stops accepting after accept itself failed (out of
// descriptors, out of memory): long enough not to burn a core on a listening
// socket that stays readable, short enough for a returning player.
inline constexpr std::int64_t kAcceptBackOffMs = 500;

class RoomServer final : public QObject, public RoomOutput {
    Q_OBJECT

public:
    explicit RoomServer(Clock& clock, ConnectionLimits limits = {}, QObject* parent = nullptr);
    ~RoomServer() override;

    // The room that receives the packets; set before listening.
    void setRoom(Room* room) { room_ = room; }
    bool listen(const QHostAddress& address, quint16 port);
    quint16 port() const { return server_.serverPort(); }
    QHostAddress address() const { return server_.serverAddress(); }
    QString errorString() const { return server_.errorString(); }
    std::size_t connectionCount() const { return connections_.size(); }
    // The connection limit in force: the one asked for, or less when the
    // process may not open that many descriptors.
    std::size_t maxConnections() const { return limits_.maxConnections; }
    // Accept calls that failed for want of resources; each is followed by a pause.
    std::size_t failedAccepts() const { return failedAccepts_; }

    void send(ClientId client, const Packet& packet) override;
    void disconnect(ClientId client) override;
    void loggedIn(ClientId client) override;

private:
    struct Connection;

    void acceptPending();
    void backOff(int error);
    void adopt(int descriptor);
    void readFrom(ClientId client);
    void armDeadline(Connection& connection);
    // Closes a connection; tellRoom when the room does not know yet. The room
    // is always told later, from the event loop: it may be in the middle of a
    // loop over its members, whichever way it was called.
    void drop(ClientId client, bool tellRoom);

    Clock& clock_;
    ConnectionLimits limits_;
    QTcpServer server_;
    std::unique_ptr<QSocketNotifier> acceptNotifier_;
    std::unique_ptr<Timer> resumeAccepting_;
    std::size_t failedAccepts_ = 0;
    bool acceptFailing_ = false;  // logged once per spell of failures
    Room* room_ = nullptr;
    ClientId nextClient_ = 1;
    std::map<ClientId, std::unique_ptr<Connection>> connections_;
};

}  // namespace krvo::server
