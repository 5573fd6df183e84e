#include "services/socket_client.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <QHostAddress>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <memory>
#include <string>
#include <vector>
#include "support/qt_test_application.h"

#include "core/clock.h"
#include "core/framing.h"

namespace krvo {
namespace {

constexpr int kWaitMs = 20000;

QByteArray frame(const QByteArray& packet) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(packet.constData());
    const std::vector<std::uint8_t> bytes =
        EncodeFrame(std::span(data, static_cast<std::size_t>(packet.size())));
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

QByteArray header(std::uint32_t length) {
    return QByteArray(1, char(length >> 24)) + char(length >> 16) + char(length >> 8) +
           char(length);
}

const QByteArray kKeepAlive = header(0);

std::span<const std::uint8_t> bytesOf(const QByteArray& packet) {
    return std::span(reinterpret_cast<const std::uint8_t*>(packet.constData()),
                     static_cast<std::size_t>(packet.size()));
}

// Lets queued work run without waiting for anything in particular.
void settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

class SocketClientTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureQtApplication(); }

    void SetUp() override {
        ASSERT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
        record(*client_);
    }

    // Events as seen by the program: "connected", "closed", "error" or the packet text.
    void record(SocketClient& client) {
        QObject::connect(&client, &SocketClient::connected,
                         [this] { events_.push_back("connected"); });
        QObject::connect(&client, &SocketClient::dataArrived, [this](const QByteArray& packet) {
            events_.push_back(packet.toStdString());
        });
        QObject::connect(&client, &SocketClient::closed, [this] { events_.push_back("closed"); });
        QObject::connect(&client, &SocketClient::failed, [this] { events_.push_back("error"); });
    }

    bool waitForEvents(std::size_t count) {
        return QTest::qWaitFor([&] { return events_.size() >= count; }, kWaitMs);
    }

    // Connects the client and returns the server's end once connected() has come.
    QTcpSocket* connectPeer(const QString& host = "127.0.0.1") {
        client_->openConnection(host, server_.serverPort(), 120);
        if (!QTest::qWaitFor([&] { return server_.hasPendingConnections(); }, kWaitMs))
            return nullptr;
        QTcpSocket* peer = server_.nextPendingConnection();
        return waitForEvents(1) ? peer : nullptr;
    }

    void send(QTcpSocket* peer, const QByteArray& bytes) {
        peer->write(bytes);
        peer->flush();
    }

    ManualClock clock_;
    QTcpServer server_;
    std::unique_ptr<SocketClient> client_ = std::make_unique<SocketClient>(clock_);
    std::vector<std::string> events_;
};

using Events = std::vector<std::string>;

TEST_F(SocketClientTest, SendsEachPacketAsOneFrame) {
    QTcpSocket* peer = connectPeer("localhost");
    ASSERT_NE(peer, nullptr);
    const QByteArray login(
        "\x82\x00"
        "500`KRVO`0",
        12);
    const QByteArray largest(65536, 'x');
    client_->sendPacket({});
    client_->sendPacket(bytesOf(QByteArray(65537, 'y')));
    client_->sendPacket(bytesOf(login));
    client_->sendPacket(bytesOf(largest));

    const QByteArray expected = frame(login) + frame(largest);
    QByteArray received;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            received += peer->readAll();
            return received.size() >= expected.size();
        },
        kWaitMs));
    EXPECT_EQ(received, expected);
}

TEST_F(SocketClientTest, ReassemblesFramesSplitOverSeparateReads) {
    QTcpSocket* peer = connectPeer();
    ASSERT_NE(peer, nullptr);
    const QByteArray f0 = frame("first"), f1 = frame("second"), f2 = frame(QByteArray(3000, 'c'));
    const QByteArray f3 = frame("d");
    // Each piece completes exactly one packet, so waiting for it proves the client read
    // the piece before the next one was written: the header, the body and the gap
    // between them are each cut once.
    const QByteArray pieces[] = {f0 + kKeepAlive + f1.left(2), f1.mid(2) + f2.left(7),
                                 f2.mid(7) + f3.left(4), f3.mid(4)};
    std::size_t expectedCount = 1;
    for (const QByteArray& piece : pieces) {
        send(peer, piece);
        ASSERT_TRUE(waitForEvents(++expectedCount));
    }
    EXPECT_EQ(events_, (Events{"connected", "first", "second", std::string(3000, 'c'), "d"}));
}

TEST_F(SocketClientTest, SplitsMergedFramesAndSkipsKeepAlives) {
    QTcpSocket* peer = connectPeer();
    ASSERT_NE(peer, nullptr);
    send(peer, kKeepAlive + frame("a") + kKeepAlive + kKeepAlive + frame("bb") + frame("ccc") +
                   kKeepAlive);
    ASSERT_TRUE(waitForEvents(4));
    settle();
    EXPECT_EQ(events_, (Events{"connected", "a", "bb", "ccc"}));
}

TEST_F(SocketClientTest, OversizedFrameEndsWithOneSocketError) {
    QTcpSocket* peer = connectPeer();
    ASSERT_NE(peer, nullptr);
    send(peer, frame("ok") + header(65537) + QByteArray(100, 'z'));
    ASSERT_TRUE(waitForEvents(3));
    ASSERT_TRUE(QTest::qWaitFor([&] { return peer->state() == QAbstractSocket::UnconnectedState; },
                                kWaitMs));
    settle();
    EXPECT_EQ(events_, (Events{"connected", "ok", "error"}));
}

TEST_F(SocketClientTest, PeerClosingMidFrameDropsThePartAndReportsClosed) {
    QTcpSocket* peer = connectPeer();
    ASSERT_NE(peer, nullptr);
    send(peer, frame("whole") + frame("cut off").left(6));
    peer->disconnectFromHost();
    ASSERT_TRUE(waitForEvents(3));
    settle();
    EXPECT_EQ(events_, (Events{"connected", "whole", "closed"}));
    client_->sendPacket(bytesOf("late"));  // no connection: dropped, not a crash
}

TEST_F(SocketClientTest, RefusedOrOutOfRangeFailsOnlyAfterTheCallReturns) {
    const quint16 closedPort = server_.serverPort();
    server_.close();
    for (const std::int32_t port : {std::int32_t{closedPort}, 0, 70000}) {
        events_.clear();
        client_->openConnection("127.0.0.1", port, 120);
        EXPECT_TRUE(events_.empty()) << port;
        ASSERT_TRUE(waitForEvents(1)) << port;
        settle();
        EXPECT_EQ(events_, Events{"error"}) << port;
    }
}

TEST_F(SocketClientTest, ConnectTimeoutComesFromTheClock) {
    // No event loop runs between these calls, so the connect cannot have completed.
    client_->openConnection("127.0.0.1", server_.serverPort(), 120);
    clock_.advance(119'999);
    EXPECT_EQ(clock_.activeTimers(), 1u);
    clock_.advance(1);
    ASSERT_TRUE(waitForEvents(1));
    settle();
    EXPECT_EQ(events_, Events{"error"});

    // Once connected the timeout no longer applies.
    events_.clear();
    ASSERT_NE(connectPeer(), nullptr);
    clock_.advance(1'000'000);
    settle();
    EXPECT_EQ(events_, Events{"connected"});
}

TEST_F(SocketClientTest, NestedEventLoopInAReceiverKeepsOrder) {
    QTcpSocket* peer = connectPeer();
    ASSERT_NE(peer, nullptr);
    // The first packet's receiver waits, as a modal box would, until the rest is in.
    QObject::connect(client_.get(), &SocketClient::dataArrived, [this](const QByteArray& packet) {
        if (packet != "one") return;
        const bool restArrived = QTest::qWaitFor([&] { return events_.size() >= 4; }, kWaitMs);
        events_.push_back(restArrived ? "one done" : "one timed out");
    });
    send(peer, frame("one") + frame("two") + frame("three"));
    ASSERT_TRUE(waitForEvents(5));
    settle();
    EXPECT_EQ(events_, (Events{"connected", "one", "two", "three", "one done"}));
}

TEST_F(SocketClientTest, ReceiverMayCloseOrDeleteTheClient) {
    QTcpSocket* peer = connectPeer();
    ASSERT_NE(peer, nullptr);
    QObject::connect(client_.get(), &SocketClient::dataArrived, [this](const QByteArray& packet) {
        if (packet == "close") client_->closeConnection();
    });
    send(peer, frame("close") + frame("after close"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return peer->state() == QAbstractSocket::UnconnectedState; },
                                kWaitMs));
    settle();
    EXPECT_EQ(events_, (Events{"connected", "close"}));

    events_.clear();
    peer = connectPeer();
    ASSERT_NE(peer, nullptr);
    QObject::connect(client_.get(), &SocketClient::dataArrived, [this](const QByteArray& packet) {
        if (packet == "delete") client_.reset();
    });
    send(peer, frame("delete") + frame("after delete"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return client_ == nullptr; }, kWaitMs));
    settle();
    EXPECT_EQ(events_, (Events{"connected", "delete"}));
}

// A flood many times the bound, sent while the receiver holds packets back:
// the client stops reading at the bound, so TCP holds the sender up, and once
// delivery resumes every packet arrives, in order.
TEST_F(SocketClientTest, FloodWaitsInTheNetworkAndArrivesWholeAndInOrder) {
    QTcpSocket* peer = connectPeer();
    ASSERT_NE(peer, nullptr);
    bool open = false;
    client_->setDeliveryGate([&open] { return open; });
    constexpr int kPackets = 4 * 1024;  // 16 MiB
    const auto packet = [](int n) { return QByteArray::number(n).leftJustified(4096, '.'); };
    QByteArray flood;
    for (int n = 0; n < kPackets; ++n) flood += frame(packet(n));
    peer->write(flood);
    // Beyond the bound: the socket's buffer, the chunk being cut into packets
    // and the part of a frame before it.
    const std::size_t bound = SocketClient::kMaxQueuedBytes + 3 * SocketClient::kReadChunk;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return client_->queuedBytes() >= SocketClient::kMaxQueuedBytes; }, kWaitMs));
    settle();
    EXPECT_LE(client_->queuedBytes(), bound);
    EXPECT_GT(peer->bytesToWrite(), 0);

    int received = 0;
    int outOfOrder = 0;
    std::size_t mostQueued = 0;
    QObject::connect(client_.get(), &SocketClient::dataArrived, [&](const QByteArray& bytes) {
        mostQueued = std::max(mostQueued, client_->queuedBytes());
        if (bytes != packet(received++)) ++outOfOrder;
    });
    open = true;
    client_->resumeDelivery();
    // Pumped without the pause qWaitFor takes between its checks: each
    // delivery is one posted event.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (int i = 0; i < 256 && received < kPackets; ++i) QCoreApplication::processEvents();
            return received >= kPackets;
        },
        kWaitMs));
    settle();
    EXPECT_EQ(received, kPackets);
    EXPECT_EQ(outOfOrder, 0);
    EXPECT_LE(mostQueued, bound);
}

// The end of the connection reaches a receiver that holds packets back; the
// packets of the finished connection never come.
TEST_F(SocketClientTest, PausedReceiverStillLearnsTheConnectionEnded) {
    QTcpSocket* peer = connectPeer();
    ASSERT_NE(peer, nullptr);
    bool open = false;
    client_->setDeliveryGate([&open] { return open; });
    send(peer, frame("held"));
    peer->disconnectFromHost();
    ASSERT_TRUE(waitForEvents(2));
    open = true;
    client_->resumeDelivery();
    settle();
    EXPECT_EQ(events_, (Events{"connected", "closed"}));
}

}  // namespace
}  // namespace krvo

namespace krvo {
namespace {

// The gate is asked before every packet, so one closed by a receiver holds
// the very next packet; opening it delivers the rest later, never inside the call.
TEST_F(SocketClientTest, ClosedGateHoldsTheNextPacketAndResumingIsPosted) {
    QTcpSocket* peer = connectPeer();
    ASSERT_NE(peer, nullptr);
    bool open = true;
    client_->setDeliveryGate([&open] { return open; });
    QObject::connect(client_.get(), &SocketClient::dataArrived, [&open](const QByteArray& p) {
        if (p == "stop") open = false;
    });
    send(peer, frame("stop") + frame("two") + frame("three"));
    ASSERT_TRUE(waitForEvents(2));
    QTest::qWait(100);
    EXPECT_EQ(events_, (Events{"connected", "stop"}));
    open = true;
    client_->resumeDelivery();
    EXPECT_EQ(events_.size(), 2u);
    ASSERT_TRUE(waitForEvents(4));
    EXPECT_EQ(events_, (Events{"connected", "stop", "two", "three"}));
}

// Behind: many packets waiting, or one that has waited longer than any pause.
TEST_F(SocketClientTest, FallsBehindOnManyWaitingPacketsOrOneWaitingLong) {
    const struct {
        int packets;
        std::int64_t waitedMs;
        bool behind;
    } cases[] = {{0, 60'000, false},
                 {1, SocketClient::kBehindMs, false},
                 {1, SocketClient::kBehindMs + 1, true},
                 {SocketClient::kBehindPackets, 0, false},
                 {SocketClient::kBehindPackets + 1, 0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.packets);
        events_.clear();
        QTcpSocket* peer = connectPeer();
        ASSERT_NE(peer, nullptr);
        client_->setDeliveryGate([] { return false; });
        QByteArray bytes;
        for (int n = 0; n < c.packets; ++n) bytes += frame("p");
        send(peer, bytes);
        QTest::qWait(100);
        clock_.advance(c.waitedMs);
        EXPECT_EQ(client_->fallenBehind(), c.behind);
        client_->closeConnection();
    }
}

}  // namespace
}  // namespace krvo
