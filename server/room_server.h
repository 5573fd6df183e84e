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
#include <string>

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
    // Bytes a client may leave untaken (queued here or held by the system)
    // for slowReaderGraceMs before it is cut off. What the server queues in
    // one go does not count by itself: a client reading at full speed takes
    // a burst within milliseconds. Chat lines are skipped for a client this
    // far behind until it has caught up, and one more than kHardBacklogFactor
    // times this behind is cut off at once, which bounds the memory a client
    // that never reads can hold.
    qint64 maxPendingOutput = 1 << 20;
    std::int64_t slowReaderGraceMs = 5'000;
    // Connections from one address that have not logged in yet; a newer one
    // beyond it ends the oldest. A real client logs in within milliseconds of
    // connecting, so this only ever meets connections that hold places open.
    std::size_t maxWaitingPerAddress = 8;
};

inline constexpr qint64 kHardBacklogFactor = 4;

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
    void sendExpendable(ClientId client, const Packet& packet) override;
    void disconnect(ClientId client) override;
    void loggedIn(ClientId client) override;
    std::string peerAddress(ClientId client) const override;

private:
    struct Connection;

    void acceptPending();
    void backOff(int error);
    void adopt(int descriptor, const std::string& address);
    bool makeRoomFor(const std::string& address);
    void readFrom(ClientId client);
    void write(ClientId client, const Packet& packet, bool expendable);
    void caughtUp(ClientId client);
    void stillBehind(ClientId client);
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
