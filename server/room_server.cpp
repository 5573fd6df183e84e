#include "server/room_server.h"

#include <QSocketNotifier>
#include <QTcpSocket>

#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <linux/sockios.h>
#include <netinet/in.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>

#include "core/framing.h"

namespace krvo::server {
namespace {

// Accepts per wake-up of the listening socket, so that a burst of newcomers
// does not keep the people already at the table waiting.
constexpr int kAcceptsPerWake = 64;
// Descriptors kept for everything but connections (standard streams, the
// event loop's own, the listening socket, a newcomer accepted to be closed).
constexpr rlim_t kReservedDescriptors = 16;

// Each connection holds a descriptor. A limit above what the process may open
// would end in accept failing instead of newcomers being closed at once.
std::size_t DescriptorBudget() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
        return std::numeric_limits<std::size_t>::max();
    }
    if (limit.rlim_cur <= kReservedDescriptors) return 1;
    return static_cast<std::size_t>(limit.rlim_cur - kReservedDescriptors);
}

// accept reports these for a connection that died in the backlog; the next
// one may be fine, so they are no reason to pause.
bool ConnectionGoneBeforeAccept(int error) {
    switch (error) {
        case ECONNABORTED:
        case EPROTO:
        case ENETDOWN:
        case ENOPROTOOPT:
        case EHOSTDOWN:
        case ENONET:
        case EHOSTUNREACH:
        case EOPNOTSUPP:
        case ENETUNREACH:
        case EPERM:
            return true;
        default:
            return false;
    }
}

// The longest queue of newcomers the kernel keeps before the server accepts
// them. With Qt's default of 50, a burst of logins loses connections to the
// kernel and each retries only a second later.
int SystemListenBacklog() {
    int backlog = 0;
    std::ifstream("/proc/sys/net/core/somaxconn") >> backlog;
    return std::max(backlog, SOMAXCONN);
}

// An IPv4 peer reads the same on an IPv4 and on a dual-stack socket.
std::string AddressText(const sockaddr_storage& peer) {
    const QHostAddress address(reinterpret_cast<const sockaddr*>(&peer));
    bool isIpv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIpv4);
    return (isIpv4 ? QHostAddress(ipv4) : address).toString().toStdString();
}

// Bytes the client has not taken yet: the socket's own queue and what the
// system holds unacknowledged. The system's buffer grows to megabytes for a
// client that does not read, so the socket's queue alone would fill late.
qint64 Untaken(const QTcpSocket& socket) {
    int held = 0;
    if (::ioctl(static_cast<int>(socket.socketDescriptor()), SIOCOUTQ, &held) != 0) held = 0;
    return socket.bytesToWrite() + std::max(held, 0);
}

}  // namespace

struct RoomServer::Connection {
    QTcpSocket* socket = nullptr;  // owned by the server object through Qt's parent
    FrameDecoder decoder;
    std::string address;
    std::int64_t acceptedMs = 0;
    std::unique_ptr<Timer> deadline;  // until the login
    std::unique_ptr<Timer> lagging;   // runs while the client is behind in reading
};

RoomServer::RoomServer(Clock& clock, ConnectionLimits limits, QObject* parent)
    : QObject(parent), clock_(clock), limits_(limits) {
    const std::size_t budget = DescriptorBudget();
    if (limits_.maxConnections > budget) {
        std::fprintf(stderr, "krvo-server: the descriptor limit allows %zu connections, not %zu\n",
                     budget, limits_.maxConnections);
        limits_.maxConnections = budget;
    }
    resumeAccepting_ = clock_.createTimer([this] {
        if (acceptNotifier_) acceptNotifier_->setEnabled(true);
    });
}

RoomServer::~RoomServer() {
    acceptNotifier_.reset();
    for (auto& [client, connection] : connections_) {
        connection->socket->disconnect(this);
        connection->socket->abort();
    }
}

bool RoomServer::listen(const QHostAddress& address, quint16 port) {
    server_.setListenBacklogSize(SystemListenBacklog());
    if (!server_.listen(address, port)) return false;
    // QTcpServer (Qt 6.4) may keep polling a listening socket whose accept
    // fails for want of descriptors, at a full core and without a word. The
    // server accepts by itself instead, so that it sees the failure and pauses.
    server_.pauseAccepting();
    acceptNotifier_ =
        std::make_unique<QSocketNotifier>(server_.socketDescriptor(), QSocketNotifier::Read);
    connect(acceptNotifier_.get(), &QSocketNotifier::activated, this, &RoomServer::acceptPending);
    // The back-off runs when no descriptor is left, and a sanitizer build
    // needs two to check the type of an object on its first call: every call
    // the back-off makes is made once here.
    acceptNotifier_->setEnabled(true);
    resumeAccepting_->stop();
    return true;
}

void RoomServer::acceptPending() {
    const int listening = static_cast<int>(server_.socketDescriptor());
    for (int i = 0; i < kAcceptsPerWake; ++i) {
        sockaddr_storage peer{};
        socklen_t peerSize = sizeof peer;
        const int descriptor = ::accept4(listening, reinterpret_cast<sockaddr*>(&peer), &peerSize,
                                         SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (descriptor >= 0) {
            if (acceptFailing_) std::fputs("krvo-server: accepting connections again\n", stderr);
            acceptFailing_ = false;
            adopt(descriptor, AddressText(peer));
            continue;
        }
        const int error = errno;
        if (error == EAGAIN || error == EWOULDBLOCK) return;
        if (error == EINTR || ConnectionGoneBeforeAccept(error)) continue;
        return backOff(error);
    }
}

// The listening socket stays readable while a newcomer waits in the backlog,
// so without a pause the event loop would try again at once, for ever.
void RoomServer::backOff(int error) {
    ++failedAccepts_;
    if (!acceptFailing_) {
        std::fprintf(stderr,
                     "krvo-server: cannot accept a connection (%s); retrying every %lld ms\n",
                     std::strerror(error), static_cast<long long>(kAcceptBackOffMs));
    }
    acceptFailing_ = true;
    acceptNotifier_->setEnabled(false);
    resumeAccepting_->start(kAcceptBackOffMs, true);
}

void RoomServer::adopt(int descriptor, const std::string& address) {
    if (!makeRoomFor(address)) {
        // Closed at once: the newcomer learns it now instead of waiting in the backlog.
        ::close(descriptor);
        return;
    }
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        ::close(descriptor);
        socket->deleteLater();
        return;
    }
    const ClientId client = nextClient_++;
    auto connection = std::make_unique<Connection>();
    connection->socket = socket;
    connection->address = address;
    connection->acceptedMs = clock_.nowMs();
    connection->deadline = clock_.createTimer([this, client] { drop(client, true); });
    connection->lagging = clock_.createTimer([this, client] { stillBehind(client); });
    armDeadline(*connections_.emplace(client, std::move(connection)).first->second);
    connect(socket, &QTcpSocket::readyRead, this, [this, client] { readFrom(client); });
    connect(socket, &QTcpSocket::bytesWritten, this, [this, client] { caughtUp(client); });
    connect(socket, &QTcpSocket::disconnected, this, [this, client] { drop(client, true); });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, client] { drop(client, true); });
}

// A newcomer is taken when the limits leave room for it. From one address,
// the oldest connection still waiting for its login gives way to the newest:
// a real client logs in at once, so only a connection that holds a place open
// waits long. Each player who dropped out and may still come back keeps a
// place that connections from anywhere else cannot fill.
bool RoomServer::makeRoomFor(const std::string& address) {
    std::size_t waiting = 0;
    ClientId oldest = 0;
    for (const auto& [client, connection] : connections_) {
        if (!connection->deadline || connection->address != address) continue;
        if (waiting++ == 0) oldest = client;  // the map is in order of arrival
    }
    if (waiting >= limits_.maxWaitingPerAddress) drop(oldest, true);
    std::size_t kept = 0;
    if (room_ != nullptr) {
        for (const std::string& awaited : room_->awaitedAddresses()) {
            if (awaited != address) ++kept;
        }
    }
    return connections_.size() + kept < limits_.maxConnections;
}

std::string RoomServer::peerAddress(ClientId client) const {
    const auto found = connections_.find(client);
    return found == connections_.end() ? std::string() : found->second->address;
}

// Before the login a connection lives until the login deadline, and only
// while it keeps sending: a partial frame must not hold memory for ever.
void RoomServer::armDeadline(Connection& connection) {
    if (!connection.deadline) return;
    const std::int64_t now = clock_.nowMs();
    const std::int64_t due =
        std::min(connection.acceptedMs + limits_.loginMs, now + limits_.idleMs);
    connection.deadline->start(std::max<std::int64_t>(0, due - now), true);
}

void RoomServer::loggedIn(ClientId client) {
    const auto found = connections_.find(client);
    if (found != connections_.end()) found->second->deadline.reset();
}

void RoomServer::readFrom(ClientId client) {
    auto found = connections_.find(client);
    if (found == connections_.end()) return;
    Connection& connection = *found->second;
    armDeadline(connection);
    const QByteArray data = connection.socket->readAll();
    connection.decoder.feed(std::span(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                      static_cast<std::size_t>(data.size())));
    while (true) {
        const auto next = connection.decoder.next();
        if (!next) break;
        const Packet packet(next->begin(), next->end());
        if (room_ != nullptr) room_->packetArrived(client, packet);
        // The room may have let this client go while handling the packet.
        if (!connections_.contains(client)) return;
    }
    if (connection.decoder.failed()) drop(client, true);
}

void RoomServer::send(ClientId client, const Packet& packet) {
    write(client, packet, false);
}

void RoomServer::sendExpendable(ClientId client, const Packet& packet) {
    write(client, packet, true);
}

void RoomServer::write(ClientId client, const Packet& packet, bool expendable) {
    const auto found = connections_.find(client);
    if (found == connections_.end()) return;
    Connection& connection = *found->second;
    QTcpSocket* socket = connection.socket;
    const std::vector<std::uint8_t> frame = EncodeFrame(packet);
    if (frame.empty()) {
        // A client that silently missed a packet would go on with a wrong
        // picture of the table; it is better off without the connection.
        std::fprintf(stderr,
                     "krvo-server: a packet of %zu bytes (message %u) does not fit a frame; "
                     "closing connection %u\n",
                     packet.size(), static_cast<unsigned>(packet.front()), client);
        drop(client, true);
        return;
    }
    const auto size = static_cast<qint64>(frame.size());
    const qint64 behind = Untaken(*socket);
    // A client behind in reading misses chat rather than the table.
    if (expendable && behind > limits_.maxPendingOutput) return;
    if (behind + size > limits_.maxPendingOutput * kHardBacklogFactor) {
        // A client that does not read cannot hold the machine's memory hostage.
        std::fprintf(stderr, "krvo-server: connection %u fell %lld bytes behind; closing it\n",
                     client, static_cast<long long>(behind));
        drop(client, true);
        return;
    }
    socket->write(reinterpret_cast<const char*>(frame.data()), size);
    if (behind + size > limits_.maxPendingOutput && !connection.lagging->isActive()) {
        connection.lagging->start(limits_.slowReaderGraceMs, true);
    }
}

// Whatever the client takes while the grace runs counts: only a backlog that
// is still there when it ends costs the connection.
void RoomServer::caughtUp(ClientId client) {
    const auto found = connections_.find(client);
    if (found == connections_.end()) return;
    if (Untaken(*found->second->socket) <= limits_.maxPendingOutput) {
        found->second->lagging->stop();
    }
}

void RoomServer::stillBehind(ClientId client) {
    const auto found = connections_.find(client);
    if (found == connections_.end()) return;
    const qint64 behind = Untaken(*found->second->socket);
    if (behind <= limits_.maxPendingOutput) return;
    std::fprintf(
        stderr, "krvo-server: connection %u stayed %lld bytes behind for %lld ms; closing it\n",
        client, static_cast<long long>(behind), static_cast<long long>(limits_.slowReaderGraceMs));
    drop(client, true);
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
    if (!tellRoom) return;
    QMetaObject::invokeMethod(
        this,
        [this, client] {
            if (room_ != nullptr) room_->clientClosed(client);
        },
        Qt::QueuedConnection);
}

}  // namespace krvo::server
