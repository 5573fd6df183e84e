#include "services/socket_client.h"

#include <QMetaObject>
#include <QPointer>
#include <algorithm>
#include <vector>

namespace krvo {
namespace {

// What a queued packet costs beyond its bytes (the array's header and the
// queue's slot), so that a flood of tiny packets is bounded as surely as one
// of large ones.
constexpr std::size_t kPacketBookkeeping = 64;

std::size_t costOf(const QByteArray& packet) {
    return static_cast<std::size_t>(packet.size()) + kPacketBookkeeping;
}

}  // namespace

SocketClient::SocketClient(Clock& clock, QObject* parent)
    : QObject(parent),
      clock_(clock),
      connectTimer_(clock.createTimer([this] { onConnectTimeout(); })) {}

SocketClient::~SocketClient() {
    closeConnection();
}

void SocketClient::openConnection(const QString& host, std::int32_t port,
                                  std::int32_t timeoutSeconds) {
    closeConnection();
    if (port < 1 || port > 65535) {
        // Reported from the event loop like every other failure, so the caller's code
        // after this call runs before it.
        ending_ = Ending::socketError;
        scheduleDelivery();
        return;
    }
    socket_ = new QTcpSocket(this);
    // Past this the socket stops reading, and the kernel's window closes.
    socket_->setReadBufferSize(static_cast<qint64>(kReadChunk));
    connect(socket_, &QTcpSocket::connected, this, &SocketClient::onSocketConnected);
    connect(socket_, &QTcpSocket::readyRead, this, [this] { readAvailable(); });
    connect(socket_, &QTcpSocket::errorOccurred, this, &SocketClient::onSocketError);
    connect(socket_, &QTcpSocket::disconnected, this, &SocketClient::onSocketDisconnected);
    if (timeoutSeconds > 0) connectTimer_->start(std::int64_t{timeoutSeconds} * 1000, true);
    socket_->connectToHost(host, static_cast<quint16>(port));
}

void SocketClient::sendPacket(std::span<const std::uint8_t> packet) {
    if (packet.empty() || packet.size() > kMaxPacketLength) return;
    if (socket_ == nullptr || socket_->state() == QAbstractSocket::UnconnectedState) return;
    const std::vector<std::uint8_t> frame = EncodeFrame(packet);
    socket_->write(reinterpret_cast<const char*>(frame.data()), static_cast<qint64>(frame.size()));
}

void SocketClient::closeConnection() {
    connectTimer_->stop();
    releaseSocket();
    decoder_ = FrameDecoder{};
    pending_.clear();
    pendingBytes_ = 0;
    ending_ = Ending::none;
    deliveryScheduled_ = false;
    ++connectionId_;
}

void SocketClient::onSocketConnected() {
    connectTimer_->stop();
    // Posted even when the connect completes inside openConnection, so it always comes
    // from the event loop, ahead of any packet of this connection.
    QMetaObject::invokeMethod(
        this,
        [this, id = connectionId_] {
            if (id == connectionId_) emit connected();
        },
        Qt::QueuedConnection);
}

void SocketClient::resumeDelivery() {
    if (!pending_.empty() && mayDeliver()) scheduleDelivery();
}

bool SocketClient::fallenBehind() const {
    if (pending_.empty()) return false;
    return pending_.size() > kBehindPackets ||
           clock_.nowMs() - pending_.front().arrivedMs > kBehindMs;
}

std::size_t SocketClient::queuedBytes() const {
    const qint64 unread = socket_ != nullptr ? socket_->bytesAvailable() : 0;
    return pendingBytes_ + decoder_.bufferedBytes() +
           static_cast<std::size_t>(std::max<qint64>(unread, 0));
}

void SocketClient::onSocketError(QAbstractSocket::SocketError error) {
    readAvailable(true);
    finish(error == QAbstractSocket::RemoteHostClosedError ? Ending::closed : Ending::socketError);
}

void SocketClient::onSocketDisconnected() {
    readAvailable(true);
    finish(Ending::closed);
}

void SocketClient::onConnectTimeout() {
    if (socket_ == nullptr || socket_->state() == QAbstractSocket::ConnectedState) return;
    finish(Ending::socketError);
}

void SocketClient::readAvailable(bool toTheEnd) {
    if (socket_ == nullptr) return;
    while (queuePackets(toTheEnd)) {
        const QByteArray data = socket_->read(static_cast<qint64>(kReadChunk));
        if (data.isEmpty()) break;
        decoder_.feed(std::span(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                static_cast<std::size_t>(data.size())));
    }
    if (decoder_.failed()) {
        finish(Ending::socketError);
        return;
    }
    if (!pending_.empty()) scheduleDelivery();
}

bool SocketClient::queuePackets(bool toTheEnd) {
    while (toTheEnd || pendingBytes_ < kMaxQueuedBytes) {
        const auto packet = decoder_.next();
        if (!packet) return !decoder_.failed();
        pending_.push_back({QByteArray(reinterpret_cast<const char*>(packet->data()),
                                       static_cast<qsizetype>(packet->size())),
                            clock_.nowMs()});
        pendingBytes_ += costOf(pending_.back().packet);
    }
    return false;
}

void SocketClient::finish(Ending ending) {
    // Only the first way a connection ends counts; the socket goes with it.
    if (socket_ == nullptr) return;
    connectTimer_->stop();
    releaseSocket();
    // A frame cut off by the close is dropped.
    decoder_ = FrameDecoder{};
    ending_ = ending;
    scheduleDelivery();
}

void SocketClient::releaseSocket() {
    if (socket_ == nullptr) return;
    QTcpSocket* socket = socket_;
    socket_ = nullptr;
    // Cut first: aborting may signal synchronously, and this may run inside one of
    // the socket's own signals, hence the deferred delete.
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void SocketClient::scheduleDelivery() {
    if (deliveryScheduled_) return;
    deliveryScheduled_ = true;
    QMetaObject::invokeMethod(
        this,
        [this, id = connectionId_] {
            if (id != connectionId_) return;
            deliveryScheduled_ = false;
            deliverNext();
        },
        Qt::QueuedConnection);
}

// Packets go out a batch per posted event, so that a burst repaints the table
// once per batch rather than once per packet. The next delivery is always
// scheduled before a packet goes out: a receiver that runs a nested event loop
// still gets the following packets, in order. One that closes or deletes this
// client, or closes the gate, ends the batch without anything here touching
// freed state.
void SocketClient::deliverNext() {
    const std::uint64_t run = ++deliveryRuns_;
    if (!pending_.empty() && mayDeliver()) {
        const QPointer<SocketClient> alive(this);
        const std::uint64_t connection = connectionId_;
        for (int sent = 0; sent < kPacketsPerBatch; ++sent) {
            const bool wasFull = pendingBytes_ >= kMaxQueuedBytes;
            const QByteArray packet = std::move(pending_.front().packet);
            pending_.pop_front();
            pendingBytes_ -= std::min(pendingBytes_, costOf(packet));
            // Reading stopped at the bound; what it left waiting comes in behind.
            if (wasFull && pendingBytes_ < kMaxQueuedBytes) readAvailable();
            if (!pending_.empty() || ending_ != Ending::none) scheduleDelivery();
            emit dataArrived(packet);
            if (!alive || connection != connectionId_) return;
            // A packet whose handler ran a loop (a box, a pause) had the next
            // ones delivered inside it. The loops it leaves behind it, whose
            // boxes may long be answered, must get to end before more come;
            // the delivery already scheduled goes on from the event loop.
            if (deliveryRuns_ != run) return;
            if (pending_.empty() || !mayDeliver()) return;
        }
        return;
    }
    const Ending ending = ending_;
    if (ending == Ending::none) return;
    ending_ = Ending::none;
    ++connectionId_;
    // Left only behind a closed gate; the receiver is told the connection is gone.
    pending_.clear();
    pendingBytes_ = 0;
    if (ending == Ending::closed) {
        emit closed();
        return;
    }
    emit failed();
}

}  // namespace krvo
