#pragma once
// What the tests of the room on real sockets share: the application object,
// a game that never starts a round, a pump for the event loop and a client
// that speaks the framing.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>

#include <algorithm>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/framing.h"
#include "core/packet.h"
#include "server/table_game.h"

namespace krvo::server::testing_support {

inline QCoreApplication& EnsureApplication() {
    if (auto* existing = QCoreApplication::instance()) return *existing;
    static int argc = 1;
    static char name[] = "krvo_server_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* application = new QCoreApplication(argc, argv);
    return *application;
}

// A game that never starts a round: these tests are about the wire. Given a
// tick, it also sends everybody a numbered 60,000-byte packet that often, from
// its deadlines, as a round's messages come from the room's timer.
class IdleGame final : public TableGame {
public:
    static constexpr std::uint8_t kTick = 50;

    explicit IdleGame(std::int64_t tickMs = 0) : tickMs_(tickMs) {}
    void setSeat(std::uint8_t, std::string, bool) override {}
    void clearSeat(std::uint8_t) override {}
    void setOffline(std::uint8_t, bool) override {}
    bool roundRunning() const override { return running; }
    void setReady(std::uint8_t chair) override { readyChairs.push_back(chair); }
    bool isReady(std::uint8_t) const override { return false; }
    void handlePlayerPacket(std::uint8_t chair, std::span<const std::uint8_t> packet) override {
        received.emplace_back(chair, Packet(packet.begin(), packet.end()));
    }
    void advanceTo(std::int64_t nowMs) override {
        for (; tickMs_ > 0 && nowMs >= (ticks_ + 1) * tickMs_; ++ticks_) {
            Packet tick(60000, 'x');
            tick[0] = kTick;
            tick[1] = static_cast<std::uint8_t>(ticks_);
            pending.push_back({Audience::Everyone, 0, std::move(tick)});
        }
    }
    std::optional<std::int64_t> nextDeadline() const override {
        if (tickMs_ == 0) return std::nullopt;
        return (ticks_ + 1) * tickMs_;
    }
    std::vector<Delivery> takeDeliveries() override { return std::exchange(pending, {}); }
    Packet snapshot(std::uint8_t, bool, bool) const override { return {109, 0, 0}; }

    std::vector<std::uint8_t> readyChairs;
    std::vector<std::pair<std::uint8_t, Packet>> received;
    std::vector<Delivery> pending;
    bool running = false;  // a player who drops keeps the chair

private:
    std::int64_t tickMs_;
    std::int64_t ticks_ = 0;
};

// Runs the event loop until the condition holds or five seconds pass.
inline bool PumpUntil(const std::function<bool()>& done) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > 5000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

class TestClient {
public:
    // From another loopback address (127.0.0.2, ...) it is another machine to the server.
    explicit TestClient(quint16 port, const QHostAddress& from = QHostAddress::LocalHost) {
        socket_.bind(from);
        socket_.connectToHost(QHostAddress::LocalHost, port);
        // The kernel completes the handshake before the server accepts.
        EXPECT_TRUE(socket_.waitForConnected(5000));
        QObject::connect(&socket_, &QTcpSocket::readyRead, [this] {
            const QByteArray data = socket_.readAll();
            decoder_.feed(std::span(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                    static_cast<std::size_t>(data.size())));
            while (auto packet = decoder_.next()) {
                packets_.emplace_back(packet->begin(), packet->end());
                history_.push_back(packets_.back());
            }
        });
    }
    void sendRaw(const std::vector<std::uint8_t>& bytes) {
        socket_.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qint64>(bytes.size()));
        socket_.flush();
    }
    void send(const Packet& packet) { sendRaw(EncodeFrame(packet)); }
    void login() { send(loginPacket()); }
    static Packet loginPacket() {
        Packet packet;
        const std::uint8_t header[] = {130, 0};
        BuildPacket("500`KRVO`0", packet, 2, header);
        return packet;
    }
    // The next packet, waiting for it if needed.
    std::optional<Packet> next() {
        if (!PumpUntil([this] { return !packets_.empty(); })) return std::nullopt;
        Packet packet = std::move(packets_.front());
        packets_.pop_front();
        return packet;
    }
    // Skips packets until one with this main and sub id.
    std::optional<Packet> nextOf(std::uint8_t main, std::uint8_t sub) {
        while (auto packet = next()) {
            if (packet->size() >= 2 && (*packet)[0] == main && (*packet)[1] == sub) return packet;
        }
        return std::nullopt;
    }
    // Whether a packet with this main and sub id ever arrived, waiting for it if needed.
    bool received(std::uint8_t main, std::uint8_t sub) {
        return PumpUntil([&] {
            return std::any_of(history_.begin(), history_.end(), [&](const Packet& p) {
                return p.size() >= 2 && p[0] == main && p[1] == sub;
            });
        });
    }
    bool closedByServer() {
        return PumpUntil([this] { return socket_.state() == QAbstractSocket::UnconnectedState; });
    }
    QTcpSocket& socket() { return socket_; }
    // Every packet received so far, taken or not.
    const std::vector<Packet>& history() const { return history_; }

private:
    QTcpSocket socket_;
    FrameDecoder decoder_;
    std::deque<Packet> packets_;
    std::vector<Packet> history_;
};

inline Packet Gbk(std::initializer_list<std::uint8_t> header, const std::string& body) {
    Packet packet;
    BuildPacket(body, packet, static_cast<std::uint8_t>(header.size()),
                std::vector<std::uint8_t>(header));
    return packet;
}

}  // namespace krvo::server::testing_support
