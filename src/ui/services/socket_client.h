#pragma once
// The table program's one connection to the room server. Packets go out and come
// in whole (see core/framing.h); every event arrives on the one thread through the
// event loop.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
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

    // Returns at once. Success is reported by connected(), failure by failed(),
    // always from the event loop. A timeout of 0 or less leaves the limit to the
    // operating system. Any earlier connection is closed first, silently.
    void openConnection(const QString& host, std::int32_t port, std::int32_t timeoutSeconds);
    // One frame per call, in call order. Empty or over-long packets, and packets sent
    // with no connection open, are dropped.
    void sendPacket(std::span<const std::uint8_t> packet);
    // Our own close: drops undelivered packets and emits nothing more.
    void closeConnection();
    // Asked before each packet is delivered: while it says no, packets stay
    // queued here in order and dataArrived is not emitted. The end of the
    // connection is still reported at once, the queued packets going with it:
    // a receiver that is gone should not wait for one that holds packets back.
    void setDeliveryGate(std::function<bool()> mayDeliver) { mayDeliver_ = std::move(mayDeliver); }
    // The gate has opened: delivery goes on from the event loop, never from
    // inside this call.
    void resumeDelivery();

    // Whether the receiver has fallen behind: more than kBehindPackets wait,
    // or the oldest has waited longer than kBehindMs, longer than any pause of
    // normal play holds one back.
    bool fallenBehind() const;
    static constexpr std::size_t kBehindPackets = 32;
    static constexpr std::int64_t kBehindMs = 6000;

    // Received but not yet delivered: queued packets (with their bookkeeping)
    // and bytes read but not yet cut into packets. Reading stops while the
    // queue holds kMaxQueuedBytes and goes on as it drains, so a sender faster
    // than the receiver is held back by TCP instead of filling our memory.
    std::size_t queuedBytes() const;
    static constexpr std::size_t kMaxQueuedBytes = std::size_t{1} << 20;
    // Packets handed over per posted event before the window may repaint.
    static constexpr int kPacketsPerBatch = 64;
    // The most read from the socket at a time, also the socket's own buffer.
    static constexpr std::size_t kReadChunk = std::size_t{64} << 10;

signals:
    void connected();
    void dataArrived(const QByteArray& packet);
    // Exactly one of these two ends each connection, after the packets received before it.
    void closed();
    void failed();

private:
    enum class Ending { none, closed, socketError };

    void onSocketConnected();
    void onSocketError(QAbstractSocket::SocketError error);
    void onSocketDisconnected();
    void onConnectTimeout();
    // toTheEnd: the connection is ending, so everything left is taken
    // regardless of the bound (at most one chunk).
    void readAvailable(bool toTheEnd = false);
    // Moves decoded packets to the queue; false once it is full.
    bool queuePackets(bool toTheEnd);
    void finish(Ending ending);
    void releaseSocket();
    void scheduleDelivery();
    void deliverNext();

    struct Waiting {
        QByteArray packet;
        std::int64_t arrivedMs = 0;
    };

    bool mayDeliver() const { return !mayDeliver_ || mayDeliver_(); }

    Clock& clock_;
    std::unique_ptr<Timer> connectTimer_;
    QTcpSocket* socket_ = nullptr;
    FrameDecoder decoder_;
    std::deque<Waiting> pending_;
    std::function<bool()> mayDeliver_;
    std::size_t pendingBytes_ = 0;  // pending_ with its bookkeeping
    Ending ending_ = Ending::none;
    bool deliveryScheduled_ = false;
    // Counts the runs of deliverNext, so that a batch can tell that packets
    // were delivered inside its last one (a box or a pause ran a loop).
    std::uint64_t deliveryRuns_ = 0;
    // Bumped whenever a connection is opened or dropped, so deliveries queued for an
    // earlier one are recognised and skipped.
    std::uint64_t connectionId_ = 0;
};

}  // namespace krvo
