#include "platform/socket_client.h"

#include <QMetaObject>
#include <vector>

namespace krvo {

SocketClient::SocketClient(Clock& clock, QObject* parent)
    : QObject(parent), connectTimer_(clock.createTimer([this] { onConnectTimeout(); })) {}

SocketClient::~SocketClient() {
    Close();
}

void SocketClient::OpenConnection(const QString& host, std::int32_t port,
                                  std::int32_t timeoutSeconds) {
    Close();
    if (port < 1 || port > 65535) {
        // Reported from the event loop like every other failure, so the caller's code
        // after this call runs before it.
        ending_ = Ending::socketError;
        scheduleDelivery();
        return;
    }
    socket_ = new QTcpSocket(this);
    connect(socket_, &QTcpSocket::connected, this, &SocketClient::onSocketConnected);
    connect(socket_, &QTcpSocket::readyRead, this, &SocketClient::readAvailable);
    connect(socket_, &QTcpSocket::errorOccurred, this, &SocketClient::onSocketError);
    connect(socket_, &QTcpSocket::disconnected, this, &SocketClient::onSocketDisconnected);
    if (timeoutSeconds > 0) connectTimer_->start(std::int64_t{timeoutSeconds} * 1000, true);
    socket_->connectToHost(host, static_cast<quint16>(port));
}

void SocketClient::SendPacket(std::span<const std::uint8_t> packet) {
    if (packet.empty() || packet.size() > kMaxPacketLength) return;
    if (socket_ == nullptr || socket_->state() == QAbstractSocket::UnconnectedState) return;
    const std::vector<std::uint8_t> frame = EncodeFrame(packet);
    socket_->write(reinterpret_cast<const char*>(frame.data()), static_cast<qint64>(frame.size()));
}

void SocketClient::Close() {
    connectTimer_->stop();
    releaseSocket();
    decoder_ = FrameDecoder{};
    pending_.clear();
    ending_ = Ending::none;
    deliveryScheduled_ = false;
    ++connectionId_;
}

void SocketClient::onSocketConnected() {
    connectTimer_->stop();
    // Posted even when the connect completes inside OpenConnection, so it always comes
    // from the event loop, ahead of any packet of this connection.
    QMetaObject::invokeMethod(
        this,
        [this, id = connectionId_] {
            if (id == connectionId_) emit OnConnected();
        },
        Qt::QueuedConnection);
}

void SocketClient::onSocketError(QAbstractSocket::SocketError error) {
    readAvailable();
    finish(error == QAbstractSocket::RemoteHostClosedError ? Ending::closed : Ending::socketError);
}

void SocketClient::onSocketDisconnected() {
    readAvailable();
    finish(Ending::closed);
}

void SocketClient::onConnectTimeout() {
    if (socket_ == nullptr || socket_->state() == QAbstractSocket::ConnectedState) return;
    finish(Ending::socketError);
}

void SocketClient::readAvailable() {
    if (socket_ == nullptr) return;
    const QByteArray data = socket_->readAll();
    decoder_.feed(std::span(reinterpret_cast<const std::uint8_t*>(data.constData()),
                            static_cast<std::size_t>(data.size())));
    while (const auto packet = decoder_.next()) {
        pending_.emplace_back(reinterpret_cast<const char*>(packet->data()),
                              static_cast<qsizetype>(packet->size()));
    }
    if (decoder_.failed()) {
        finish(Ending::socketError);
        return;
    }
    if (!pending_.empty()) scheduleDelivery();
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

// One packet per posted event: a receiver that runs a nested event loop still gets
// the following packets, in order, and one that closes or deletes this client stops
// delivery without anything here touching freed state.
void SocketClient::deliverNext() {
    if (!pending_.empty()) {
        const QByteArray packet = std::move(pending_.front());
        pending_.pop_front();
        if (!pending_.empty() || ending_ != Ending::none) scheduleDelivery();
        emit OnDataArrival(packet);
        return;
    }
    const Ending ending = ending_;
    if (ending == Ending::none) return;
    ending_ = Ending::none;
    ++connectionId_;
    if (ending == Ending::closed) {
        emit OnClosed();
        return;
    }
    emit OnSocketError();
}

}  // namespace krvo
