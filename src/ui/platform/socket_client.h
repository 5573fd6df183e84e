#pragma once
// The table program's one connection to the room server. Packets go out and come
// in whole (see core/framing.h); every event arrives on the one thread through the
// event loop.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>

#include "core/clock.h"
#include "core/framing.h"

namespace krvo {

class SocketClient : public QObject {
    Q_OBJECT

public:
    explicit SocketClient(Clock& clock, QObject* parent = nullptr);
    ~SocketClient() override;
    SocketClient(const SocketClient&) = delete;
    SocketClient& operator=(const SocketClient&) = delete;

    // Returns at once. Success is reported by OnConnected, failure by OnSocketError,
    // always from the event loop. A timeout of 0 or less leaves the limit to the
    // operating system. Any earlier connection is closed first, silently.
    void OpenConnection(const QString& host, std::int32_t port, std::int32_t timeoutSeconds);
    // One frame per call, in call order. Empty or over-long packets, and packets sent
    // with no connection open, are dropped.
    void SendPacket(std::span<const std::uint8_t> packet);
    // Our own close: drops undelivered packets and emits nothing more.
    void Close();

signals:
    void OnConnected();
    void OnDataArrival(const QByteArray& packet);
    // Exactly one of these two ends each connection, after the packets received before it.
    void OnClosed();
    void OnSocketError();

private:
    enum class Ending { none, closed, socketError };

    void onSocketConnected();
    void onSocketError(QAbstractSocket::SocketError error);
    void onSocketDisconnected();
    void onConnectTimeout();
    void readAvailable();
    void finish(Ending ending);
    void releaseSocket();
    void scheduleDelivery();
    void deliverNext();

    std::unique_ptr<Timer> connectTimer_;
    QTcpSocket* socket_ = nullptr;
    FrameDecoder decoder_;
    std::deque<QByteArray> pending_;
    Ending ending_ = Ending::none;
    bool deliveryScheduled_ = false;
    // Bumped whenever a connection is opened or dropped, so deliveries queued for an
    // earlier one are recognised and skipped.
    std::uint64_t connectionId_ = 0;
};

}  // namespace krvo
